#include "store/durability.h"

#include <cctype>

namespace {

constexpr const char* kSynchronous = "extra";

}  // namespace

std::string SynchronousConnectionKey() {
    std::string level = kSynchronous;
    for (char& c : level) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return "SyncPragma=" + level + ";";
}

std::string SynchronousStatement() { return std::string("pragma synchronous=") + kSynchronous; }
