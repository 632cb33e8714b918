#include "app/skin_library.h"

#include <string>

#include "app/fatal_error.h"
#include "common/text_encoding.h"
#include "platform/files.h"
#include "platform/library.h"

namespace {

// Loads the library beside the program and nothing else: never by its bare
// name, which the loader would look up along LD_LIBRARY_PATH (where an empty
// element means the current directory, the ledger's folder).
void* LoadBesideProgram() {
    const std::string directory = ProgramDirectory();
    if (directory.empty()) return nullptr;
    return LoadLibraryFile(NativePath(directory + kPathSeparator + kSkinLibraryFileName));
}

void* LibraryHandle() {
    static void* handle = nullptr;
    if (handle == nullptr) handle = LoadBesideProgram();
    return handle;
}

// The function's address, or null after the fatal error box.
void* LookUp(const char* name) {
    void* handle = LibraryHandle();
    void* function = LibraryFunction(handle, name);
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
