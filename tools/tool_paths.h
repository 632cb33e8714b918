#pragma once
// Paths as the maintenance tool takes them: UTF-8, as typed. Files are
// written through platform/whole_file.h (FileReplacement), which takes the
// system's own form of a path (NativePathOfUtf8, platform/native_path.h).

#include <string>

#include "platform/native_path.h"

// The tool's own names live in a namespace: the program's platform layer has
// a PathExists of its own (for GBK paths), and two definitions of one name
// would leave the linker free to keep either.
namespace toolpaths {

// True when something of that name exists, a dangling link included.
bool PathExists(const std::string& path);
// "." for a bare name, "/" for a name in the root.
std::string DirectoryOf(const std::string& path);
// Local date and time as YYYYMMDD-HHMMSS, for names of backups and kept files.
std::string TimeStamp();

}  // namespace toolpaths

// The commands call these unqualified.
using toolpaths::DirectoryOf;
using toolpaths::PathExists;
using toolpaths::TimeStamp;
