#include "exchange/courier_table.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "common/text_encoding.h"
#include "platform/files.h"

namespace {

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsLetters(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

void AddOnce(std::vector<std::string>& names, const std::string& name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
}

}  // namespace

Status CourierTable::Parse(std::string_view text, CourierTable& table) {
    table.rules_.clear();
    std::istringstream lines{std::string(text)};
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::vector<std::string> parts{std::istream_iterator<std::string>(words), {}};
        if (parts.empty()) continue;
        Rule rule;
        rule.name = parts[0];
        rule.letters = parts.size() == 3 && parts[1] == "letters" && IsLetters(parts[2]);
        const bool digits = parts.size() >= 4 && parts[1] == "digits" && IsDigits(parts[2]);
        if (rule.letters) {
            rule.prefixes.push_back(Upper(parts[2]));
        } else if (digits) {
            rule.length = std::stoi(parts[2].substr(0, 3));
            for (std::size_t p = 3; p < parts.size() && digits; ++p) {
                if (!IsDigits(parts[p])) rule.length = 0;
                rule.prefixes.push_back(parts[p]);
            }
        }
        if (!rule.letters && rule.length <= 0) {
            table.rules_.clear();
            const std::string at = std::to_string(number);
            return Status::Failure("快递公司规则第 " + at + " 行看不懂：" + line,
                                   "courier rule line " + at + " cannot be read: " + line);
        }
        table.rules_.push_back(std::move(rule));
    }
    return Status::Ok();
}

std::string CourierTable::InstalledPath() { return ProgramDirectory() + "/couriers.txt"; }

CourierTable CourierTable::LoadInstalled(Status& status) {
    CourierTable table;
    std::ifstream file(NativePath(InstalledPath()), std::ios::binary);
    if (!file) {
        const std::string path = GbkToUtf8(InstalledPath());
        status = Status::Failure("找不到快递公司规则 " + path + "，不能按运单号猜快递公司",
                                 "no courier rules at " + path + "; couriers are not guessed");
        return table;
    }
    const std::string text{std::istreambuf_iterator<char>(file), {}};
    status = Parse(text, table);
    return table;
}

CourierGuess CourierTable::Guess(std::string_view waybill) const {
    CourierGuess guess;
    const std::string number = Upper(waybill);
    std::size_t longestPrefix = 0;
    std::string sureName;
    for (const Rule& rule : rules_) {
        for (const std::string& prefix : rule.prefixes) {
            if (number.compare(0, prefix.size(), prefix) != 0) continue;
            if (rule.letters) {
                // The letters and then the number proper, "SF1234...", never "SFX".
                const bool digitFollows =
                    number.size() > prefix.size() && IsDigits(number.substr(prefix.size(), 1));
                if (digitFollows && prefix.size() > longestPrefix) {
                    longestPrefix = prefix.size();
                    sureName = rule.name;
                }
            } else if (IsDigits(number) && static_cast<int>(number.size()) == rule.length) {
                AddOnce(guess.names, rule.name);
            }
        }
    }
    if (!sureName.empty()) return {true, {sureName}};
    guess.sure = guess.names.size() == 1;
    return guess;
}

std::string SpelledAsPickList(const std::string& name, const std::vector<std::string>& pickList) {
    for (const auto& fits : {+[](const std::string&item, const std::string&n) { return item == n; },
                             +[](const std::string&item, const std::string&n) {
                                 return item.compare(0, n.size(), n) == 0;
                             },
                             +[](const std::string&item, const std::string&n) {
                                 return item.find(n) != std::string::npos;
                             }}) {
        for (const std::string& item : pickList) {
            if (fits(item, name)) return item;
        }
    }
    return name;
}

CourierChoice ChooseCourier(const std::string& given, std::string_view waybill,
                            const CourierTable& table, const std::vector<std::string>& pickList) {
    if (!given.empty()) return {given, {}};
    const CourierGuess guess = table.Guess(waybill);
    CourierChoice choice;
    for (const std::string& name : guess.names) {
        choice.candidates.push_back(SpelledAsPickList(name, pickList));
    }
    if (guess.sure) choice.courier = choice.candidates.front();
    return choice;
}
