#include "platform/mapped_reads.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>

namespace {

std::atomic<int> g_guarded = 0;
struct sigaction g_previous;

// A mapped page beyond the end of its file (BUS_ADRERR) while a mapped read
// runs: an anonymous page of zeros takes its place and the faulting read is
// made again. mmap is a plain system call, safe in a handler. Anything else
// goes to the handler that was there before, or ends the program as it would
// have.
void OnBusError(int signal, siginfo_t* info, void* context) {
    if (info->si_code == BUS_ADRERR && g_guarded.load() > 0) {
        const auto size = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        void* page =
            reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(info->si_addr) & ~(size - 1));
        if (mmap(page, size, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) == page) {
            return;
        }
    }
    if (g_previous.sa_flags & SA_SIGINFO) {
        g_previous.sa_sigaction(signal, info, context);
    } else if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN) {
        g_previous.sa_handler(signal);
    } else {
        // The default action, once the handler returns and the read faults
        // again.
        struct sigaction fallback = {};
        fallback.sa_handler = SIG_DFL;
        sigaction(SIGBUS, &fallback, nullptr);
    }
}

}  // namespace

bool CanGuardMappedReads() {
    static const bool installed = [] {
        struct sigaction action = {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        return sigaction(SIGBUS, &action, &g_previous) == 0;
    }();
    return installed;
}

MappedReads::MappedReads() { ++g_guarded; }

MappedReads::~MappedReads() { --g_guarded; }
