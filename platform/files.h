#pragma once
// File-system pieces the program needs from the platform.

#include <string>

// The directory of the running program, without a trailing separator.
std::string ProgramDirectory();
// Tests point the program directory elsewhere; an empty text restores it.
void SetProgramDirectoryForTesting(const std::string& directory);

// The current working directory; empty if it cannot be had.
std::string CurrentDirectory();
// True when a file or a folder of that name exists.
bool PathExists(const std::string& path);
// The closest to the hidden attribute here: the name listed in the
// directory's ".hidden" file, which file managers honour.
bool SetFileHidden(const std::string& path);
bool IsFileHidden(const std::string& path);
