#pragma once
// Ending the process. The exit clean-up is registered with std::atexit, so it
// runs on this path too. Callers return right after EndProcess, so a test can
// replace it and watch the exit without ending the test process.

#include <functional>

void EndProcess(int exitCode);
void SetProcessEndForTesting(std::function<void(int)> function);
