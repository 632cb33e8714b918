#pragma once
// The first ledger of a new user, as the first-run window makes it: the
// ledger with its first user (the same code as tallovar-admin init), the pick
// lists to start with, and the folder remembered for the launcher when the
// user chose another than its default. Texts are UTF-8.

#include <string>
#include <vector>

#include "common/status.h"

struct FirstLedger {
    std::string folder;
    std::string user;
    std::string password;
    std::vector<std::string> sellers;
    std::vector<std::string> expressCompanies;
};

// All of it or nothing: on a problem, the ledger and the folders made for it
// are taken away again and config.ini keeps its old lists.
Status MakeFirstLedger(const FirstLedger& choice, const std::string& settingsPath,
                       const std::string& launcherFolder);
