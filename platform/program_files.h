#pragma once
// The names of the program's own files, as the program, its launcher and its
// maintenance tool all know them: the ledger, in the directory the program
// runs in, and the settings, in the program's own directory.

#include <string>

// "/" here, a backslash on Windows (platform/files.h, which this header
// leaves out: the maintenance tool has file functions of the same names).
extern const char kPathSeparator;

inline constexpr char kLedgerFileName[] = "tallovar.mdb";
inline constexpr char kSettingsFileName[] = "config.ini";

// A file in a directory, joined by this system's separator. The root gives
// "//name", as the program always named its ledger there.
inline std::string PathIn(const std::string& directory, const char* name) {
    return directory + kPathSeparator + name;
}
