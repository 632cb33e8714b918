#pragma once
// Runs the real tallovar-admin in a directory, as a user would, or any shell
// command line.

#include <sys/wait.h>

#include <cstdio>
#include <string>

struct AdminRun {
    int exitCode;
    std::string output;  // stdout and stderr
};

inline AdminRun RunShell(const std::string& command) {
    AdminRun run{-1, ""};
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// arguments are put into a shell command line as they are; input, if given,
// is fed to standard input.
inline AdminRun RunAdmin(const std::string& directory, const std::string& arguments,
                         const std::string& input = "") {
    std::string command = "cd '" + directory + "' && ";
    if (!input.empty()) command += "printf '%s' '" + input + "' | ";
    return RunShell(command + "'" TALLOVAR_BINARY_DIR "/tallovar-admin' " + arguments);
}

inline bool Mentions(const AdminRun& run, const std::string& text) {
    return run.output.find(text) != std::string::npos;
}
