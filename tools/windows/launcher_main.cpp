// tallovar-start.exe, the Start-menu entry: a windowed program (no console
// appears) that runs tools/launcher.h's steps with tallovar-admin.exe and
// tallovar.exe beside it. tallovar-admin runs without a console window of
// its own; its windows (新建账本) show as usual.
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/utf8_paths.h"
#include "platform/windows/wide_text.h"
#include "tools/launcher.h"

namespace {

std::wstring ProgramFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            std::wstring text(path.data(), length);
            return text.substr(0, text.find_last_of(L"\\/"));
        }
        path.resize(path.size() * 2);
    }
}

// Documents\Tallovar, as the installer makes it.
std::string DefaultLedgerFolder() {
    wchar_t documents[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, documents))) return "Tallovar";
    return Utf8FromWide(std::wstring(documents) + L"\\Tallovar");
}

// Runs tallovar-admin.exe in folder without a console and waits, reading
// what it writes to standard error (UTF-8).
int RunAdmin(const std::vector<std::string>& arguments, const std::string& folder,
             std::string& errors) {
    std::wstring line = QuotedArgument(ProgramFolder() + L"\\tallovar-admin.exe");
    for (const std::string& argument : arguments)
        line += L" " + QuotedArgument(WideFromUtf8(argument));
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return -1;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    const std::wstring directory = WideFromUtf8(folder);
    const BOOL started =
        CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                       directory.c_str(), &startup, &process);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        errors = "无法运行 tallovar-admin.exe";
        return -1;
    }
    // Output and errors come through one pipe, read while the tool runs and
    // once more after it ended. The end of the pipe does not tell that the
    // tool ended: a process it starts may hold a copy of the writing end for
    // good (under Wine, the desktop process its first window starts gets the
    // tool's standard handles).
    errors.clear();
    for (bool ended = false; !ended;) {
        ended = WaitForSingleObject(process.hProcess, 50) != WAIT_TIMEOUT;
        char buffer[4096];
        DWORD waiting = 0, got = 0;
        while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0 &&
               ReadFile(readEnd, buffer, std::min<DWORD>(waiting, sizeof buffer), &got, nullptr) &&
               got > 0) {
            errors.append(buffer, got);
        }
    }
    CloseHandle(readEnd);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

bool StartProgram(const std::string& folder) {
    std::wstring line = QuotedArgument(ProgramFolder() + L"\\tallovar.exe");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const std::wstring directory = WideFromUtf8(folder);
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

void Tell(const std::string& message) {
    MessageBoxW(nullptr, WideFromUtf8(message).c_str(), L"Tallovar",
                MB_OK | MB_ICONWARNING | MB_TOPMOST | MB_SETFOREGROUND);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    LauncherSteps steps;
    steps.runAdmin = RunAdmin;
    steps.startProgram = StartProgram;
    steps.tell = Tell;
    LauncherFolders folders;
    folders.chosen = Utf8Environment("TALLOVAR_LEDGER_DIR");
    // The file tallovar-admin setup writes (RememberedFolderPath), named here
    // in UTF-8.
    folders.remembered = Utf8Environment("APPDATA") + "/tallovar/ledger-folder";
    folders.fallback = DefaultLedgerFolder();
    try {
        return Launch(folders, steps);
    } catch (const std::exception& error) {
        Tell(std::string("Tallovar 无法启动：") + error.what());
        return 1;
    }
}
