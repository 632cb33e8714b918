#include "platform/library.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The file is opened first without waiting, so a pipe or a device is refused,
// and the loader is then given that very file through its descriptor.
void* LoadLibraryFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return nullptr;
    struct stat info {};
    void* handle = nullptr;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        handle = dlopen(("/proc/self/fd/" + std::to_string(fd)).c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    close(fd);
    return handle;
}

void* LibraryFunction(void* library, const char* name) {
    return library != nullptr ? dlsym(library, name) : nullptr;
}
