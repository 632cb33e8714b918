#pragma once
// What the three windows share about their frames: the default GUI font, the
// outer size and centred start position of a design, and labels that show
// their whole caption.

class QWidget;

// Noto Sans CJK SC at 9 pt, the face and size the designs are drawn for.
void ApplyDefaultGuiFont();
// Qt's own texts (context menus of edit boxes, standard buttons, the folder
// chooser) in Chinese, for as long as the application lives.
void InstallChineseQtTexts();

// Gives a top-level window its design's outer size (frame included where the
// platform draws one) and centres it on its screen, halves truncated.
void PlaceWindowCentred(QWidget* window, int outerWidth, int outerHeight, bool fixedSize);

// A label whose caption is wider than its design width is widened to the
// caption (left, top and height stay), so no caption is ever cut.
void FitLabelsToCaptions(QWidget* window);
