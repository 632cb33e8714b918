#include "child_process.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <stdexcept>

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

void HandOver(const std::string& directory) {
    std::error_code ignored;
    chown(directory.c_str(), kNobody, kNoGroup);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(directory, ignored)) {
        lchown(entry.path().c_str(), kNobody, kNoGroup);
    }
}

}  // namespace

bool ChildProcess::CanRunAsNobody() { return geteuid() == 0; }

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& directory, bool asNobody) {
    if (asNobody && CanRunAsNobody()) HandOver(directory);
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork");
    if (pid_ == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        if (chdir(directory.c_str()) != 0) _exit(126);
        if (asNobody && CanRunAsNobody()) {
            setenv("HOME", directory.c_str(), 1);
            unsetenv("XDG_RUNTIME_DIR");
            if (setgroups(0, nullptr) != 0 || setgid(kNoGroup) != 0 || setuid(kNobody) != 0) {
                _exit(125);
            }
        }
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    output_ = pipeEnds[0];
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (output_ >= 0) close(output_);
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const std::size_t end = buffer_.find('\n');
        if (end != std::string::npos) {
            std::string line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            return line;
        }
        if (ended_) return std::nullopt;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd poller{output_, POLLIN, 0};
        const int ready = poll(&poller, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return std::nullopt;
        char chunk[65536];
        const ssize_t got = read(output_, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ended_ = true;
            continue;
        }
        buffer_.append(chunk, static_cast<std::size_t>(got));
    }
}

std::vector<std::string> ChildProcess::ReadAll(std::chrono::steady_clock::time_point deadline) {
    std::vector<std::string> lines;
    while (auto line = ReadLine(deadline)) lines.push_back(std::move(*line));
    return lines;
}

void ChildProcess::Kill(int signal) {
    if (pid_ > 0) kill(pid_, signal);
}

int ChildProcess::Wait() {
    int status = 0;
    if (pid_ > 0) {
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }
    return status;
}
