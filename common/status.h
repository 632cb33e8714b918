#pragma once
// What an operation that may fail answers: success, or why not in words for
// the user, Chinese first and then the same in English. A window shows the
// Chinese line, a terminal both. A plain value: returned, never thrown.

#include <string>
#include <utility>

struct Status {
    bool failed = false;
    std::string chinese;  // UTF-8, like the English text
    std::string english;

    bool ok() const { return !failed; }
    // Both lines as a terminal shows them; one where they are the same text.
    std::string Lines() const { return english == chinese ? chinese : chinese + "\n" + english; }

    static Status Ok() { return {}; }
    static Status Failure(std::string chinese, std::string english) {
        return {true, std::move(chinese), std::move(english)};
    }
    // A failure in someone else's words that come in one language only
    // (SQLite's, a server's), standing for both lines.
    static Status Untranslated(const std::string& reason) { return Failure(reason, reason); }
};
