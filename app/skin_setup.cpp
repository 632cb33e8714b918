#include "app/skin_setup.h"

#include <string>
#include <string_view>
#include <vector>

#include "app/skin_library.h"
#include "app/skin_library_image.h"
#include "app/skin_table.h"
#include "platform/files.h"
#include "platform/program_files.h"
#include "platform/whole_file.h"

namespace {

std::string LibraryPath() { return PathIn(ProgramDirectory(), kSkinLibraryFileName); }

}  // namespace

void EnsureSkinLibrary() {
    if (PathExists(LibraryPath())) return;
    // A failed write is not reported: loading the library finds out.
    // The image goes to a temporary file first and takes its name only when
    // complete, so a full disk or a crash never leaves a cut-off library that
    // later starts would keep using as it is.
    const std::string_view image(reinterpret_cast<const char*>(kSkinLibraryImage),
                                 kSkinLibraryImageSize);
    if (ReplaceWholeFile(NativePath(LibraryPath()), image)) SetFileHidden(LibraryPath());
}

void EnableSkinAero() {
    EnsureSkinLibrary();
    const SkinSetAeroFunction setAero = SkinSetAeroEntry();
    if (setAero == nullptr) return;
    setAero(1);
}

void AttachSkin(std::int32_t skinNumber) {
    EnsureSkinLibrary();
    std::vector<unsigned char> skin;
    if (skinNumber >= 1 && skinNumber <= kSkinCount) {
        const SkinData& entry = SkinTable[skinNumber - 1];
        skin.assign(entry.data, entry.data + entry.size);
    }
    const SkinAttachResFunction attach = SkinAttachResEntry();
    if (attach == nullptr) return;
    attach(skin.empty() ? nullptr : skin.data(), static_cast<std::int32_t>(skin.size()), "", 0, 0,
           0);
}
