#pragma once
// Files that appear under their name only when they are complete: they are
// written under a temporary name in the same directory and then given their
// name in one step, either never replacing another file (a new ledger, a
// backup) or replacing one atomically (a restored ledger, an export).
// Paths are UTF-8.

#include <string>

// The tool's own names live in a namespace: the program's platform layer has
// a PathExists of its own (for GBK paths), and two definitions of one name
// would leave the linker free to keep either.
namespace placing {

enum class PlaceResult { Placed, AlreadyExists, Failed };

// True when something of that name exists, a dangling link included.
bool PathExists(const std::string& path);
// "." for a bare name, "/" for a name in the root.
std::string DirectoryOf(const std::string& path);

// An empty file named <directory of path>/.tallovar-<purpose>-XXXXXX,
// readable and writable by its owner only. Empty text on failure, with
// the reason in error.
std::string MakeTemporaryBeside(const std::string& path, const char* purpose, std::string& error);

// The temporary file opened for writing (binary), or -1.
int OpenTemporaryForWriting(const std::string& temporary);
// Flushes what was written through fd to disk and closes fd; false when
// either fails (errno tells why).
bool FlushAndClose(int fd);

// Both flush the directory once the name is given, so a placed file keeps
// its name through a power loss.
// Gives a complete temporary file the name path, unless that name is taken;
// the temporary name is gone afterwards in every case.
PlaceResult PlaceWithoutReplacing(const std::string& temporary, const std::string& path,
                                  std::string& error);
// Gives it the name path, replacing what was there in one step.
bool PlaceReplacing(const std::string& temporary, const std::string& path, std::string& error);

// Local date and time as YYYYMMDD-HHMMSS, for names of backups and kept files.
std::string TimeStamp();

}  // namespace placing

// The commands call these unqualified.
using placing::DirectoryOf;
using placing::FlushAndClose;
using placing::MakeTemporaryBeside;
using placing::OpenTemporaryForWriting;
using placing::PathExists;
using placing::PlaceReplacing;
using placing::PlaceResult;
using placing::PlaceWithoutReplacing;
using placing::TimeStamp;
