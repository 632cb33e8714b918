// The Windows side of platform/console_output.h.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/console_output.h"
#include "platform/windows/wide_text.h"

namespace {

// The length of the text's longest beginning that ends on a whole UTF-8
// sequence: a read from the pipe may end inside a character.
std::size_t WholeSequences(const std::string& text) {
    std::size_t end = text.size();
    for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
        const auto byte = static_cast<unsigned char>(text[text.size() - back]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        if (length > back) end = text.size() - back;
        break;
    }
    return end;
}

void Show(HANDLE console, const std::string& utf8) {
    const std::wstring wide = WideFromUtf8(utf8);
    DWORD written = 0;
    WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

// Shows what comes through the pipe on the console until the pipe is closed.
void Relay(HANDLE pipe, HANDLE console) {
    std::string pending;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        pending.append(buffer, got);
        const std::size_t whole = WholeSequences(pending);
        Show(console, pending.substr(0, whole));
        pending.erase(0, whole);
    }
    if (!pending.empty()) Show(console, pending);
    CloseHandle(pipe);
}

bool IsConsole(std::FILE* stream) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

struct Redirected {
    std::FILE* stream;
    int console;  // a copy of the stream's console descriptor, put back at the end
};

}  // namespace

// Standard output and error share one pipe and one relay, so that they reach
// the console in the order they were written.
struct Utf8ConsoleOutput::Relays {
    std::vector<Redirected> streams;
    std::thread relay;
};

Utf8ConsoleOutput::Utf8ConsoleOutput() {
    std::vector<std::FILE*> consoles;
    for (std::FILE* stream : {stdout, stderr}) {
        if (IsConsole(stream)) consoles.push_back(stream);
    }
    if (consoles.empty()) return;
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, nullptr, 0)) return;
    const int pipe = _open_osfhandle(reinterpret_cast<intptr_t>(write), _O_TEXT);
    if (pipe < 0) {
        CloseHandle(write);
        CloseHandle(read);
        return;
    }
    relays_ = std::make_unique<Relays>();
    for (std::FILE* stream : consoles) {
        const int console = _dup(_fileno(stream));
        if (console < 0) continue;
        std::fflush(stream);
        // Putting the pipe in the descriptor's place closes the descriptor's
        // own handle; the copy keeps the console open.
        _dup2(pipe, _fileno(stream));
        // As on the console itself: each text goes out as it is written.
        std::setvbuf(stream, nullptr, _IONBF, 0);
        relays_->streams.push_back({stream, console});
    }
    _close(pipe);
    if (relays_->streams.empty()) {
        CloseHandle(read);
        relays_.reset();
        return;
    }
    const auto shown = reinterpret_cast<HANDLE>(_get_osfhandle(relays_->streams.front().console));
    relays_->relay = std::thread(Relay, read, shown);
}

Utf8ConsoleOutput::~Utf8ConsoleOutput() {
    if (!relays_) return;
    // The consoles back in place close the pipe's writing ends: the relay
    // shows what is left and ends.
    for (const Redirected& stream : relays_->streams) {
        std::fflush(stream.stream);
        _dup2(stream.console, _fileno(stream.stream));
    }
    relays_->relay.join();
    for (const Redirected& stream : relays_->streams) _close(stream.console);
}
