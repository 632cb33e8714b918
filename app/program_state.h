#pragma once
// The program-wide variables. They live for the whole process.

#include <cstdint>
#include <string>

// Hand-off from the order actions to the editor; never reset.
extern std::string editorMode;       // GBK: "", "添加", "修改", "查看" or "发货"
extern std::int64_t currentOrderId;  // ids are 64-bit in the ledger

extern std::int32_t signInRecordset;
extern std::int32_t signInResult;
extern std::int32_t listRecordset;
extern std::int32_t listRowIndex;
extern std::int32_t editorRecordset;

// Gives every variable its start value (tests call it between cases).
void ResetProgramState();
