// The skin set-up inside one process: writing the carried library beside the
// program, loading it, and what the two calls hand over and bring about.
#include <QApplication>
#include <QColor>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/fatal_error.h"
#include "app/skin_library_image.h"
#include "app/skin_setup.h"
#include "app/skin_table.h"
#include "common/message_box.h"
#include "common/text_encoding.h"
#include "platform/files.h"
#include "skin/skin_block.h"
#include "skin_test_support.h"

namespace {

QByteArray CarriedImage() {
    return QByteArray(reinterpret_cast<const char*>(kSkinLibraryImage),
                      static_cast<qsizetype>(kSkinLibraryImageSize));
}

SkinBlock Block(int number) {
    const SkinData& skin = SkinTable[number - 1];
    return ReadSkinBlock(skin.data, static_cast<std::size_t>(skin.size)).value();
}

using SkinSetUpTest = SkinTest;

TEST_F(SkinSetUpTest, FirstStartWritesTheBuiltLibraryHiddenAndNothingElse) {
    EnsureSkinLibrary();

    EXPECT_EQ(ReadWholeFile(LibraryPath()), CarriedImage());
    EXPECT_EQ(CarriedImage(), ReadWholeFile(TALLOVAR_BINARY_DIR "/skin/SkinH_EL.dll"))
        << "the carried image is not the library this build produced";
    EXPECT_TRUE(IsFileHidden(LibraryPath()));
    // No temporary file is left behind.
    const QStringList entries =
        QDir(directory_.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries)
        EXPECT_TRUE(entry == "SkinH_EL.dll" || entry == ".hidden") << entry.toStdString();
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(SkinSetUpTest, AnExistingFileOrFolderIsUsedAsItIs) {
    // Written by an earlier start, then replaced by the user.
    EnsureSkinLibrary();
    {
        QFile file(QString::fromStdString(LibraryPath()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("replaced by the user");
    }
    EnsureSkinLibrary();
    EXPECT_EQ(ReadWholeFile(LibraryPath()), QByteArray("replaced by the user"));

    // A folder of that name.
    QTemporaryDir other;
    SetProgramDirectoryForTesting(other.path().toStdString());
    ASSERT_TRUE(QDir(other.path()).mkdir("SkinH_EL.dll"));
    EnsureSkinLibrary();
    EXPECT_TRUE(QFileInfo(other.path() + "/SkinH_EL.dll").isDir());
    EXPECT_TRUE(QDir(other.path() + "/SkinH_EL.dll").isEmpty());
    EXPECT_FALSE(IsFileHidden(other.path().toStdString() + "/SkinH_EL.dll"));
}

TEST_F(SkinSetUpTest, AttachSkinHandsOverTheChosenBlockOrNothing) {
    EnableSkinAero();
    ASSERT_TRUE(boxes_.empty()) << boxes_.front().text;
    const SkinH_CallRecord* calls = LoadedLibraryCalls();
    ASSERT_NE(calls, nullptr);
    EXPECT_EQ(calls->aeroValue, 1);

    struct Case {
        int number;
        bool hasBlock;
    };
    for (const Case& c : {Case{10, true}, Case{1, true}, Case{33, true}, Case{0, false},
                          Case{34, false}, Case{-1, false}}) {
        SCOPED_TRACE(c.number);
        const int before = calls->attachCalls;
        AttachSkin(c.number);
        ASSERT_EQ(calls->attachCalls, before + 1);
        EXPECT_LT(calls->aeroSequence, calls->attachSequence);
        EXPECT_EQ(calls->attachHadText, 1);
        EXPECT_STREQ(calls->attachText, "");
        EXPECT_EQ(calls->attachNumbers[0], 0);
        EXPECT_EQ(calls->attachNumbers[1], 0);
        EXPECT_EQ(calls->attachNumbers[2], 0);
        if (c.hasBlock) {
            const SkinData& skin = SkinTable[c.number - 1];
            EXPECT_EQ(calls->attachHadData, 1);
            ASSERT_EQ(calls->attachSize, skin.size);
            EXPECT_TRUE(std::equal(skin.data, skin.data + skin.size, calls->attachBytes));
            EXPECT_EQ(calls->skinApplied, 1);
        } else {
            EXPECT_EQ(calls->attachHadData, 0);
            EXPECT_EQ(calls->attachSize, 0);
            EXPECT_EQ(calls->skinApplied, 0);
        }
    }
    EXPECT_TRUE(boxes_.empty());
    EXPECT_TRUE(exitCodes_.empty());
}

TEST_F(SkinSetUpTest, TheSkinDrawsTheWholeApplicationAndCanBeTakenOff) {
    const QString systemStyle = QApplication::style()->name();
    const QString systemSheet = qApp->styleSheet();
    const SkinBlock skin = Block(10);

    EnableSkinAero();
    AttachSkin(10);
    const QString plainSheet = QString::fromStdString(skin.styleSheet);
    const QString aeroSheet = QString::fromStdString(skin.aeroSheet);
    EXPECT_EQ(qApp->styleSheet(), plainSheet + "\n" + aeroSheet);
    // Windows opened from now on take the skin's palette too.
    const std::string palette = skin.palette;
    const std::size_t window = palette.find("Window=");
    ASSERT_NE(window, std::string::npos);
    const QColor windowColour(QString::fromStdString(palette.substr(window + 7, 7)));
    QWidget later;
    EXPECT_EQ(later.palette().color(QPalette::Window), windowColour);

    // Aero off and on again applies to the skin attached now.
    CallLoadedSetAero(0);
    EXPECT_EQ(qApp->styleSheet(), plainSheet);
    CallLoadedSetAero(1);
    EXPECT_EQ(qApp->styleSheet(), plainSheet + "\n" + aeroSheet);

    // No skin, or one the library cannot read: the system's look again.
    const SkinData& block = SkinTable[9];
    std::vector<unsigned char> damaged(block.data, block.data + block.size);
    damaged[4] = 9;  // a format version the library does not know
    for (auto [data, size] : {std::pair<const unsigned char*, int32_t>{nullptr, 0},
                              {block.data, 0},
                              {damaged.data(), block.size},
                              {block.data, block.size - 1}}) {
        AttachSkin(10);
        ASSERT_FALSE(qApp->styleSheet().isEmpty());
        EXPECT_EQ(CallLoadedAttachRes(data, size), 0);
        EXPECT_EQ(qApp->styleSheet(), systemSheet);
        EXPECT_EQ(QApplication::style()->name(), systemStyle);
    }
}

TEST_F(SkinSetUpTest, EverySkinOfTheTableIsReadAndItsSheetsParse) {
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { warnings << text; });
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QGroupBox("分组"));
    layout->addWidget(new QLineEdit);
    layout->addWidget(new QComboBox);
    layout->addWidget(new QPushButton("确定"));
    layout->addWidget(new QTableWidget(3, 3));
    QMenu menu;
    menu.addAction("发货");

    EnableSkinAero();
    QStringList names;
    std::vector<std::string> sheets;
    for (int number = 1; number <= kSkinCount; ++number) {
        SCOPED_TRACE(number);
        const SkinBlock skin = Block(number);
        EXPECT_EQ(skin.baseStyle, "Fusion");
        EXPECT_FALSE(skin.aeroSheet.empty());
        names << QString::fromStdString(skin.name);
        sheets.push_back(skin.styleSheet);
        AttachSkin(number);
        for (QWidget* widget : window.findChildren<QWidget*>()) widget->ensurePolished();
        window.ensurePolished();
        menu.ensurePolished();
    }
    qInstallMessageHandler(previous);
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
    names.removeDuplicates();
    EXPECT_EQ(names.size(), kSkinCount);
    std::sort(sheets.begin(), sheets.end());
    EXPECT_EQ(std::unique(sheets.begin(), sheets.end()), sheets.end()) << "two skins look alike";
}

TEST_F(SkinSetUpTest, FatalErrorBoxShowsTheMessageThenEndsWithMinusOne) {
    FatalErrorBox(Gbk("无法找到指定DLL库文件“SkinH_EL.dll”中的输出命令“SkinH_SetAero”"));

    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, Gbk("运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“SkinH_EL.dll”"
                                  "中的输出命令“SkinH_SetAero”\r\n"));
    EXPECT_EQ(boxes_[0].flags, kMbIconError | kMbOk);
    EXPECT_EQ(boxes_[0].title, Gbk("错误"));
    EXPECT_EQ(exitCodes_, std::vector<int>{-1});
}

}  // namespace
