#pragma once
// What the three windows share about their frames: the default GUI font, the
// outer size and centred start position of a design, and labels that show
// their whole caption.

class QWidget;

// Noto Sans CJK SC at 9 pt, the face and size the designs are drawn for.
void ApplyDefaultGuiFont();
// Qt's own texts (context menus of edit boxes, standard buttons, the file and
// folder choosers, the calendar's day and month names) in Chinese whatever
// the system's language, for as long as the application lives.
void InstallChineseQtTexts();

// Shows a top-level window with its design's outer size, frame and title bar
// included, centred on its screen (halves truncated), the outer frame's top
// left at the centred place. Where no frame is drawn (offscreen, X without a
// window manager) the window itself has the design size. A window manager
// reports its frame only once it has taken the window on; the window is then
// sized and placed again, once, for that frame.
void ShowInDesignFrame(QWidget* window, int outerWidth, int outerHeight, bool fixedSize);

// Labels draw like static text: the caption starts at the top left of the
// label's box, and a label whose caption is wider than its design width is
// widened to the caption (left, top and height stay), so no caption is cut.
void ShowLabelsAsStaticText(QWidget* window);
