#pragma once
// What is typed on the terminal of standard input is not shown while an
// object of this class lives (a password being typed).

#include <memory>

class HiddenTyping {
  public:
    HiddenTyping();   // echo off, when standard input is a terminal
    ~HiddenTyping();  // echo as it was
    HiddenTyping(const HiddenTyping&) = delete;
    HiddenTyping& operator=(const HiddenTyping&) = delete;

  private:
    struct Saved;
    std::unique_ptr<Saved> saved_;
};
