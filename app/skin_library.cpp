#include "app/skin_library.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "app/fatal_error.h"
#include "common/text_encoding.h"
#include "platform/files.h"

namespace {

// Loads the library beside the program and nothing else: never by its bare
// name, which the loader would look up along LD_LIBRARY_PATH (where an empty
// element means the current directory, the ledger's folder). The file is
// opened first without waiting, so a pipe or a device by that name is
// refused instead of hanging the start, and the loader is then given that
// very file through its descriptor.
void* LoadBesideProgram() {
    const std::string directory = ProgramDirectory();
    if (directory.empty()) return nullptr;
    const std::string path = NativePath(directory + "/" + kSkinLibraryFileName);
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

void* LibraryHandle() {
    static void* handle = nullptr;
    if (handle == nullptr) handle = LoadBesideProgram();
    return handle;
}

// The function's address, or null after the fatal error box.
void* LookUp(const char* name) {
    void* handle = LibraryHandle();
    void* function = handle != nullptr ? dlsym(handle, name) : nullptr;
    if (function == nullptr) {
        FatalErrorBox(Gbk("无法找到指定DLL库文件“") + kSkinLibraryFileName + Gbk("”中的输出命令“") +
                      name + Gbk("”"));
        return nullptr;
    }
    return function;
}

}  // namespace

SkinSetAeroFunction SkinSetAeroEntry() {
    static SkinSetAeroFunction function = nullptr;
    if (function == nullptr)
        function = reinterpret_cast<SkinSetAeroFunction>(LookUp("SkinH_SetAero"));
    return function;
}

SkinAttachResFunction SkinAttachResEntry() {
    static SkinAttachResFunction function = nullptr;
    if (function == nullptr)
        function = reinterpret_cast<SkinAttachResFunction>(LookUp("SkinH_AttachRes"));
    return function;
}
