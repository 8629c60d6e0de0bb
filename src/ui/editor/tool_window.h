#pragma once

// The frame shared by the editor and its help window: a fixed-size top-level
// window with no owner, no maximise button and no taskbar button, centred on
// the screen, closed by Esc.

#include <QSize>

class QWidget;

namespace yz::editor {

// The non-client parts of a fixed, captioned frame: the outer sizes of the
// window layouts include them, Qt's sizes do not.
inline constexpr int kFrameBorder = 3;
inline constexpr int kCaptionHeight = 22;

inline constexpr QSize clientSizeFor(QSize outer) {
    return {outer.width() - 2 * kFrameBorder, outer.height() - 2 * kFrameBorder - kCaptionHeight};
}

// Sets flags, fixed client size, the Esc shortcut and the taskbar hint on a
// window that has not been shown yet. withMinimise adds the minimise button.
void makeToolWindow(QWidget& window, QSize outerSize, bool withMinimise);

// Centres a window that is about to be shown on the screen it will appear on.
void centreOnScreen(QWidget& window);

}  // namespace yz::editor
