#pragma once
// The maintenance tool writes its texts as UTF-8 bytes. A Windows console
// takes a program's bytes in a code page, the OEM one (936, GBK, on a Chinese
// Windows), and the C runtime may read them in its own locale first: either
// way UTF-8 shows as garbage there. While an object of this class lives,
// standard output and standard error, where they are a console, reach it
// through a pipe whose UTF-8 is shown as the wide text it is. Output to a file
// or a pipe is the bytes written, as on Linux, whose terminals take UTF-8.
#include <memory>

class Utf8ConsoleOutput {
  public:
    Utf8ConsoleOutput();
    ~Utf8ConsoleOutput();  // everything written so far shown
    Utf8ConsoleOutput(const Utf8ConsoleOutput&) = delete;
    Utf8ConsoleOutput& operator=(const Utf8ConsoleOutput&) = delete;

  private:
    struct Relays;
    std::unique_ptr<Relays> relays_;
};
