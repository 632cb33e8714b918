#pragma once
// The arguments of one tallovar-admin subcommand, split by the options it
// declares: options may stand before or after the operands, an option's
// value is the next argument (or follows "=" in "--name=value"), "--" ends
// the options, and a lone "-" is an operand (standard input or output where a
// command takes it). Any other argument of two or more characters that starts
// with "-" is an option, so a mistyped option is never taken for a file name.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct OptionHelp {
    const char* name;   // "--force"
    const char* value;  // what its value is called ("FILE"), nullptr for a flag
    const char* help;   // Chinese / English
};

class CommandLine {
  public:
    bool Has(std::string_view option) const;
    // The value given last for the option, empty when it was not given.
    std::string Value(std::string_view option) const;
    const std::vector<std::string>& Operands() const { return operands_; }

  private:
    friend struct ParsedCommandLine ParseCommandLine(const std::vector<OptionHelp>& options,
                                                     const std::vector<std::string>& arguments);
    std::vector<std::pair<std::string, std::string>> options_;  // in the order given
    std::vector<std::string> operands_;
};

struct ParsedCommandLine {
    CommandLine line;
    bool help = false;  // --help or -h was given: show the usage, do nothing else
    // Set when the arguments cannot be taken: names the option (Chinese / English).
    std::string error;
};

// --help and -h are understood by every command without being declared.
ParsedCommandLine ParseCommandLine(const std::vector<OptionHelp>& options,
                                   const std::vector<std::string>& arguments);
