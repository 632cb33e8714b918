// The Windows side of platform/child_process.h.
#include <windows.h>

#include "platform/child_process.h"
#include "platform/windows/wide_text.h"

namespace {

// One argument as the C runtime of the child splits the command line again:
// in quotes, a quote escaped, and backslashes before a quote doubled.
std::wstring Quoted(const std::wstring& word) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : word) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

}  // namespace

bool RunProgram(const std::vector<std::string>& command) {
    if (command.empty()) return false;
    std::wstring line;
    for (const std::string& word : command)
        line += (line.empty() ? L"" : L" ") + Quoted(WideFromUtf8(word));
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
