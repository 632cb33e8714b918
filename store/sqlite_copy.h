#pragma once
// A consistent copy of an SQLite file with the library's online backup: the
// whole file is copied under one read lock, so a copy taken while the program
// stores orders holds each order entirely or not at all. Paths are UTF-8.

#include <string>

#include "common/status.h"

class FileReplacement;

// What is copied: the live ledger, opened to write so that its copy takes
// part in the program's locks, or a backup, opened to read only.
enum class CopyFrom { Ledger, Backup };

// Copies the database at from into the existing empty file at to, waiting
// for the program's write locks to pass. The copy keeps a rollback journal,
// as the program's ledgers do.
Status CopyDatabase(const std::string& from, CopyFrom what, const std::string& to);
// Opens file and copies the database at from into its temporary file, which
// the caller may check and then place.
Status CopyDatabaseInto(const std::string& from, CopyFrom what, FileReplacement& file);
