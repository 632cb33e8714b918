#pragma once
// Shared pieces of the skin tests: a fresh program directory with the message
// box and process end seams caught, and a view on the loaded skin library.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "skin/skinh_el.h"

struct CaughtBox {
    std::string text;
    int flags;
    std::string title;
};

class SkinTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string Dir() const { return directory_.path().toStdString(); }
    std::string LibraryPath() const { return Dir() + "/SkinH_EL.dll"; }

    QTemporaryDir directory_;
    std::vector<CaughtBox> boxes_;
    std::vector<int> exitCodes_;
};

// The library as this process loaded it, or null when it is not loaded.
const SkinH_CallRecord* LoadedLibraryCalls();
void CallLoadedSetAero(int32_t on);
int32_t CallLoadedAttachRes(const unsigned char* data, int32_t size);

QByteArray ReadWholeFile(const std::string& path);
