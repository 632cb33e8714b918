#pragma once
// The server's own tools (pg_dump, pg_restore) run as child processes.

#include <string>
#include <vector>

// Runs a program found on PATH with these arguments (UTF-8) and waits for
// it; true when it exits with 0.
bool RunProgram(const std::vector<std::string>& command);
// Sets a variable of this process's environment, which children inherit.
void SetEnvironment(const char* name, const std::string& value);
