#include "store/pick_lists.h"

#include <filesystem>
#include <system_error>

#include "common/text_encoding.h"
#include "platform/utf8_paths.h"
#include "store/settings.h"

namespace {

// ReadSetting gives at most this many bytes of a value.
constexpr std::size_t kLongestValue = 10239;

// True when every character of the UTF-8 text has a GBK form: the codec
// writes the others as four bytes, a lead byte and then a digit.
bool AllInGbk(const std::string& utf8) {
    const std::string gbk = Gbk(utf8);
    if (GbkToUtf8(gbk) != utf8) return false;  // not valid UTF-8
    for (std::size_t i = 0; i < gbk.size();) {
        if (static_cast<unsigned char>(gbk[i]) < 0x80) {
            ++i;
        } else if (i + 1 < gbk.size() && gbk[i + 1] >= '0' && gbk[i + 1] <= '9') {
            return false;
        } else {
            i += 2;
        }
    }
    return true;
}

bool HasControl(const std::string& text) {
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) return true;
    }
    return false;
}

std::string Join(const std::vector<std::string>& items, const std::string& delimiter) {
    std::string joined;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) joined += delimiter;
        joined += Gbk(items[i]);
    }
    return joined;
}

Status MakeFolderOf(const std::string& path) {
    std::error_code error;
    std::filesystem::create_directories(FileSystemPath(path).parent_path(), error);
    if (!error) return Status::Ok();
    return Status::Failure("无法建立配置文件所在的文件夹：" + path + "（" + error.message() + "）",
                           "cannot make the folder of " + path + ": " + error.message());
}

}  // namespace

const std::vector<PickList>& PickLists() {
    static const std::vector<PickList> lists = {
        {"卖家账号", "seller", kSellerAccounts},
        {"快递公司", "express", kExpressCompanies},
    };
    return lists;
}

const PickList* FindPickList(const std::string& name) {
    for (const PickList& list : PickLists()) {
        if (name == list.name || name == list.alias) return &list;
    }
    return nullptr;
}

std::vector<std::string> ReadPickList(const std::string& settingsPath, const PickList& list) {
    std::vector<std::string> items;
    for (const std::string& piece : ReadListSetting(Gbk(settingsPath), list.setting)) {
        items.push_back(GbkToUtf8(piece));
    }
    return items;
}

Status ItemProblem(const PickList& list, const std::string& item) {
    const std::string quoted = "“" + item + "”";
    const std::string delimiter = list.setting.delimiter;
    if (item.empty()) return Status::Failure("项目不能为空", "an item cannot be empty");
    if (HasControl(item)) {
        return Status::Failure(quoted + "含有换行或控制字符",
                               quoted + " holds a line break or control");
    }
    if (item.find(delimiter) != std::string::npos) {
        return Status::Failure(quoted + "含有分隔符“" + delimiter + "”",
                               quoted + " holds the separator " + delimiter);
    }
    if (!AllInGbk(item)) {
        return Status::Failure(quoted + "含有 GBK 编码没有的字符",
                               quoted + " holds a character that GBK lacks");
    }
    return Status::Ok();
}

Status WritePickList(const std::string& settingsPath, const PickList& list,
                     const std::vector<std::string>& items) {
    for (const std::string& item : items) {
        if (Status refused = ItemProblem(list, item); !refused.ok()) return refused;
    }
    const std::string value = Join(items, list.setting.delimiter);
    if (value.size() > kLongestValue) {
        return Status::Failure(std::string(list.name) + "太长：程序最多读取 " +
                                   std::to_string(kLongestValue) + " 字节",
                               std::string(list.alias) +
                                   " list too long: the program reads at most " +
                                   std::to_string(kLongestValue) + " bytes");
    }
    // A list that is already so leaves the file as it is.
    const SettingKey key = list.setting.key;
    if (ReadSetting(Gbk(settingsPath), key) == value) return Status::Ok();
    if (Status folder = MakeFolderOf(settingsPath); !folder.ok()) return folder;
    // The write reports nothing; reading the value back tells whether it is
    // there as the program will read it.
    WriteSetting(key, value, Gbk(settingsPath));
    if (ReadSetting(Gbk(settingsPath), key) != value) {
        return Status::Failure("无法写入配置文件：" + settingsPath, "cannot write " + settingsPath);
    }
    return Status::Ok();
}
