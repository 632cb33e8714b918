#pragma once
// Paths as the maintenance tool takes them: UTF-8, as typed. The program's
// own paths are GBK (platform/files.h: PathExists); the two forms are named
// apart. Files are written through platform/whole_file.h (FileReplacement),
// which takes the system's own form of a path (NativePathOfUtf8,
// platform/native_path.h).

#include <filesystem>
#include <string>

#include "platform/native_path.h"

// True when something of that name exists, a dangling link included.
bool Utf8PathExists(const std::string& path);
// "." for a bare name, "/" for a name in the root.
std::string Utf8DirectoryOf(const std::string& path);
// The current directory in UTF-8, empty when it cannot be had. On Windows
// it is read as a wide text: the C runtime's getcwd answers in the ANSI code
// page (GBK on a Chinese Windows).
std::string Utf8CurrentDirectory();
// True when the file or folder may be written to by this user.
bool Utf8PathWritable(const std::string& path);
// An environment variable in UTF-8, empty when unset (on Windows read as a
// wide text, as getenv answers in the ANSI code page).
std::string Utf8Environment(const char* name);

// A UTF-8 path as std::filesystem takes it, and back: its narrow texts are
// the ANSI code page's on Windows.
inline std::filesystem::path FileSystemPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
inline std::string Utf8OfFileSystemPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Local date and time as YYYYMMDD-HHMMSS, for names of backups and kept files.
std::string TimeStamp();
