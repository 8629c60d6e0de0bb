#pragma once

// The program's look (style, palette, fonts) and its settings-free run. The
// program and the tests call setUpApplication() once, before creating any
// window, so that what a picture box displays (and therefore what "生成"
// captures) is the same everywhere.

#include <QFont>

class QApplication;

namespace yz::ui {

// Fusion style (the same look on every desktop), the button-face colour as
// the background of windows and buttons, the default control font; and no
// settings file: Qt's own dialogs would otherwise read and write their
// history in the user's configuration, and the program keeps nothing
// between runs.
void setUpApplication(QApplication& app);

// The font of controls that have none of their own: a Hei-style face 12
// pixels high, the size of the classic default GUI font.
QFont defaultGuiFont();

// Stand-ins for "宋体" (a Song-style serif face) and "黑体" (a Hei-style sans
// face), at the pixel height and weight asked for; the installed Noto CJK SC
// faces are preferred, any CJK face of the same style otherwise.
QFont songFont(int pixelHeight, bool bold);
QFont heiFont(int pixelHeight, bool bold);

}  // namespace yz::ui
