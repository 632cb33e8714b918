#include "skin_test_support.h"

#include <dlfcn.h>

#include <QFile>

#include "app/process_end.h"
#include "common/message_box.h"
#include "platform/files.h"

namespace {
// Finds the already loaded library by its name, without loading anything.
void* LoadedLibrary() { return dlopen("SkinH_EL.dll", RTLD_NOW | RTLD_NOLOAD); }

template <typename Function>
Function Entry(const char* name) {
    void* handle = LoadedLibrary();
    if (handle == nullptr) return nullptr;
    auto function = reinterpret_cast<Function>(dlsym(handle, name));
    dlclose(handle);  // drops only the reference NOLOAD took
    return function;
}
}  // namespace

void SkinTest::SetUp() {
    ASSERT_TRUE(directory_.isValid());
    SetProgramDirectoryForTesting(Dir());
    SetMessageBoxForTesting([this](const std::string& text, int flags, const std::string& title) {
        boxes_.push_back({text, flags, title});
        return kAnswerOk;
    });
    SetProcessEndForTesting([this](int code) { exitCodes_.push_back(code); });
    // An earlier case in this process may have left a skin on.
    CallLoadedAttachRes(nullptr, 0);
    CallLoadedSetAero(0);
}

void SkinTest::TearDown() {
    CallLoadedAttachRes(nullptr, 0);
    CallLoadedSetAero(0);
    SetProgramDirectoryForTesting("");
    SetMessageBoxForTesting(nullptr);
    SetProcessEndForTesting(nullptr);
}

const SkinH_CallRecord* LoadedLibraryCalls() {
    auto query = Entry<const SkinH_CallRecord* (*)()>("SkinH_LastCallsForTesting");
    return query != nullptr ? query() : nullptr;
}

void CallLoadedSetAero(int32_t on) {
    if (auto setAero = Entry<int32_t(SKINH_CALL*)(int32_t)>("SkinH_SetAero")) setAero(on);
}

int32_t CallLoadedAttachRes(const unsigned char* data, int32_t size) {
    using Attach =
        int32_t(SKINH_CALL*)(const unsigned char*, int32_t, const char*, int32_t, int32_t, int32_t);
    if (auto attach = Entry<Attach>("SkinH_AttachRes")) return attach(data, size, "", 0, 0, 0);
    return -1;
}

QByteArray ReadWholeFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}
