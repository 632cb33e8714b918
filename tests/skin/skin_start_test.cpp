// Real starts of a small program that sets up the skin exactly as the login
// window does, each in a program directory of its own.
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <optional>

#include "app/skin_library_image.h"
#include "platform/files.h"
#include "skin_test_support.h"

namespace {

constexpr int kCannotChangeUser = 97;

struct ProbeRun {
    int exitCode = -1;
    QString output;
};

struct User {
    uid_t uid;
    gid_t gid;
};

// Copies the probe into `directory` and starts it there, with no library
// search path of its own unless `libraryPath` is given. With `readOnly` the
// directory loses its write bits once the probe is in place; `as` runs the
// probe as another user; `workingDirectory` replaces the temporary directory
// as the one the probe starts in.
ProbeRun StartProbe(const QString& directory, bool readOnly = false,
                    std::optional<User> as = std::nullopt, const QString& workingDirectory = {},
                    const QString& libraryPath = {}) {
    const QString program = directory + "/skin_start_probe";
    EXPECT_TRUE(QFile::copy(SKIN_PROBE, program));
    QFile::setPermissions(program,
                          QFile::permissions(SKIN_PROBE) | QFile::ReadOther | QFile::ExeOther);
    const QByteArray path = directory.toLocal8Bit();
    if (readOnly) {
        EXPECT_EQ(chmod(path.constData(), 0555), 0);
    }

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("LD_LIBRARY_PATH");
    environment.remove("LD_PRELOAD");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    if (!libraryPath.isNull()) environment.insert("LD_LIBRARY_PATH", libraryPath);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingDirectory.isEmpty() ? QDir::tempPath() : workingDirectory);
    if (as) {
        const User user = *as;
        process.setChildProcessModifier([user] {
            if (setgroups(0, nullptr) != 0 || setgid(user.gid) != 0 || setuid(user.uid) != 0)
                _exit(kCannotChangeUser);
        });
    }
    process.start(program, {});
    EXPECT_TRUE(process.waitForFinished(60000));
    if (readOnly) chmod(path.constData(), 0755);

    ProbeRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.output = QString::fromUtf8(process.readAllStandardOutput());
    if (run.exitCode != 0) qInfo().noquote() << process.readAllStandardError();
    return run;
}

QString FatalBoxLine(const char* function) {
    return QString::fromUtf8(
               "box 错误|16|运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“SkinH_EL.dll”"
               "中的输出命令“%1”\r\n\n")
        .arg(QString::fromLatin1(function));
}

class SkinStartTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(directory_.isValid());
        // Another user must be able to reach the directory and run the probe.
        ASSERT_EQ(chmod(directory_.path().toLocal8Bit().constData(), 0755), 0);
    }
    QString Dir() const { return directory_.path(); }
    QTemporaryDir directory_;
};

TEST_F(SkinStartTest, AFreshDirectoryGetsTheLibraryAndTheSkin) {
    const ProbeRun run = StartProbe(Dir());

    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "skinned 1\n");
    const std::string library = Dir().toStdString() + "/SkinH_EL.dll";
    EXPECT_EQ(QFileInfo(QString::fromStdString(library)).size(),
              static_cast<qint64>(kSkinLibraryImageSize));
    EXPECT_TRUE(IsFileHidden(library));
}

// Root may write into a directory whatever its mode says, so as root the probe
// runs as the user "nobody", whom the mode does stop. That no library file
// appeared shows the write really failed.
TEST_F(SkinStartTest, AReadOnlyDirectoryWithoutTheLibraryEndsWith255) {
    std::optional<User> as;
    if (geteuid() == 0) {
        const passwd* nobody = getpwnam("nobody");
        if (nobody == nullptr) GTEST_SKIP() << "no unprivileged user to run the program as";
        as = User{nobody->pw_uid, nobody->pw_gid};
    }

    const ProbeRun run = StartProbe(Dir(), true, as);
    if (run.exitCode == kCannotChangeUser) GTEST_SKIP() << "cannot run as another user";

    EXPECT_EQ(run.exitCode, 255);
    EXPECT_EQ(run.output, FatalBoxLine("SkinH_SetAero"));
    EXPECT_FALSE(QFileInfo::exists(Dir() + "/SkinH_EL.dll"));
}

TEST_F(SkinStartTest, AReplacedLibraryLackingAFunctionEndsWith255) {
    const QString library = Dir() + "/SkinH_EL.dll";
    ASSERT_TRUE(QFile::copy(LACKING_LIBRARY, library));
    const QByteArray before = ReadWholeFile(library.toStdString());

    const ProbeRun run = StartProbe(Dir());

    EXPECT_EQ(run.exitCode, 255);
    EXPECT_EQ(run.output, FatalBoxLine("SkinH_AttachRes"));
    EXPECT_EQ(ReadWholeFile(library.toStdString()), before);
}

// When the file beside the program cannot be used, nothing else is loaded in
// its place: not a library of that name in the folder the program starts in
// (the ledger's), even with an empty element in the search path, which means
// that folder; and a pipe by that name neither hangs the start nor is read.
TEST_F(SkinStartTest, OnlyTheRegularFileBesideTheProgramIsLoaded) {
    QTemporaryDir ledgerFolder;
    ASSERT_TRUE(QFile::copy(LACKING_LIBRARY, ledgerFolder.path() + "/SkinH_EL.dll"));
    struct Case {
        const char* what;
        bool (*place)(const std::string& path);
    };
    const Case cases[] = {
        {"a folder", [](const std::string& path) { return mkdir(path.c_str(), 0755) == 0; }},
        {"a named pipe", [](const std::string& path) { return mkfifo(path.c_str(), 0644) == 0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir programFolder;
        ASSERT_TRUE(c.place(programFolder.path().toStdString() + "/SkinH_EL.dll"));

        const ProbeRun run =
            StartProbe(programFolder.path(), false, std::nullopt, ledgerFolder.path(), ":");

        EXPECT_EQ(run.exitCode, 255);
        EXPECT_EQ(run.output, FatalBoxLine("SkinH_SetAero"));
    }
}

}  // namespace
