#pragma once
// A child program run by a test, its standard output read line by line
// through a pipe. Optionally it runs as the user nobody, for whom file
// permissions bite as they do for an ordinary user (tests run as root).

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class ChildProcess {
  public:
    // Starts program with arguments in directory. As nobody, the directory
    // and everything in it are handed to nobody first (only when root).
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::string& directory, bool asNobody = false);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line without its line end; nothing when the deadline passes
    // or the child's output has ended.
    std::optional<std::string> ReadLine(std::chrono::steady_clock::time_point deadline);
    // Every line until the output ends (or the deadline passes).
    std::vector<std::string> ReadAll(std::chrono::steady_clock::time_point deadline);
    void Kill(int signal);
    // The wait status; reaps the child.
    int Wait();

    pid_t Pid() const { return pid_; }
    static bool CanRunAsNobody();

  private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string buffer_;
    bool ended_ = false;
};
