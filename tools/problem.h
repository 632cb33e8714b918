#pragma once
// A failure as the user is told it: Chinese first, then the same in English.
// A terminal shows both lines, a window the Chinese one. No value: success.

#include <optional>
#include <string>

struct Problem {
    std::string chinese;
    std::string english;
};

using MaybeProblem = std::optional<Problem>;
