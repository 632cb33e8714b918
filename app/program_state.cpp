#include "app/program_state.h"

std::string editorMode;
std::int64_t currentOrderId = 0;
std::int32_t signInRecordset = 0;
std::int32_t signInResult = 0;
std::int32_t listRecordset = 0;
std::int32_t listRowIndex = 0;
std::int32_t editorRecordset = 0;

void ResetProgramState() {
    editorMode.clear();
    currentOrderId = 0;
    signInRecordset = 0;
    signInResult = 0;
    listRecordset = 0;
    listRowIndex = 0;
    editorRecordset = 0;
}
