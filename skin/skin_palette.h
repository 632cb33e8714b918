#pragma once
// The palette section of a skin block: lines "Role=#rrggbb" set a colour in
// every colour group, "Group:Role=#aarrggbb" in one group (Qt's QPalette
// names, e.g. "Disabled:Text"). Blank lines, unknown names and colours Qt
// cannot read are skipped, so newer skins still load.

#include <QPalette>
#include <QString>

QPalette PaletteFromSkinText(const QString& text, const QPalette& start);
