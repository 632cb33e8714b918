#pragma once
// A ledger file's tables as they are copied row for row with their IDs, onto
// a server or into a new file: the rows in ID order, and the head of an
// insert ("... values") the rows follow.

#include <string>

struct TableCopy {
    std::string query;
    std::string insertHead;
    int columns;  // the id first, then texts
};

TableCopy UserTableCopy();
TableCopy OrderTableCopy();
// Every entry under its number, with the time it was deleted.
TableCopy RecycleBinCopy();
