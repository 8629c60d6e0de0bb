#pragma once

#include <QString>

namespace yz::ui {

// The one way the program tells the user something: a box with the given
// text, an OK button only, no icon and the caption "信息：", owned by no
// window and modal to the whole application. Returns when OK is pressed (or
// the box is closed).
void showMessage(const QString& text);

}  // namespace yz::ui
