#pragma once
// File-system pieces the program needs from the platform. Paths are GBK
// like every other text of the program; the file system here speaks UTF-8,
// and the conversion happens at the system calls.

#include <string>

#include "platform/native_path.h"

// The separator of this system's paths ('/' here, '\\' on Windows).
extern const char kPathSeparator;

// The directory of the running program, without a trailing separator
// (the root stays "/").
std::string ProgramDirectory();
// Tests point the program directory elsewhere; an empty text restores it.
void SetProgramDirectoryForTesting(const std::string& directory);

// The current working directory; empty if it cannot be had.
std::string CurrentDirectory();
// Why the file at path cannot be opened for reading, in the system's words
// (GBK); empty when it can.
std::string FileOpenProblem(const std::string& path);
// True when a file or a folder of that name exists.
bool PathExists(const std::string& path);
// True when both paths, as the system calls take them (see NativePath), lead
// to one existing file, through links or other names of it.
bool IsSameFile(const std::string& nativeA, const std::string& nativeB);
// The closest to the hidden attribute here: the name listed in the
// directory's ".hidden" file, which file managers honour.
bool SetFileHidden(const std::string& path);
bool IsFileHidden(const std::string& path);
