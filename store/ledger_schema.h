#pragma once
// The ledger's tables as tallovar-admin makes them, and the statements on the
// recycle bin that both the program and tallovar-admin run. One source for
// both, so a bin the tool makes is the bin the window reads. Texts are UTF-8
// (the program converts them with Gbk()).
//
// The bin 回收站 holds every deleted order: its number 编号 (newest highest),
// the time of deletion 删除时间 (local, "YYYY-MM-DD HH:MM:SS"), the order's ID
// and its fourteen texts. A trigger fills it in the same transaction as the
// delete, so the designed delete statement stays as it is.

#include <string>

// The fourteen text columns of an order, comma-separated, in table order.
extern const char* const kOrderTextColumns;

// sysuser with names and passwords compared without regard to ASCII letter
// case, as the sign-in's where clause compares them.
extern const char* const kUserTableSchema;
extern const char* const kOrderTableSchema;  // the table and its date index
extern const char* const kRecycleBinSchema;
extern const char* const kRecycleBinTrigger;
extern const char* const kRecycleBinTable;  // "回收站"
extern const char* const kRecycleBinTriggerName;

// Deleted orders, newest first: 编号, 删除时间, ID, then the fourteen texts.
extern const char* const kRecycleBinList;

// The two statements that bring a bin entry back into the order list, to run
// in one transaction: the order keeps its ID when that ID is free and gets a
// new one otherwise. number is the entry's 编号.
std::string RestoreFromBinInsert(long long number);
std::string RemoveFromBin(long long number);
