#include "app/exit_cleanup.h"

#include <cstdlib>

#include "app/program_state.h"

namespace {

int runs = 0;

void ExitCleanup() {
    ++runs;
    editorMode.clear();
    editorMode.shrink_to_fit();
}

}  // namespace

void RegisterExitCleanup() {
    static const bool registered = std::atexit(ExitCleanup) == 0;
    (void)registered;
}

int ExitCleanupRuns() { return runs; }
