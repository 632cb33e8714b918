#include "tools/command_line.h"

#include <algorithm>

namespace {

bool LooksLikeOption(const std::string& argument) {
    return argument.size() >= 2 && argument[0] == '-';
}

const OptionHelp* Find(const std::vector<OptionHelp>& options, std::string_view name) {
    const auto found =
        std::find_if(options.begin(), options.end(),
                     [name](const OptionHelp& option) { return option.name == name; });
    return found == options.end() ? nullptr : &*found;
}

}  // namespace

bool CommandLine::Has(std::string_view option) const {
    return std::any_of(options_.begin(), options_.end(),
                       [option](const auto& given) { return given.first == option; });
}

std::string CommandLine::Value(std::string_view option) const {
    for (auto given = options_.rbegin(); given != options_.rend(); ++given) {
        if (given->first == option) return given->second;
    }
    return {};
}

ParsedCommandLine ParseCommandLine(const std::vector<OptionHelp>& options,
                                   const std::vector<std::string>& arguments) {
    ParsedCommandLine parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || !LooksLikeOption(argument)) {
            parsed.line.operands_.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            parsed.help = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const OptionHelp* option = Find(options, name);
        if (!option) {
            if (parsed.error.empty()) {
                parsed.error = "未知的选项：" + argument + " / unknown option: " + argument;
            }
            continue;
        }
        std::string value;
        std::string problem;
        if (!option->value) {
            if (equals != std::string::npos) {
                problem = "选项 " + name + " 不带值 / the option " + name + " takes no value";
            }
        } else if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            problem = "选项 " + name + " 后面缺少 " + option->value + " / the option " + name +
                      " needs " + option->value;
        }
        if (parsed.error.empty()) parsed.error = problem;
        parsed.line.options_.emplace_back(name, value);
    }
    return parsed;
}
