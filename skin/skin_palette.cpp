#include "skin/skin_palette.h"

#include <QColor>
#include <QMetaEnum>
#include <QStringList>

QPalette PaletteFromSkinText(const QString& text, const QPalette& start) {
    const QMetaEnum roles = QMetaEnum::fromType<QPalette::ColorRole>();
    const QMetaEnum groups = QMetaEnum::fromType<QPalette::ColorGroup>();
    QPalette palette = start;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& rawLine : lines) {
        const QString line = rawLine.trimmed();
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0) continue;
        const QString name = line.left(equals).trimmed();
        const QColor color = QColor::fromString(line.mid(equals + 1).trimmed());
        if (!color.isValid()) continue;

        const qsizetype colon = name.indexOf(QLatin1Char(':'));
        const QString roleName = colon < 0 ? name : name.mid(colon + 1);
        bool known = false;
        const int role = roles.keyToValue(roleName.toLatin1().constData(), &known);
        if (!known || role == QPalette::NoRole || role >= QPalette::NColorRoles) continue;
        if (colon < 0) {
            palette.setColor(static_cast<QPalette::ColorRole>(role), color);
            continue;
        }
        const int group = groups.keyToValue(name.left(colon).toLatin1().constData(), &known);
        if (!known || group < 0 || group >= QPalette::NColorGroups) continue;
        palette.setColor(static_cast<QPalette::ColorGroup>(group),
                         static_cast<QPalette::ColorRole>(role), color);
    }
    return palette;
}
