#pragma once

#include <string>

// The box for an error the program cannot recover from (title "错误", error
// icon, one OK button), then the process ends with exit code -1.
void FatalErrorBox(const std::string& message);
