#include "ui/main/main_window.h"

#include <QCloseEvent>
#include <QScreen>
#include <QShortcut>

#include "ui/controls/look.h"

namespace yz::ui {

namespace {

template <class Control>
Control* place(Control* control, const char* name, int x, int y, int width, int height) {
    control->setObjectName(QString::fromUtf8(name));
    control->setGeometry(x, y, width, height);
    return control;
}

const QColor kGreyText(96, 96, 96);
const QColor kBlueText(0, 136, 255);
const QColor kGreenText(0, 128, 0);

}  // namespace

MainWindow::MainWindow(AppState& state, EditorState& editorState, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      state_(state),
      editorState_(editorState) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("砚舟专用图标生成器"));
    setFixedSize(kClientWidth, kClientHeight);
    createControls();
    connectHandlers();
}

// Qt stacks a later sibling above an earlier one, so the controls are made
// from the bottom of the layout's stacking order up.
void MainWindow::createControls() {
    按钮1 = place(new QPushButton(QStringLiteral("生成"), this), "按钮1", 184, 197, 64, 32);
    按钮保存 = place(new QPushButton(QStringLiteral("保存"), this), "按钮保存", 184, 160, 64, 32);

    分组框1 = place(new GroupBox(QString(), this), "分组框1", 16, 2, 150, 150);
    图片框1 = place(new PictureBox(分组框1), "图片框1", 11, 15, 128, 128);
    透明标签2 = place(new TransparentLabel(QStringLiteral("支持拖入图片"), 分组框1), "透明标签2", 11, 60, 128, 40);
    透明标签2->setFont(songFont(20, true));
    透明标签2->setTextColour(Qt::black);
    透明标签2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    按钮打开 = place(new QPushButton(QStringLiteral("更换图片"), this), "按钮打开", 15, 160, 152, 32);

    分组框2 = place(new GroupBox(QString(), this), "分组框2", 184, 88, 64, 64);
    图片框2 = place(new PictureBox(分组框2), "图片框2", 8, 12, 48, 48);

    选择框1 = place(new CheckBox(QStringLiteral("生成48X48尺寸ICO图片"), this), "选择框1", 17, 204, 144, 24);
    选择框1->setTextColour(kGreenText);
    选择框1->setChecked(true);
    选择框2 = place(new CheckBox(QStringLiteral("生成16X16尺寸ICO图片"), this), "选择框2", 17, 235, 144, 24);
    选择框2->setTextColour(kGreenText);

    分组框3 = place(new GroupBox(QStringLiteral("边缘细致程度"), this), "分组框3", 8, 259, 240, 56);
    分组框3->setTitleColour(kBlueText);
    分组框3->setTitleAlignment(Qt::AlignHCenter);
    滑块条1 = place(new Slider(0, 100, 分组框3), "滑块条1", 12, 26, 216, 16);
    滑块条1->setValue(35);
    透明标签1 = place(new TransparentLabel(QStringLiteral("35"), 分组框3), "透明标签1", 80, 38, 72, 16);
    透明标签1->setFont(songFont(12, true));
    透明标签1->setTextColour(kBlueText);
    透明标签1->setAlignment(Qt::AlignCenter);

    颜色选择器1 = place(new ColourPicker(this), "颜色选择器1", 78, 321, 64, 24);
    颜色选择器1->setColour(colourRef(0, 0, 0));

    标签1 = place(new Label(QStringLiteral("去除背景色："), this), "标签1", 8, 321, 72, 24);
    标签1->setTextColour(kGreyText);
    标签1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    选择框3 = place(new CheckBox(QStringLiteral("自动去除背景色"), this), "选择框3", 147, 321, 104, 24);
    选择框3->setTextColour(kGreyText);
    选择框3->setChecked(true);

    按钮2 = place(new QPushButton(QStringLiteral("修改"), this), "按钮2", 184, 230, 64, 32);

    时钟1 = new QTimer(this);
    时钟1->setObjectName(QStringLiteral("时钟1"));
    拖放对象1 = new FileDropTarget(this);
    拖放对象1->setObjectName(QStringLiteral("拖放对象1"));

    // Tab stops in the order of the layout, topmost first.
    QWidget* const tabStops[] = {按钮2,    选择框3, 颜色选择器1, 滑块条1, 选择框2,
                                 选择框1, 按钮打开, 按钮保存,    按钮1};
    for (QWidget* stop : tabStops) stop->setFocusPolicy(Qt::StrongFocus);
    for (std::size_t i = 0; i + 1 < std::size(tabStops); ++i) setTabOrder(tabStops[i], tabStops[i + 1]);

    // Esc closes the window like its close box.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void MainWindow::connectHandlers() {
    connect(按钮打开, &QPushButton::clicked, this, [this] { openPicture(); });
    connect(拖放对象1, &FileDropTarget::filesDropped, this, [this](const QString& paths) { dropPicture(paths); });
    connect(选择框1, &QCheckBox::clicked, this, [this] { clickSize48(); });
    connect(选择框2, &QCheckBox::clicked, this, [this] { clickSize16(); });
    connect(颜色选择器1, &ColourPicker::colourPicked, this, [this] { pickKeyColour(); });
    connect(滑块条1, &QSlider::valueChanged, this, [this] { changeTolerance(); });
    connect(按钮1, &QPushButton::clicked, this, [this] { generateIcon(); });
    connect(按钮保存, &QPushButton::clicked, this, [this] { saveIcon(); });
    connect(按钮2, &QPushButton::clicked, this, [this] {
        if (onEditClicked) onEditClicked();
    });
    connect(时钟1, &QTimer::timeout, this, [this] {
        if (onClockTick) onClockTick();
    });
}

void MainWindow::centreOnScreen() {
    const QScreen* screen = this->screen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - kOuterWidth) / 2, area.y() + (area.height() - kOuterHeight) / 2);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (onClosing) onClosing();
}

}  // namespace yz::ui
