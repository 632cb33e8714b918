#pragma once
// Small files read and replaced whole. A replacement goes to a new file in
// the same directory, is flushed to disk and then renamed over the old one,
// so a reader or a crash sees either the old file or the new one, never a mix.
// Paths here are as the system calls take them (see NativePath).

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "common/status.h"

enum class WholeFileRead { kOk, kMissing, kNotAFile, kTooLarge, kFailed };

// Reads a regular file of at most maxBytes bytes. Folders, pipes and devices
// give kNotAFile without being read, so nothing here can block.
WholeFileRead ReadWholeFile(const std::string& path, std::size_t maxBytes, std::string& bytes);

// Puts bytes in place of the file at path (through a symbolic link to its
// target), creating it when missing, readable and writable by its owner
// only. An existing file keeps its permission bits; a file this process may not write is left
// alone. On failure the old file is untouched and no temporary file stays behind.
bool ReplaceWholeFile(const std::string& path, std::string_view bytes);

// A new version of a file, written under a temporary name in the same
// directory and given the file's name only once complete: the temporary file
// is readable and writable by its owner only, and placing it flushes it to
// disk, renames it and then flushes the directory, so that after a crash or a
// power loss the name holds the old file or the whole new one. Made for bytes
// from memory (Write) and for a library that writes a file by its name
// (TemporaryPath). Left unplaced, the temporary file is removed.
class FileReplacement {
  public:
    // Nothing happens on the disk until Open.
    explicit FileReplacement(std::string path);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Creates the temporary file. It gets the permission bits given here
    // only once complete, right before it is placed.
    Status Open(unsigned permissions = 0600);
    const std::string& TemporaryPath() const { return temporary_; }
    Status Write(std::string_view bytes);
    // Gives the finished file the name, in place of whatever had it.
    Status Replace();
    // Gives it the name only while nothing has it; a failure of kind Exists
    // when something has.
    Status PlaceNew();

  private:
    Status Finish();
    void Discard();

    std::string path_;
    std::string temporary_;
    int fd_ = -1;
    unsigned permissions_ = 0600;
};

// A process killed between creating its temporary file and renaming it
// leaves ".<name>.tmp<pid>-<n>" behind, and SQLite's journal beside it when
// the file was written as a database. This removes, in directory, those of
// the given names whose process has ended; another running program's files
// stay. A "*" in a name stands for any text ("tallovar-*.mdb"). Returns how
// many were removed.
int RemoveAbandonedReplacements(const std::string& directory,
                                std::initializer_list<std::string_view> names);
