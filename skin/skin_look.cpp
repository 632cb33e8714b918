#include "skin/skin_look.h"

#include <QApplication>
#include <QByteArray>
#include <QPalette>
#include <QResource>
#include <QString>
#include <QStringDecoder>
#include <QStyle>
#include <QtEndian>
#include <optional>

#include "skin/skin_block.h"
#include "skin/skin_palette.h"

namespace {

// A skin block turned into what Qt takes.
struct Skin {
    QString baseStyle;
    QString palette;
    QString styleSheet;
    QString aeroSheet;
    QByteArray resources;  // registered with Qt while the skin is on
};

// What the application looked like before the first skin, to go back to.
struct SystemLook {
    bool saved = false;
    QString styleName;
    QPalette palette;
    QString styleSheet;
};

struct LookState {
    std::optional<Skin> skin;
    bool aero = false;
    SystemLook system;
    QString appliedStyle;  // the style this library last set, empty if none
};

LookState& State() {
    static LookState state;
    return state;
}

std::optional<QString> FromUtf8(const std::string& text) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString result = decoder.decode(QByteArrayView(text.data(), qsizetype(text.size())));
    if (decoder.hasError()) return std::nullopt;
    return result;
}

// The header of rcc's binary form: "qres", version, then the offsets of the
// tree, the data and the names, which must lie inside the collection.
bool ResourcesLookSound(const QByteArray& resources) {
    if (resources.isEmpty()) return true;
    if (resources.size() < 20 || !resources.startsWith("qres")) return false;
    for (int at : {8, 12, 16}) {
        const quint32 offset = qFromBigEndian<quint32>(resources.constData() + at);
        if (offset >= quint32(resources.size())) return false;
    }
    return true;
}

std::optional<Skin> SkinFromBlock(const SkinBlock& block) {
    auto baseStyle = FromUtf8(block.baseStyle);
    auto palette = FromUtf8(block.palette);
    auto styleSheet = FromUtf8(block.styleSheet);
    auto aeroSheet = FromUtf8(block.aeroSheet);
    if (!baseStyle || !palette || !styleSheet || !aeroSheet) return std::nullopt;
    QByteArray resources(block.resources.data(), qsizetype(block.resources.size()));
    if (!ResourcesLookSound(resources)) return std::nullopt;
    return Skin{*baseStyle, *palette, *styleSheet, *aeroSheet, std::move(resources)};
}

const uchar* ResourceData(const Skin& skin) {
    return reinterpret_cast<const uchar*>(skin.resources.constData());
}

bool RegisterResources(const Skin& skin) {
    return skin.resources.isEmpty() || QResource::registerResource(ResourceData(skin));
}

void UnregisterResources(const Skin& skin) {
    if (!skin.resources.isEmpty()) QResource::unregisterResource(ResourceData(skin));
}

QApplication* Application() { return qobject_cast<QApplication*>(QCoreApplication::instance()); }

void SetBaseStyle(const QString& name) {
    LookState& state = State();
    if (name.isEmpty() || name.compare(state.appliedStyle, Qt::CaseInsensitive) == 0) return;
    if (QApplication::setStyle(name) != nullptr) state.appliedStyle = name;
}

void RestoreSystemLook(QApplication* app) {
    LookState& state = State();
    if (!state.system.saved) return;
    app->setStyleSheet(state.system.styleSheet);
    if (!state.appliedStyle.isEmpty() && !state.system.styleName.isEmpty())
        QApplication::setStyle(state.system.styleName);
    QApplication::setPalette(state.system.palette);
    state.appliedStyle.clear();
}

void ApplyLook() {
    QApplication* app = Application();
    if (app == nullptr) return;
    LookState& state = State();
    if (!state.skin) {
        RestoreSystemLook(app);
        return;
    }
    if (!state.system.saved) {
        state.system.saved = true;
        state.system.styleName = app->style()->name();
        state.system.palette = QApplication::palette();
        state.system.styleSheet = app->styleSheet();
    }
    const Skin& skin = *state.skin;
    SetBaseStyle(skin.baseStyle);
    QApplication::setPalette(PaletteFromSkinText(skin.palette, app->style()->standardPalette()));
    QString sheet = skin.styleSheet;
    if (state.aero && !skin.aeroSheet.isEmpty()) sheet += QLatin1Char('\n') + skin.aeroSheet;
    app->setStyleSheet(sheet);
}

}  // namespace

bool AttachSkinBlock(const unsigned char* data, std::size_t size) {
    LookState& state = State();
    std::optional<Skin> next;
    if (auto block = ReadSkinBlock(data, size)) next = SkinFromBlock(*block);
    if (next && !RegisterResources(*next)) next.reset();
    // The old skin's images stay registered until its sheet is gone.
    std::optional<Skin> previous = std::move(state.skin);
    state.skin = std::move(next);
    ApplyLook();
    if (previous) UnregisterResources(*previous);
    return state.skin.has_value() && Application() != nullptr;
}

void SetAeroLook(bool on) {
    LookState& state = State();
    if (state.aero == on) return;
    state.aero = on;
    if (state.skin) ApplyLook();
}
