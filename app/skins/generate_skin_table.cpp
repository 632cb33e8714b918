// Writes the program's skin table: 33 skin blocks, one family of looks made
// from the two sheet templates beside this file, as a C++ source with one
// byte array per skin. The images a skin's sheets use are drawn here and
// packed by Qt's rcc into the block.
//
//   generate_skin_table <sheet.qss> <aero.qss> <output.cpp> <rcc> <work dir>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QProcess>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "skin/skin_block.h"

namespace {

// One look of the family. Colours are worked out from the accent's hue and
// saturation; `tint` is how much of the accent the neutral surfaces take.
struct Look {
    const char* name;
    int hue;
    int saturation;
    int tint;
    int radius;
    int buttonWeight;
    int titleWeight;
    bool flat;
};

// Skin 10 is the one the program uses.
constexpr Look kLooks[] = {
    {"晴空 Clear Sky", 205, 150, 40, 3, 400, 700, false},
    {"湖蓝 Lake", 188, 140, 35, 2, 400, 600, false},
    {"翠竹 Bamboo", 140, 110, 30, 3, 400, 700, false},
    {"森林 Forest", 120, 120, 25, 0, 600, 700, true},
    {"青瓷 Celadon", 165, 70, 30, 4, 400, 600, false},
    {"紫罗兰 Violet", 270, 110, 30, 3, 400, 700, false},
    {"丁香 Lilac", 290, 80, 35, 6, 400, 600, false},
    {"玫瑰 Rose", 340, 120, 30, 4, 600, 700, false},
    {"珊瑚 Coral", 10, 140, 35, 2, 400, 700, true},
    {"蔚蓝 Azure", 212, 150, 40, 3, 400, 700, false},
    {"琥珀 Amber", 35, 170, 45, 3, 600, 700, false},
    {"麦田 Wheat", 45, 120, 40, 0, 400, 600, true},
    {"橄榄 Olive", 75, 100, 30, 2, 400, 700, false},
    {"石墨 Graphite", 210, 25, 10, 2, 600, 700, false},
    {"银灰 Silver", 0, 0, 0, 3, 400, 600, false},
    {"深海 Deep Sea", 225, 170, 45, 4, 600, 700, false},
    {"薄荷 Mint", 155, 120, 40, 6, 400, 600, true},
    {"樱花 Sakura", 350, 90, 40, 6, 400, 600, false},
    {"赤陶 Terracotta", 15, 120, 30, 0, 600, 700, false},
    {"靛青 Indigo", 240, 120, 30, 3, 400, 700, false},
    {"薰衣草 Lavender", 260, 80, 40, 4, 400, 600, true},
    {"沙漠 Desert", 30, 70, 35, 2, 400, 700, false},
    {"海港 Harbour", 195, 130, 35, 3, 600, 700, false},
    {"松石 Turquoise", 175, 140, 40, 4, 400, 600, false},
    {"胭脂 Carmine", 355, 160, 35, 2, 600, 700, true},
    {"梅子 Plum", 300, 90, 30, 3, 400, 700, false},
    {"柠檬 Lemon", 55, 160, 50, 6, 400, 600, false},
    {"苔藓 Moss", 95, 90, 30, 0, 400, 700, true},
    {"钢蓝 Steel", 207, 70, 25, 2, 400, 600, false},
    {"暮色 Dusk", 250, 60, 30, 4, 600, 700, false},
    {"晨曦 Dawn", 25, 130, 40, 3, 400, 600, false},
    {"冰川 Glacier", 195, 70, 45, 6, 400, 700, false},
    {"墨玉 Dark Jade", 150, 110, 25, 2, 600, 700, true},
};
static_assert(std::size(kLooks) == 33);

QString Hsl(int hue, int saturation, int lightness) {
    return QColor::fromHsl(hue, std::clamp(saturation, 0, 255), std::clamp(lightness, 0, 255))
        .name();
}

std::map<std::string, std::string> Colours(const Look& look) {
    const int h = look.hue, s = look.saturation, t = look.tint;
    std::map<std::string, QString> c;
    c["text"] = Hsl(h, std::min(t, 40), 28);
    c["base"] = "#ffffff";
    c["window"] = Hsl(h, t, 238);
    c["group"] = Hsl(h, t, 244);
    c["border"] = Hsl(h, t + 10, 190);
    c["border_dark"] = Hsl(h, s / 2, 150);
    c["accent"] = Hsl(h, s, 105);
    c["accent_dark"] = Hsl(h, s, 70);
    c["accent_light"] = Hsl(h, s, 165);
    c["highlight"] = c["accent"];
    c["highlight_text"] = "#ffffff";
    c["read_only"] = Hsl(h, t, 247);
    c["disabled_bg"] = Hsl(h, t / 2, 232);
    c["disabled_border"] = Hsl(h, t / 2, 208);
    c["disabled_text"] = Hsl(h, t / 2, 145);
    c["button_top"] = Hsl(h, t, look.flat ? 242 : 253);
    c["button_bottom"] = Hsl(h, t + 10, look.flat ? 242 : 228);
    c["button_border"] = Hsl(h, t + 10, 170);
    c["button_text"] = c["text"];
    c["hover_top"] = Hsl(h, s, look.flat ? 238 : 250);
    c["hover_bottom"] = Hsl(h, s, look.flat ? 238 : 230);
    c["pressed_top"] = Hsl(h, s, 212);
    c["pressed_bottom"] = Hsl(h, s, 228);
    c["alternate"] = Hsl(h, t, 248);
    c["grid"] = Hsl(h, t, 222);
    c["header_top"] = Hsl(h, t, look.flat ? 240 : 252);
    c["header_bottom"] = Hsl(h, t + 10, look.flat ? 240 : 232);
    c["track"] = Hsl(h, t, 243);
    c["handle"] = Hsl(h, t + 10, 200);
    c["handle_hover"] = Hsl(h, s / 2, 170);
    // Aero: glass surfaces and a softer selection.
    c["glass_panel_top"] = Hsl(h, t + 20, 252);
    c["glass_panel_bottom"] = Hsl(h, t + 20, 238);
    c["glass_border"] = Hsl(h, s / 2, 175);
    c["glass_text"] = "#ffffff";
    c["glass_1"] = Hsl(h, s, 170);
    c["glass_2"] = Hsl(h, s, 135);
    c["glass_3"] = Hsl(h, s, 112);
    c["glass_4"] = Hsl(h, s, 140);
    c["gloss_1"] = Hsl(h, t + 20, 254);
    c["gloss_2"] = Hsl(h, t + 30, 240);
    c["gloss_3"] = Hsl(h, t + 40, 224);
    c["gloss_4"] = Hsl(h, t + 40, 238);
    c["gloss_hover_1"] = Hsl(h, s, 252);
    c["gloss_hover_2"] = Hsl(h, s, 238);
    c["gloss_hover_3"] = Hsl(h, s, 218);
    c["gloss_hover_4"] = Hsl(h, s, 234);
    c["gloss_pressed_1"] = Hsl(h, s, 205);
    c["gloss_pressed_2"] = Hsl(h, s, 215);
    c["gloss_pressed_3"] = Hsl(h, s, 205);
    c["gloss_pressed_4"] = Hsl(h, s, 222);
    c["soft_top"] = Hsl(h, s, 236);
    c["soft_bottom"] = Hsl(h, s, 215);
    c["soft_border"] = Hsl(h, s, 180);

    std::map<std::string, std::string> tokens;
    for (const auto& [key, value] : c) tokens[key] = value.toStdString();
    tokens["name"] = look.name;
    tokens["radius"] = std::to_string(look.radius);
    tokens["radius_small"] = std::to_string(std::min(look.radius, 3));
    tokens["radius_inner"] = std::to_string(std::max(std::min(look.radius, 3) - 1, 0));
    tokens["radius_handle"] = std::to_string(std::min(look.radius, 5));
    tokens["button_weight"] = std::to_string(look.buttonWeight);
    tokens["title_weight"] = std::to_string(look.titleWeight);
    tokens["header_weight"] = std::to_string(std::min(look.buttonWeight, 600));
    return tokens;
}

std::string Palette(const std::map<std::string, std::string>& c) {
    const std::pair<const char*, const char*> entries[] = {
        {"Window", "window"},
        {"WindowText", "text"},
        {"Base", "base"},
        {"AlternateBase", "alternate"},
        {"Text", "text"},
        {"Button", "button_bottom"},
        {"ButtonText", "button_text"},
        {"Highlight", "highlight"},
        {"HighlightedText", "highlight_text"},
        {"ToolTipBase", "base"},
        {"ToolTipText", "text"},
        {"PlaceholderText", "disabled_text"},
        {"Light", "base"},
        {"Midlight", "group"},
        {"Mid", "border"},
        {"Dark", "border_dark"},
        {"Shadow", "accent_dark"},
        {"Link", "accent"},
        {"Disabled:WindowText", "disabled_text"},
        {"Disabled:Text", "disabled_text"},
        {"Disabled:ButtonText", "disabled_text"},
        {"Disabled:Base", "disabled_bg"},
        {"Disabled:Button", "disabled_bg"},
        {"Disabled:Highlight", "disabled_border"},
    };
    std::string text;
    for (const auto& [role, colour] : entries)
        text += std::string(role) + "=" + c.at(colour) + "\n";
    return text;
}

// Fills @token@ places; a place without a value is a mistake in a template.
bool Fill(const std::string& sheet, const std::map<std::string, std::string>& tokens,
          std::string& out) {
    out.clear();
    std::size_t at = 0;
    while (true) {
        const std::size_t open = sheet.find('@', at);
        if (open == std::string::npos) break;
        const std::size_t close = sheet.find('@', open + 1);
        if (close == std::string::npos) return false;
        const auto value = tokens.find(sheet.substr(open + 1, close - open - 1));
        if (value == tokens.end()) {
            std::fprintf(stderr, "unknown place %s\n",
                         sheet.substr(open, close - open + 1).c_str());
            return false;
        }
        out += sheet.substr(at, open - at) + value->second;
        at = close + 1;
    }
    out += sheet.substr(at);
    return true;
}

// The drop-down arrow, a small filled triangle.
bool DrawArrow(const QString& colour, const QString& file) {
    QImage image(9, 5, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromString(colour));
    painter.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(9, 0), QPointF(4.5, 5)}));
    painter.end();
    return image.save(file, "PNG");
}

// Draws the skin's images into `work` and packs them with rcc; the sheets
// find them under `prefix`.
bool PackImages(const std::map<std::string, std::string>& tokens, const QString& prefix,
                const QString& rcc, const QString& work, std::string& packed) {
    const QDir dir(work);
    if (!DrawArrow(QString::fromStdString(tokens.at("text")), dir.filePath("down.png")) ||
        !DrawArrow(QString::fromStdString(tokens.at("disabled_text")),
                   dir.filePath("down-disabled.png")))
        return false;
    QFile list(dir.filePath("images.qrc"));
    if (!list.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    list.write(QString("<RCC><qresource prefix=\"%1\">"
                       "<file>down.png</file><file>down-disabled.png</file>"
                       "</qresource></RCC>\n")
                   .arg(prefix)
                   .toUtf8());
    list.close();
    const QString output = dir.filePath("images.rcc");
    if (QProcess::execute(rcc, {"--binary", "--no-compress", "-o", output, list.fileName()}) != 0)
        return false;
    QFile result(output);
    if (!result.open(QIODevice::ReadOnly)) return false;
    packed = result.readAll().toStdString();
    return !packed.empty();
}

bool ReadText(const char* path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s sheet.qss aero.qss output.cpp rcc workdir\n", argv[0]);
        return 2;
    }
    const QString rcc = QString::fromLocal8Bit(argv[4]);
    const QString work = QString::fromLocal8Bit(argv[5]);
    QDir().mkpath(work);
    std::string sheetTemplate, aeroTemplate;
    if (!ReadText(argv[1], sheetTemplate) || !ReadText(argv[2], aeroTemplate)) {
        std::fprintf(stderr, "cannot read the sheet templates\n");
        return 1;
    }

    std::ostringstream out;
    out << "// Generated by generate_skin_table from app/skins; do not edit.\n"
        << "#include \"app/skin_table.h\"\n\nnamespace {\n";
    int number = 0;
    for (const Look& look : kLooks) {
        ++number;
        auto tokens = Colours(look);
        const QString prefix = QString("/tallovar-skin-%1").arg(number);
        tokens["arrow"] = (":" + prefix + "/down.png").toStdString();
        tokens["arrow_disabled"] = (":" + prefix + "/down-disabled.png").toStdString();
        SkinBlock block;
        if (!PackImages(tokens, prefix, rcc, work, block.resources)) {
            std::fprintf(stderr, "skin %d: cannot pack its images\n", number);
            return 1;
        }
        block.name = look.name;
        block.baseStyle = "Fusion";
        block.palette = Palette(tokens);
        if (!Fill(sheetTemplate, tokens, block.styleSheet) ||
            !Fill(aeroTemplate, tokens, block.aeroSheet)) {
            std::fprintf(stderr, "skin %d: a template has an unknown place\n", number);
            return 1;
        }
        const std::vector<unsigned char> bytes = WriteSkinBlock(block);
        out << "\n// " << number << ": " << look.name << "\nconst unsigned char kSkin" << number
            << "[" << bytes.size() << "] = {";
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            out << (i % 16 == 0 ? "\n    " : " ") << static_cast<int>(bytes[i]) << ",";
        }
        out << "\n};\n";
    }
    out << "\n}  // namespace\n\nconst SkinData SkinTable[kSkinCount] = {\n";
    for (int i = 1; i <= number; ++i) out << "    {kSkin" << i << ", sizeof kSkin" << i << "},\n";
    out << "};\n";

    std::ofstream file(argv[3], std::ios::binary | std::ios::trunc);
    file << out.str();
    file.close();
    if (!file) {
        std::fprintf(stderr, "cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
