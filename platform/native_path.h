#pragma once
// Paths as the system calls take them. The program's paths are GBK like its
// other texts; a window or the maintenance tool hands UTF-8. The file system
// here speaks UTF-8, Windows' ANSI calls GBK. Defined with platform/files.h.

#include <string>

// A GBK path as the system calls want it, and back.
std::string NativePath(const std::string& path);
std::string FromNativePath(const std::string& nativePath);
// A UTF-8 path as the system calls want it, and back: the same bytes here,
// GBK on Windows.
std::string NativePathOfUtf8(const std::string& utf8);
std::string Utf8OfNativePath(const std::string& nativePath);
