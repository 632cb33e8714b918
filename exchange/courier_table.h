#pragma once
// Which express company a waybill number belongs to, by the rules of a data
// file installed beside the program (couriers.txt, UTF-8), read when a window
// or a command that needs it starts. One rule a line, "#" starts a comment:
//
//   顺丰 letters SF        a number starting SF and a digit is surely 顺丰's
//   申通 digits 15 43 77   a 15-digit number starting 43 or 77 may be 申通's
//
// Letter prefixes are sure. Several companies use the same digit-only
// patterns, so a digit rule gives a candidate only, and a number that fits
// the rules of two companies is left for the user to choose between them.
// Texts are UTF-8.

#include <string>
#include <string_view>
#include <vector>

#include "common/status.h"

struct CourierGuess {
    bool sure = false;               // one company, by a letter prefix or the only digit rule
    std::vector<std::string> names;  // the candidates, in the file's order
};

class CourierTable {
  public:
    // The table of a file's text; a line that is no rule fails the whole file,
    // naming the line.
    static Status Parse(std::string_view text, CourierTable& table);
    // The installed file: ProgramDirectory()/couriers.txt.
    static std::string InstalledPath();
    // The installed table; an empty one (no guesses) when the file is missing
    // or unreadable, with the reason in status.
    static CourierTable LoadInstalled(Status& status);

    CourierGuess Guess(std::string_view waybill) const;
    bool empty() const { return rules_.empty(); }

  private:
    struct Rule {
        std::string name;
        bool letters = false;
        int length = 0;                     // digits: the number's length
        std::vector<std::string> prefixes;  // upper case
    };
    std::vector<Rule> rules_;
};

// The company as the user's express-company pick list spells it: the item
// equal to the name, else the first that starts with it, else the first
// that holds it ("顺丰速运" for 顺丰); the name itself when none does.
std::string SpelledAsPickList(const std::string& name, const std::vector<std::string>& pickList);

// The courier of a line: the one given, else the table's sure guess (spelled
// as the pick list spells it). Otherwise empty, with the candidates spelled
// likewise.
struct CourierChoice {
    std::string courier;
    std::vector<std::string> candidates;
};
CourierChoice ChooseCourier(const std::string& given, std::string_view waybill,
                            const CourierTable& table, const std::vector<std::string>& pickList);
