#include "app/skin_setup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/skin_library.h"
#include "app/skin_library_image.h"
#include "app/skin_table.h"
#include "platform/files.h"

namespace {

std::string LibraryPath() { return ProgramDirectory() + "/" + kSkinLibraryFileName; }

bool WriteAll(int fd, const unsigned char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Writes the library image in one piece. It goes to a temporary file in the
// same directory first and takes its name only when complete, so a full disk
// or a crash never leaves a cut-off library that later starts would keep
// using as it is.
bool WriteLibraryFile(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    std::string temporary = path.substr(0, slash + 1) + ".SkinH_EL.dll.XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return false;
    bool written = WriteAll(fd, kSkinLibraryImage, kSkinLibraryImageSize) &&
                   fchmod(fd, 0755) == 0 && fsync(fd) == 0;
    written = (close(fd) == 0) && written;
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

void EnsureSkinLibrary() {
    if (PathExists(LibraryPath())) return;
    // A failed write is not reported: loading the library finds out.
    if (WriteLibraryFile(LibraryPath())) SetFileHidden(LibraryPath());
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
