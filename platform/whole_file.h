#pragma once
// Small files read and replaced whole. A replacement goes to a new file in
// the same directory, is flushed to disk and then renamed over the old one,
// so a reader or a crash sees either the old file or the new one, never a mix.
// Paths here are as the system calls take them (see NativePath).

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

enum class WholeFileRead { kOk, kMissing, kNotAFile, kTooLarge, kFailed };

// Reads a regular file of at most maxBytes bytes. Folders, pipes and devices
// give kNotAFile without being read, so nothing here can block.
WholeFileRead ReadWholeFile(const std::string& path, std::size_t maxBytes, std::string& bytes);

// Puts bytes in place of the file at path (through a symbolic link to its
// target), creating it when missing, readable and writable by its owner
// only. An existing file keeps its permission bits; a file this process may not write is left
// alone. On failure the old file is untouched and no temporary file stays behind.
bool ReplaceWholeFile(const std::string& path, std::string_view bytes);

// A process killed between creating its temporary file and renaming it
// leaves ".<name>.tmp<pid>-<n>" behind. This removes, in directory, those of
// the given names whose process has ended; another running program's files
// stay. Returns how many were removed.
int RemoveAbandonedReplacements(const std::string& directory,
                                std::initializer_list<std::string_view> names);
