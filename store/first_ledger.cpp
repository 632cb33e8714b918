#include "store/first_ledger.h"

#include <filesystem>
#include <system_error>

#include "common/text_encoding.h"
#include "platform/program_files.h"
#include "platform/utf8_paths.h"
#include "platform/whole_file.h"
#include "store/ledger_file.h"
#include "store/pick_lists.h"
#include "store/program_settings.h"
#include "store/settings.h"

namespace fs = std::filesystem;

namespace {

const std::vector<std::string>& ItemsFor(const FirstLedger& choice, const PickList& list) {
    return &list == &PickLists().front() ? choice.sellers : choice.expressCompanies;
}

// Absolute, without "." or ".." and without a trailing separator, so that two
// spellings of one folder compare equal. The paths here are the window's
// UTF-8 texts, led to the system as such (FileSystemPath).
fs::path Normal(const std::string& folder) {
    std::error_code error;
    fs::path path = fs::absolute(FileSystemPath(folder), error).lexically_normal();
    if (!path.has_filename() && path.has_parent_path() && path != path.root_path()) {
        path = path.parent_path();
    }
    return path;
}

Status CheckChoice(const FirstLedger& choice) {
    if (choice.folder.empty() || choice.folder.find_first_of("\r\n") != std::string::npos) {
        return Status::Failure("请填写账本文件夹（不能含有换行）",
                               "name a ledger folder (no line breaks)");
    }
    if (choice.user.empty() || choice.password.empty()) {
        return Status::Failure("用户名和密码都不能为空",
                               "neither the user name nor the password may be empty");
    }
    for (const PickList& list : PickLists()) {
        for (const std::string& item : ItemsFor(choice, list)) {
            if (Status refused = ItemProblem(list, item); !refused.ok()) {
                return Status::Failure(std::string(list.name) + "：" + refused.chinese,
                                       std::string(list.alias) + ": " + refused.english);
            }
        }
    }
    return Status::Ok();
}

// What happens on the way, so that a later failure can take it back.
class Undo {
  public:
    explicit Undo(std::string settingsPath) : settingsPath_(std::move(settingsPath)) {}
    ~Undo() {
        if (done_) return;
        // Only a list that did change is written back, so a file the attempt
        // never touched stays byte for byte.
        for (const auto& [list, value] : oldLists_) {
            if (ReadSetting(Gbk(settingsPath_), list->setting.key) != value) {
                WriteSetting(list->setting.key, value, Gbk(settingsPath_));
            }
        }
        std::error_code ignored;
        if (!ledger_.empty()) fs::remove(FileSystemPath(ledger_), ignored);
        for (auto folder = madeFolders_.rbegin(); folder != madeFolders_.rend(); ++folder) {
            fs::remove(*folder, ignored);  // only while empty
        }
    }
    void Done() { done_ = true; }

    Status MakeFolder(const fs::path& folder) {
        std::error_code missing;
        for (fs::path part = folder; !part.empty() && !fs::exists(part, missing);
             part = part.parent_path()) {
            madeFolders_.insert(madeFolders_.begin(), part);
            if (part == part.parent_path()) break;
        }
        std::error_code error;
        fs::create_directories(folder, error);
        const std::string name = Utf8OfFileSystemPath(folder);
        if (error) {
            return Status::Failure("无法建立文件夹 " + name + "：" + error.message(),
                                   "cannot make the folder " + name + ": " + error.message());
        }
        if (!Utf8PathWritable(name)) {
            return Status::Failure("没有在文件夹 " + name + " 中写入的权限",
                                   "the folder " + name + " is not writable");
        }
        return Status::Ok();
    }

    void MadeLedger(const std::string& path) { ledger_ = path; }
    void ChangingList(const PickList& list) {
        oldLists_.emplace_back(&list, ReadSetting(Gbk(settingsPath_), list.setting.key));
    }

  private:
    std::string settingsPath_;
    std::vector<fs::path> madeFolders_;
    std::string ledger_;
    std::vector<std::pair<const PickList*, std::string>> oldLists_;
    bool done_ = false;
};

Status LedgerProblem(const std::string& path, const Status& failure) {
    if (failure.Is(StatusKind::Exists)) {
        return Status::Failure(StatusKind::Exists,
                               "这个文件夹中已有账本：" + path + "。请换一个文件夹。",
                               "there is a ledger in this folder already: " + path);
    }
    const std::string& error = failure.english;
    std::string reason = error;
    if (failure.Is(StatusKind::Full)) {
        reason = "磁盘空间不足（" + error + "）";
    } else if (failure.Is(StatusKind::Refused)) {
        reason = "没有写入的权限（" + error + "）";
    }
    return Status::Failure(failure.kind, "无法建立账本 " + path + "：" + reason,
                           "could not create the ledger " + path + ": " + error);
}

// The folder as one line, put in place only once it is complete.
Status RememberFolder(const std::string& folder) {
    const std::string path = RememberedFolderPath();
    std::error_code error;
    fs::create_directories(FileSystemPath(path).parent_path(), error);
    FileReplacement file(NativePathOfUtf8(path));
    if (!error && file.Open().ok() && file.Write(folder + "\n").ok() && file.Replace().ok()) {
        return Status::Ok();
    }
    return Status::Failure("无法记住账本文件夹（" + path + "）", "cannot write " + path);
}

}  // namespace

Status MakeFirstLedger(const FirstLedger& choice, const std::string& settingsPath,
                       const std::string& launcherFolder) {
    if (Status refused = CheckChoice(choice); !refused.ok()) return refused;
    const fs::path folder = Normal(choice.folder);
    Undo undo(settingsPath);
    if (Status made = undo.MakeFolder(folder); !made.ok()) return made;

    const std::string ledger = Utf8OfFileSystemPath(folder / kLedgerFileName);
    if (const Status made = CreateLedger(ledger, choice.user, choice.password); !made.ok()) {
        return LedgerProblem(ledger, made);
    }
    undo.MadeLedger(ledger);

    for (const PickList& list : PickLists()) {
        undo.ChangingList(list);
        if (Status written = WritePickList(settingsPath, list, ItemsFor(choice, list));
            !written.ok()) {
            return written;
        }
    }
    if (folder != Normal(launcherFolder)) {
        if (Status remembered = RememberFolder(Utf8OfFileSystemPath(folder)); !remembered.ok()) {
            return remembered;
        }
    }
    undo.Done();
    return Status::Ok();
}
