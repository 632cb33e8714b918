#include "app/process_end.h"

#include <cstdlib>

namespace {
std::function<void(int)>& Override() {
    static std::function<void(int)> function;
    return function;
}
}  // namespace

void SetProcessEndForTesting(std::function<void(int)> function) {
    Override() = std::move(function);
}

void EndProcess(int exitCode) {
    if (Override()) {
        Override()(exitCode);
        return;
    }
    std::exit(exitCode);
}
