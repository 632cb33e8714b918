#include "app/fatal_error.h"

#include "app/process_end.h"
#include "common/message_box.h"
#include "common/text_encoding.h"

void FatalErrorBox(const std::string& message) {
    ShowMessageBox(Gbk("运行时出错!\r\n\r\n错误信息：") + message + "\r\n", kMbIconError | kMbOk,
                   Gbk("错误"));
    EndProcess(-1);
}
