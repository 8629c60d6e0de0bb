#pragma once

// The pixel editor: the icon enlarged five times in a 240x240 picture box, a
// palette of fourteen colours, a colour picker, the transparent mode, undo,
// and the hand-back to the main window on "完成". The painting itself is in
// painting.h; the handlers here only choose the drawing colour.

#include <QWidget>

#include "app/app_state.h"
#include "ui/controls/colours.h"

class QListWidget;
class QPushButton;
class QTimer;

namespace yz::ui {
class CheckBox;
class ColourPicker;
class HyperlinkLabel;
class Label;
class PictureBox;
}  // namespace yz::ui

namespace yz::editor {

class EditorWindow : public QWidget {
    Q_OBJECT

public:
    // app and editor are the program-lifetime records; both must outlive
    // the window.
    EditorWindow(AppState& app, EditorState& editor);

    AppState& app() { return app_; }
    EditorState& editorState() { return editor_; }

    // The drawing colour is the cursor label's background: 0x00BBGGRR, or
    // kDefaultColour, which it paints in the button face.
    ui::ColourRef drawingColour() const;
    void setDrawingColour(ui::ColourRef colour);

    ui::PictureBox* 图片框1 = nullptr;
    ui::Label* 标签1 = nullptr;
    ui::Label* 标签左1 = nullptr;
    ui::Label* 标签左2 = nullptr;
    ui::Label* 标签左3 = nullptr;
    ui::Label* 标签左4 = nullptr;
    ui::Label* 标签左5 = nullptr;
    ui::Label* 标签左6 = nullptr;
    ui::Label* 标签左7 = nullptr;
    ui::Label* 标签右1 = nullptr;
    ui::Label* 标签右2 = nullptr;
    ui::Label* 标签右3 = nullptr;
    ui::Label* 标签右4 = nullptr;
    ui::Label* 标签右5 = nullptr;
    ui::Label* 标签右6 = nullptr;
    ui::Label* 标签右7 = nullptr;
    QPushButton* 按钮1 = nullptr;
    QPushButton* 按钮2 = nullptr;
    ui::CheckBox* 选择框1 = nullptr;
    ui::ColourPicker* 颜色选择器1 = nullptr;
    ui::HyperlinkLabel* 超级链接框1 = nullptr;
    QListWidget* 列表框1 = nullptr;
    QListWidget* 列表框2 = nullptr;
    QListWidget* 列表框3 = nullptr;
    // Part of the layout but idle: it is never started and nothing listens.
    QTimer* 时钟1 = nullptr;

private:
    void createPalette();
    void choosePaletteColour(ui::ColourRef colour);
    void finishEditor();

    AppState& app_;
    EditorState& editor_;
};

}  // namespace yz::editor
