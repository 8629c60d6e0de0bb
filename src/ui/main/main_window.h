#pragma once

// MainWindow: where the user takes a picture in, chooses the size and the
// background settings, generates the icon, opens the editor and saves.
//
// The window works directly on the program's one AppState and EditorState,
// which it is given and does not own. Its controls are public and carry the
// names of the layout, as C++ names and as Qt objectNames, so that the
// editor and the tests reach them as the handlers do.

#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "app/app_state.h"
#include "ui/controls/buttons.h"
#include "ui/controls/colour_picker.h"
#include "ui/controls/file_dialog.h"
#include "ui/controls/file_drop_target.h"
#include "ui/controls/group_box.h"
#include "ui/controls/labels.h"
#include "ui/controls/picture_box.h"

namespace yz::ui {

class MainWindow : public QWidget {
public:
    // The layout gives the outer size of a classic fixed-frame window,
    // 263 x 381 with frame and title bar. Such a frame is 3 pixels on every
    // side and its caption 22 pixels high, which leaves a client area of
    // 257 x 353: every control of the layout lies inside it (the lowest,
    // 选择框3, ends at y 345; the rightmost, 选择框3 too, at x 251).
    static constexpr int kOuterWidth = 263;
    static constexpr int kOuterHeight = 381;
    static constexpr int kClientWidth = 257;
    static constexpr int kClientHeight = 353;

    MainWindow(AppState& state, EditorState& editorState, QWidget* parent = nullptr);

    AppState& state() { return state_; }
    EditorState& editorState() { return editorState_; }

    // Places the window so that its outer rectangle is centred on the
    // available area of its screen.
    void centreOnScreen();

    // Handlers, one per control event.
    void openPicture();
    void dropPicture(const QString& paths);
    void clickSize48();
    void clickSize16();
    void pickKeyColour();
    void changeTolerance();
    void generateIcon();
    void saveIcon();

    // The editor's side of "修改" and of the one-second timer 时钟1: set by
    // whoever provides the editor. Unset, they do nothing.
    std::function<void()> onEditClicked;
    std::function<void()> onClockTick;
    // Raised when the window closes (close box, system menu or Esc), before
    // it goes away.
    std::function<void()> onClosing;

    // The controls, topmost first among those sharing a parent.
    QPushButton* 按钮2 = nullptr;
    CheckBox* 选择框3 = nullptr;
    Label* 标签1 = nullptr;
    ColourPicker* 颜色选择器1 = nullptr;
    GroupBox* 分组框3 = nullptr;
    TransparentLabel* 透明标签1 = nullptr;
    Slider* 滑块条1 = nullptr;
    CheckBox* 选择框2 = nullptr;
    CheckBox* 选择框1 = nullptr;
    GroupBox* 分组框2 = nullptr;
    PictureBox* 图片框2 = nullptr;
    QPushButton* 按钮打开 = nullptr;
    GroupBox* 分组框1 = nullptr;
    TransparentLabel* 透明标签2 = nullptr;
    PictureBox* 图片框1 = nullptr;
    QPushButton* 按钮保存 = nullptr;
    QPushButton* 按钮1 = nullptr;
    QTimer* 时钟1 = nullptr;
    FileDialog 通用对话框1;
    FileDropTarget* 拖放对象1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void connectHandlers();
    // The snapshot of 图片框1's whole outer rectangle as displayed, hint
    // included while it is shown, reduced to size x size.
    ByteBuffer snapshotOfSourceBox(int size);

    AppState& state_;
    EditorState& editorState_;
};

}  // namespace yz::ui
