#include "app/skin_library.h"

#include <dlfcn.h>

#include <string>

#include "app/fatal_error.h"
#include "common/text_encoding.h"
#include "platform/files.h"

namespace {

void* LibraryHandle() {
    static void* handle = nullptr;
    if (handle != nullptr) return handle;
    const std::string besideProgram = ProgramDirectory() + "/" + kSkinLibraryFileName;
    handle = dlopen(NativePath(besideProgram).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) handle = dlopen(kSkinLibraryFileName, RTLD_NOW | RTLD_LOCAL);
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
