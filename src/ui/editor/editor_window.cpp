#include "ui/editor/editor_window.h"

#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include "ui/controls/buttons.h"
#include "ui/controls/colour_picker.h"
#include "ui/controls/hyperlink_label.h"
#include "ui/controls/labels.h"
#include "ui/controls/picture_box.h"
#include "ui/editor/help_window.h"
#include "ui/editor/painting.h"
#include "ui/editor/tool_window.h"

namespace yz::editor {

namespace {

struct PaletteEntry {
    ui::Label* EditorWindow::*label;
    const char* name;
    int x;
    int y;
    ui::ColourRef colour;
};

using ui::colourRef;

// The last row differs between the columns (y 150 on the left, 148 on the
// right); that is how the window has always looked.
const PaletteEntry kPalette[] = {
    {&EditorWindow::标签左1, "标签左1", 11, 16, colourRef(255, 0, 0)},
    {&EditorWindow::标签左2, "标签左2", 11, 38, colourRef(255, 128, 0)},
    {&EditorWindow::标签左3, "标签左3", 11, 60, colourRef(255, 255, 0)},
    {&EditorWindow::标签左4, "标签左4", 11, 82, colourRef(0, 128, 0)},
    {&EditorWindow::标签左5, "标签左5", 11, 104, colourRef(0, 0, 255)},
    {&EditorWindow::标签左6, "标签左6", 11, 126, colourRef(255, 255, 255)},
    {&EditorWindow::标签左7, "标签左7", 11, 150, colourRef(0, 0, 0)},
    {&EditorWindow::标签右1, "标签右1", 288, 16, colourRef(128, 0, 0)},
    {&EditorWindow::标签右2, "标签右2", 288, 38, colourRef(192, 96, 0)},
    {&EditorWindow::标签右3, "标签右3", 288, 60, colourRef(216, 216, 0)},
    {&EditorWindow::标签右4, "标签右4", 288, 82, colourRef(0, 255, 0)},
    {&EditorWindow::标签右5, "标签右5", 288, 104, colourRef(0, 136, 255)},
    {&EditorWindow::标签右6, "标签右6", 288, 126, colourRef(192, 192, 192)},
    {&EditorWindow::标签右7, "标签右7", 288, 148, colourRef(128, 128, 128)},
};

template <class Widget>
Widget* place(Widget* widget, const char* name, int x, int y, int width, int height) {
    widget->setObjectName(QString::fromUtf8(name));
    widget->setGeometry(x, y, width, height);
    return widget;
}

// The history lists sit to the right of the client area, where they are
// never seen; they hold the history and nothing else.
QListWidget* historyList(QWidget* parent, const char* name, int x) {
    auto* list = place(new QListWidget(parent), name, x, 16, 112, 288);
    list->setSortingEnabled(false);
    list->setFocusPolicy(Qt::NoFocus);
    return list;
}

}  // namespace

EditorWindow::EditorWindow(AppState& app, EditorState& editor) : app_(app), editor_(editor) {
    setObjectName(QStringLiteral("EditorWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("砚舟"));
    makeToolWindow(*this, QSize(322, 346), true);

    图片框1 = place(new ui::PictureBox(this), "图片框1", 37, 8, 240, 240);
    图片框1->setBorder(true);
    createPalette();

    按钮1 = place(new QPushButton(QStringLiteral("撤销"), this), "按钮1", 37, 253, 80, 32);
    按钮2 = place(new QPushButton(QStringLiteral("完成"), this), "按钮2", 197, 253, 80, 32);
    选择框1 = place(new ui::CheckBox(QStringLiteral("透明色"), this), "选择框1", 128, 262, 64, 16);
    选择框1->setTextColour(QColor(0, 136, 255));
    选择框1->setChecked(true);
    颜色选择器1 = place(new ui::ColourPicker(this), "颜色选择器1", 126, 283, 64, 24);
    颜色选择器1->setColour(colourRef(0, 0, 0));
    超级链接框1 = place(new ui::HyperlinkLabel(QStringLiteral("操作说明"), this), "超级链接框1", 206, 293, 96, 16);
    超级链接框1->setColours(QColor(0, 0, 255), QColor(128, 0, 0), QColor(49, 106, 197));

    列表框1 = historyList(this, "列表框1", 368);
    列表框2 = historyList(this, "列表框2", 488);
    列表框3 = historyList(this, "列表框3", 608);

    时钟1 = new QTimer(this);
    时钟1->setObjectName(QStringLiteral("时钟1"));

    // Created last so that it lies above the picture and the palette.
    标签1 = place(new ui::Label(QString(), this), "标签1", 288, 88, 16, 16);
    标签1->setBorder(ui::Label::Border::None);
    标签1->setBackgroundColour(ui::kDefaultColour);
    标签1->raise();

    connect(图片框1, &ui::PictureBox::mouseMoved, this, [this](int x, int y) { snapCursor(*this, x, y); });
    connect(图片框1, &ui::PictureBox::leftPressed, this, [this] { paintCell(*this); });
    connect(图片框1, &ui::PictureBox::rightPressed, this, [this] { undoEdit(*this); });
    connect(标签1, &ui::Label::leftPressed, this, [this] { paintCell(*this); });
    connect(标签1, &ui::Label::rightPressed, this, [this] { undoEdit(*this); });
    connect(按钮1, &QPushButton::clicked, this, [this] { undoEdit(*this); });
    connect(按钮2, &QPushButton::clicked, this, &EditorWindow::finishEditor);
    connect(颜色选择器1, &ui::ColourPicker::colourPicked, this,
            [this](quint32 colour) { choosePaletteColour(colour); });
    // The box has already toggled when clicked arrives; either way the
    // drawing colour goes back to the default, so checking and then
    // unchecking the box does not bring a chosen colour back.
    connect(选择框1, &QCheckBox::clicked, this, [this] { setDrawingColour(ui::kDefaultColour); });
    connect(超级链接框1, &ui::HyperlinkLabel::leftPressed, this, [] { openHelp(); });

    // The window-created step: show the icon as it stands, then shrink the
    // cursor to its first size, where it waits for the mouse.
    图片框1->setPicture(app_.iconBytes);
    标签1->resize(5, 标签1->height());
    标签1->resize(标签1->width(), 5);
}

void EditorWindow::createPalette() {
    for (const PaletteEntry& entry : kPalette) {
        ui::Label* label = place(new ui::Label(QString(), this), entry.name, entry.x, entry.y, 16, 16);
        label->setBorder(ui::Label::Border::Single);
        label->setBackgroundColour(entry.colour);
        connect(label, &ui::Label::leftPressed, this,
                [this, label] { choosePaletteColour(label->backgroundColour()); });
        this->*entry.label = label;
    }
}

ui::ColourRef EditorWindow::drawingColour() const { return 标签1->backgroundColour(); }

void EditorWindow::setDrawingColour(ui::ColourRef colour) { 标签1->setBackgroundColour(colour); }

void EditorWindow::choosePaletteColour(ui::ColourRef colour) {
    setDrawingColour(colour);
    // From the program: the box raises no click, so the colour just set
    // stays.
    选择框1->setChecked(false);
}

void EditorWindow::finishEditor() {
    app_.editorFinished = 1;
    // The window goes once the click has been handled; the main window's
    // timer picks the icon up at its next tick.
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

}  // namespace yz::editor
