// The Windows side of platform/child_process.h.
#include <windows.h>

#include "platform/child_process.h"
#include "platform/windows/wide_text.h"

bool RunProgram(const std::vector<std::string>& command) {
    if (command.empty()) return false;
    std::wstring line;
    for (const std::string& word : command)
        line += (line.empty() ? L"" : L" ") + QuotedArgument(WideFromUtf8(word));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code == 0;
}

void SetEnvironment(const char* name, const std::string& value) {
    SetEnvironmentVariableW(WideFromUtf8(name).c_str(), WideFromUtf8(value).c_str());
}
