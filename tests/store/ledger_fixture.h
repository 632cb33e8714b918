#pragma once
// A fresh ledger made by the maintenance tool's own code in a temporary
// directory, removed after the test.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "common/text_encoding.h"
#include "store/ledger_file.h"

class LedgerTest : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tallovar-store-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(directory_); }

    // Makes the ledger at directory/name and gives its path as GBK.
    std::string MakeLedger(long demoOrders = 0, const std::string& name = "tallovar.mdb") {
        const std::string path = directory_ + "/" + name;
        const Status made = CreateLedger(path, "admin", "secret", demoOrders);
        EXPECT_TRUE(made.ok()) << made.english;
        return Gbk(path);
    }

    std::string directory_;  // UTF-8
};
