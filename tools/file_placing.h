#pragma once
// Files that appear under their name only when they are complete: they are
// written under a temporary name in the same directory and then given their
// name in one step, either never replacing another file (a new ledger, a
// backup) or replacing one atomically (a restored ledger, an export).
// Paths are UTF-8.

#include <string>

enum class PlaceResult { Placed, AlreadyExists, Failed };

bool PathExists(const char* path);
inline bool PathExists(const std::string& path) { return PathExists(path.c_str()); }
// "." for a bare name, "/" for a name in the root.
std::string DirectoryOf(const std::string& path);

// An empty file named <directory of path>/.tallovar-<purpose>-XXXXXX, with
// the permissions a new file gets from the umask. Empty text on failure, with
// the reason in error.
std::string MakeTemporaryBeside(const std::string& path, const char* purpose, std::string& error);

// Gives a complete temporary file the name path, unless that name is taken;
// the temporary name is gone afterwards in every case.
PlaceResult PlaceWithoutReplacing(const std::string& temporary, const std::string& path,
                                  std::string& error);
// Gives it the name path, replacing what was there in one step.
bool PlaceReplacing(const std::string& temporary, const std::string& path, std::string& error);

// Local date and time as YYYYMMDD-HHMMSS, for names of backups and kept files.
std::string TimeStamp();
