#include "tools/pick_lists.h"

#include <filesystem>
#include <system_error>

#include "common/text_encoding.h"
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

MaybeProblem MakeFolderOf(const std::string& path) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    if (!error) return {};
    return Problem{"无法建立配置文件所在的文件夹：" + path + "（" + error.message() + "）",
                   "cannot make the folder of " + path + ": " + error.message()};
}

}  // namespace

const std::vector<PickList>& PickLists() {
    static const std::vector<PickList> lists = {
        {"卖家账号", "seller", "zhanghaoinfo", "zhanghao", "|"},
        {"快递公司", "express", "kuaidiinfo", "kuaidi", "#"},
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
    for (const std::string& piece :
         SplitList(ReadSetting(Gbk(settingsPath), list.section, list.key), list.delimiter)) {
        items.push_back(GbkToUtf8(piece));
    }
    return items;
}

MaybeProblem ItemProblem(const PickList& list, const std::string& item) {
    const std::string quoted = "“" + item + "”";
    if (item.empty()) return Problem{"项目不能为空", "an item cannot be empty"};
    if (HasControl(item)) {
        return Problem{quoted + "含有换行或控制字符", quoted + " holds a line break or control"};
    }
    if (item.find(list.delimiter) != std::string::npos) {
        return Problem{quoted + "含有分隔符“" + list.delimiter + "”",
                       quoted + " holds the separator " + list.delimiter};
    }
    if (!AllInGbk(item)) {
        return Problem{quoted + "含有 GBK 编码没有的字符",
                       quoted + " holds a character that GBK lacks"};
    }
    return {};
}

MaybeProblem WritePickList(const std::string& settingsPath, const PickList& list,
                           const std::vector<std::string>& items) {
    for (const std::string& item : items) {
        if (MaybeProblem problem = ItemProblem(list, item)) return problem;
    }
    const std::string value = Join(items, list.delimiter);
    if (value.size() > kLongestValue) {
        return Problem{std::string(list.name) + "太长：程序最多读取 " +
                           std::to_string(kLongestValue) + " 字节",
                       std::string(list.alias) + " list too long: the program reads at most " +
                           std::to_string(kLongestValue) + " bytes"};
    }
    // A list that is already so leaves the file as it is.
    if (ReadSetting(Gbk(settingsPath), list.section, list.key) == value) return {};
    if (MaybeProblem problem = MakeFolderOf(settingsPath)) return problem;
    // The write reports nothing; reading the value back tells whether it is
    // there as the program will read it.
    WriteSetting(list.section, list.key, value, Gbk(settingsPath));
    if (ReadSetting(Gbk(settingsPath), list.section, list.key) != value) {
        return Problem{"无法写入配置文件：" + settingsPath, "cannot write " + settingsPath};
    }
    return {};
}
