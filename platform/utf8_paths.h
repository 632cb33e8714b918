#pragma once
// Paths as the maintenance tool takes them: UTF-8, as typed. The program's
// own paths are GBK (platform/files.h: PathExists); the two forms are named
// apart. Files are written through platform/whole_file.h (FileReplacement),
// which takes the system's own form of a path (NativePathOfUtf8,
// platform/native_path.h).

#include <string>

#include "platform/native_path.h"

// True when something of that name exists, a dangling link included.
bool Utf8PathExists(const std::string& path);
// "." for a bare name, "/" for a name in the root.
std::string Utf8DirectoryOf(const std::string& path);
// Local date and time as YYYYMMDD-HHMMSS, for names of backups and kept files.
std::string TimeStamp();
