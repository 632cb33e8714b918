#pragma once
// The one clean-up that runs when the process ends, however it ends: the last
// window closing, a missing-database stop, a fatal error.

// Registers the clean-up with std::atexit; a second call registers nothing.
void RegisterExitCleanup();
// How often the clean-up has run in this process (tests read it).
int ExitCleanupRuns();
