// MainWindow as the user meets it: start-up state, layout, pictures taken in
// by dialog and by drop, and the size, key colour and tolerance options.

#include <QFileDialog>
#include <QColorDialog>
#include <QFontInfo>
#include <QTemporaryDir>
#include <QToolButton>

#include "icon/icon_layout.h"
#include "main_window_support.h"

using namespace yz;
using yz::test::Session;

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() { test::failOnUnexpectedWarnings(); }
    void cleanup() { test::stopWaiting(); }

    void startsInItsStartUpState();
    void layoutMatchesTheTable_data();
    void layoutMatchesTheTable();
    void stackingAndTabOrderFollowTheTable();
    void dropsFollowTheExtensionRule_data();
    void dropsFollowTheExtensionRule();
    void dropsOfTextAreRefused();
    void openDialogLoadsAndKeepsTheHint();
    void sizeBoxesFollowTheirTable_data();
    void sizeBoxesFollowTheirTable();
    void pickingAColourSetsTheKeyAndStopsAutomaticKeying();
    void sliderSetsLabelAndTolerance_data();
    void sliderSetsLabelAndTolerance();
};

void MainWindowTest::startsInItsStartUpState() {
    Session s;
    const AppState& state = s.state();
    QCOMPARE(state.tolerance, 35);
    QCOMPARE(state.iconSize, 48);
    QCOMPARE(state.headerTemplate, ByteBuffer(icon::iconHeader48.begin(), icon::iconHeader48.end()));
    QCOMPARE(state.maskTemplate, ByteBuffer(384, 0));
    QCOMPARE(state.keyColour, (icon::KeyColour{0, 0, 0}));
    QCOMPARE(state.editorFinished, 0);
    QVERIFY(state.pixelBuffer.empty());
    QVERIFY(state.iconBytes.empty());
    QVERIFY(state.snapshotBytes.empty());

    ui::MainWindow& w = s.window();
    QCOMPARE(w.windowTitle(), QStringLiteral("砚舟专用图标生成器"));
    QCOMPARE(w.size(), QSize(257, 353));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(w.acceptDrops());
    QVERIFY(w.选择框1->isChecked());
    QVERIFY(!w.选择框2->isChecked());
    QVERIFY(w.选择框3->isChecked());
    QCOMPARE(w.滑块条1->value(), 35);
    QCOMPARE(w.滑块条1->minimum(), 0);
    QCOMPARE(w.滑块条1->maximum(), 100);
    QCOMPARE(w.透明标签1->text(), QStringLiteral("35"));
    QCOMPARE(w.颜色选择器1->colour(), ui::colourRef(0, 0, 0));
    QVERIFY(w.图片框1->picture().empty());
    QVERIFY(w.图片框2->picture().empty());
    QVERIFY(w.透明标签2->isVisible());
    QVERIFY(!w.时钟1->isActive());
    QCOMPARE(w.通用对话框1.fileName(), QString());
    QVERIFY(!w.图片框1->hasBorder());
    QVERIFY(!w.图片框2->hasBorder());
}

void MainWindowTest::layoutMatchesTheTable_data() {
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    auto row = [](const char* name, const char* parent, int x, int y, int w, int h, const char* text) {
        QTest::newRow(name) << QString::fromUtf8(parent) << QRect(x, y, w, h) << QString::fromUtf8(text);
    };
    row("按钮2", "MainWindow", 184, 230, 64, 32, "修改");
    row("选择框3", "MainWindow", 147, 321, 104, 24, "自动去除背景色");
    row("标签1", "MainWindow", 8, 321, 72, 24, "去除背景色：");
    row("颜色选择器1", "MainWindow", 78, 321, 64, 24, "");
    row("分组框3", "MainWindow", 8, 259, 240, 56, "边缘细致程度");
    row("透明标签1", "分组框3", 80, 38, 72, 16, "35");
    row("滑块条1", "分组框3", 12, 26, 216, 16, "");
    row("选择框2", "MainWindow", 17, 235, 144, 24, "生成16X16尺寸ICO图片");
    row("选择框1", "MainWindow", 17, 204, 144, 24, "生成48X48尺寸ICO图片");
    row("分组框2", "MainWindow", 184, 88, 64, 64, "");
    row("图片框2", "分组框2", 8, 12, 48, 48, "");
    row("按钮打开", "MainWindow", 15, 160, 152, 32, "更换图片");
    row("分组框1", "MainWindow", 16, 2, 150, 150, "");
    row("透明标签2", "分组框1", 11, 60, 128, 40, "支持拖入图片");
    row("图片框1", "分组框1", 11, 15, 128, 128, "");
    row("按钮保存", "MainWindow", 184, 160, 64, 32, "保存");
    row("按钮1", "MainWindow", 184, 197, 64, 32, "生成");
}

void MainWindowTest::layoutMatchesTheTable() {
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    Session s;
    auto* control = s.window().findChild<QWidget*>(QString::fromUtf8(QTest::currentDataTag()));
    QVERIFY(control != nullptr);
    QCOMPARE(control->parentWidget()->objectName(), parent);
    QCOMPARE(control->geometry(), geometry);
    QVERIFY(control->isVisible());
    QVERIFY(s.window().rect().contains(control->mapTo(&s.window(), control->rect().bottomRight())));

    QString shown;
    int room = geometry.width();
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        shown = button->text();
        if (qobject_cast<QCheckBox*>(control)) room -= 18;  // the box and its gap
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        shown = label->text();
    } else if (auto* group = dynamic_cast<ui::GroupBox*>(control)) {
        shown = group->title();
    }
    QCOMPARE(shown, text);
    // The text fits on its one line.
    QVERIFY2(control->fontMetrics().horizontalAdvance(shown) <= room,
             qPrintable(QStringLiteral("%1 px for %2 px").arg(control->fontMetrics().horizontalAdvance(shown)).arg(room)));
}

void MainWindowTest::stackingAndTabOrderFollowTheTable() {
    Session s;
    ui::MainWindow& w = s.window();
    auto stackOf = [](QWidget* parent) {  // topmost first
        QStringList names;
        for (QObject* child : parent->children())
            if (child->isWidgetType() && !static_cast<QWidget*>(child)->isWindow()) names.prepend(child->objectName());
        return names;
    };
    QCOMPARE(stackOf(&w), (QStringList{"按钮2", "选择框3", "标签1", "颜色选择器1", "分组框3", "选择框2", "选择框1",
                                       "分组框2", "按钮打开", "分组框1", "按钮保存", "按钮1"}));
    QCOMPARE(stackOf(w.分组框1), (QStringList{"透明标签2", "图片框1"}));
    QCOMPARE(stackOf(w.分组框3), (QStringList{"透明标签1", "滑块条1"}));

    QStringList tabOrder;
    QWidget* at = w.按钮2;
    do {
        if (at->focusPolicy() & Qt::TabFocus) tabOrder << at->objectName();
        at = at->nextInFocusChain();
    } while (at != w.按钮2 && tabOrder.size() < 20);
    QCOMPARE(tabOrder, (QStringList{"按钮2", "选择框3", "颜色选择器1", "滑块条1", "选择框2", "选择框1", "按钮打开",
                                    "按钮保存", "按钮1"}));

    // Fonts and colours of the layout.
    QCOMPARE(w.透明标签2->font().pixelSize(), 20);
    QCOMPARE(w.透明标签2->font().weight(), QFont::Bold);
    QCOMPARE(QFontInfo(w.透明标签2->font()).family(), QStringLiteral("Noto Serif CJK SC"));
    QCOMPARE(w.透明标签1->font().pixelSize(), 12);
    QCOMPARE(w.透明标签1->font().weight(), QFont::Bold);
    QCOMPARE(w.透明标签1->palette().color(QPalette::WindowText), QColor(0, 136, 255));
    QCOMPARE(w.透明标签1->alignment(), Qt::AlignCenter);
    QCOMPARE(w.透明标签2->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
    QCOMPARE(w.标签1->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
    QCOMPARE(w.选择框1->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    QCOMPARE(w.选择框3->palette().color(QPalette::WindowText), QColor(96, 96, 96));
    QCOMPARE(w.标签1->palette().color(QPalette::WindowText), QColor(96, 96, 96));
    QCOMPARE(w.分组框3->palette().color(QPalette::WindowText), QColor(0, 136, 255));
    QCOMPARE(w.palette().color(QPalette::Window), QColor(0xF0, 0xF0, 0xF0));
    // No control takes drops itself, so Qt hands every drop to the window.
    for (QWidget* child : w.findChildren<QWidget*>()) QVERIFY2(!child->acceptDrops(), qPrintable(child->objectName()));
}

void MainWindowTest::dropsFollowTheExtensionRule_data() {
    QTest::addColumn<QStringList>("names");  // relative to a temporary folder
    QTest::addColumn<bool>("accepted");
    QTest::newRow("jpg") << QStringList{"图片.jpg"} << true;
    QTest::newRow("bmp") << QStringList{"picture.bmp"} << true;
    QTest::newRow("ico") << QStringList{"picture.ico"} << true;
    QTest::newRow("JPG") << QStringList{"picture.JPG"} << false;
    QTest::newRow("Jpg") << QStringList{"picture.Jpg"} << false;
    QTest::newRow("jpeg") << QStringList{"picture.jpeg"} << false;
    QTest::newRow("png") << QStringList{"picture.png"} << false;
    QTest::newRow("no dot") << QStringList{"picture"} << false;
    QTest::newRow("trailing dot") << QStringList{"picture."} << false;
    QTest::newRow("dot only in a folder") << QStringList{"folder.jpg/picture"} << false;
    QTest::newRow("two pictures") << QStringList{"one.jpg", "two.jpg"} << false;
}

void MainWindowTest::dropsFollowTheExtensionRule() {
    QFETCH(QStringList, names);
    QFETCH(bool, accepted);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.jpg")));
    const ByteBuffer picture = test::framedPicture(16, qRgb(255, 255, 255), qRgb(200, 0, 0));
    QStringList paths;
    for (const QString& name : names) {
        paths << dir.filePath(name);
        QVERIFY(test::writeFile(paths.back(), picture));
    }
    Session s;
    ui::MainWindow& w = s.window();
    std::unique_ptr<QMimeData> data(test::filesData(paths));
    auto seen = accepted ? nullptr : test::pressOkOnMessages();
    // Dropped over a button, not over the picture: the window takes it.
    QVERIFY(test::dragAndDrop(w.按钮1, *data));
    if (accepted) {
        QTRY_VERIFY(w.透明标签2->isHidden());
        QCOMPARE(w.图片框1->picture(), picture);
    } else {
        QTRY_COMPARE(seen->size(), 1u);
        QCOMPARE(seen->at(0).text, QStringLiteral("该文件不是图片文件或暂不支持该格式图片"));
        QCOMPARE(seen->at(0).title, QStringLiteral("信息："));
        QVERIFY(seen->at(0).plain);
        QVERIFY(w.图片框1->picture().empty());
        QVERIFY(w.透明标签2->isVisible());
    }
}

void MainWindowTest::dropsOfTextAreRefused() {
    Session s;
    ui::MainWindow& w = s.window();
    QMimeData text;
    text.setText(QStringLiteral("/tmp/picture.jpg"));
    QMimeData link;
    link.setUrls({QUrl(QStringLiteral("https://example.org/picture.jpg"))});
    QVERIFY(!test::dragAndDrop(w.图片框1, text));
    QVERIFY(!test::dragAndDrop(w.图片框1, link));

    // An accepted name whose file cannot be read: the picture becomes empty
    // and the hint goes all the same.
    QTemporaryDir dir;
    std::unique_ptr<QMimeData> missing(test::filesData({dir.filePath(QStringLiteral("gone.bmp"))}));
    QVERIFY(test::dragAndDrop(w.分组框3, *missing));
    QTRY_VERIFY(w.透明标签2->isHidden());
    QVERIFY(w.图片框1->picture().empty());
}

void MainWindowTest::openDialogLoadsAndKeepsTheHint() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("source.bmp"));
    const ByteBuffer picture = test::framedPicture(16, qRgb(0, 0, 255), qRgb(255, 255, 0));
    QVERIFY(test::writeFile(path, picture));
    Session s;
    ui::MainWindow& w = s.window();

    auto offered = test::answerFileDialog(QString());
    QTest::mouseClick(w.按钮打开, Qt::LeftButton);
    QVERIFY(w.图片框1->picture().empty());
    QCOMPARE(w.通用对话框1.fileName(), QString());

    test::answerFileDialog(path);
    QTest::mouseClick(w.按钮打开, Qt::LeftButton);
    QCOMPARE(w.图片框1->picture(), picture);
    QVERIFY(w.透明标签2->isVisible());
    QCOMPARE(w.通用对话框1.fileName(), path);

    // Cancelled later: the picture stays, and the dialog offered the last
    // chosen name.
    offered = test::answerFileDialog(QString());
    QTest::mouseClick(w.按钮打开, Qt::LeftButton);
    QCOMPARE(*offered, path);
    QCOMPARE(w.图片框1->picture(), picture);
}

void MainWindowTest::sizeBoxesFollowTheirTable_data() {
    QTest::addColumn<bool>("before48");
    QTest::addColumn<bool>("before16");
    QTest::addColumn<int>("click");
    QTest::addColumn<bool>("after48");
    QTest::addColumn<bool>("after16");
    QTest::addColumn<int>("size");
    QTest::newRow("48 on, click 48") << true << false << 48 << false << false << 48;
    QTest::newRow("48 on, click 16") << true << false << 16 << false << true << 16;
    QTest::newRow("16 on, click 48") << false << true << 48 << true << false << 48;
    QTest::newRow("16 on, click 16") << false << true << 16 << false << false << 16;
    QTest::newRow("none, click 48") << false << false << 48 << true << false << 48;
    QTest::newRow("none, click 16") << false << false << 16 << false << true << 16;
}

void MainWindowTest::sizeBoxesFollowTheirTable() {
    QFETCH(bool, before48);
    QFETCH(bool, before16);
    QFETCH(int, click);
    QFETCH(bool, after48);
    QFETCH(bool, after16);
    QFETCH(int, size);
    Session s;
    ui::MainWindow& w = s.window();
    // The size in force beforehand is the other one, so the click shows.
    selectIconSize(s.state(), click == 48 ? 16 : 48);
    w.选择框1->setChecked(before48);
    w.选择框2->setChecked(before16);
    QCheckBox* clicked = click == 48 ? w.选择框1 : w.选择框2;
    QTest::mouseClick(clicked, Qt::LeftButton, {}, QPoint(8, clicked->height() / 2));
    QCOMPARE(w.选择框1->isChecked(), after48);
    QCOMPARE(w.选择框2->isChecked(), after16);
    QCOMPARE(s.state().iconSize, size);
    QCOMPARE(s.state().headerTemplate, icon::headerTemplateFor(size));
    QCOMPARE(s.state().maskTemplate, icon::maskTemplateFor(size));
}

void MainWindowTest::pickingAColourSetsTheKeyAndStopsAutomaticKeying() {
    Session s;
    ui::MainWindow& w = s.window();
    QTest::mouseClick(w.颜色选择器1, Qt::LeftButton);
    QWidget* popup = QApplication::activePopupWidget();
    QVERIFY(popup != nullptr);
    QTest::mouseClick(popup->findChild<QToolButton*>(QStringLiteral("swatchFF0000")), Qt::LeftButton);
    QCOMPARE(s.state().keyColour, (icon::KeyColour{0, 0, 255}));
    QVERIFY(!w.选择框3->isChecked());

    // Checking automatic keying again is the user's; it stays until a pick.
    QTest::mouseClick(w.选择框3, Qt::LeftButton, {}, QPoint(8, 12));
    QVERIFY(w.选择框3->isChecked());

    test::whenModal<QColorDialog>([](QColorDialog* dialog) {
        dialog->setCurrentColor(QColor(255, 128, 0));
        dialog->accept();
    });
    QTest::mouseClick(w.颜色选择器1, Qt::LeftButton);
    QTest::mouseClick(QApplication::activePopupWidget()->findChild<QPushButton*>(QStringLiteral("otherColours")),
                      Qt::LeftButton);
    QTRY_COMPARE(s.state().keyColour, (icon::KeyColour{0, 128, 255}));
    QVERIFY(!w.选择框3->isChecked());
}

void MainWindowTest::sliderSetsLabelAndTolerance_data() {
    QTest::addColumn<int>("key");  // 0: set to 35 after moving away
    QTest::addColumn<int>("expected");
    QTest::newRow("Home") << int(Qt::Key_Home) << 0;
    QTest::newRow("End") << int(Qt::Key_End) << 100;
    QTest::newRow("back to 35") << 0 << 35;
}

void MainWindowTest::sliderSetsLabelAndTolerance() {
    QFETCH(int, key);
    QFETCH(int, expected);
    Session s;
    ui::MainWindow& w = s.window();
    w.滑块条1->setFocus();
    if (key != 0) {
        QTest::keyClick(w.滑块条1, static_cast<Qt::Key>(key));
    } else {
        QTest::keyClick(w.滑块条1, Qt::Key_Left);
        QCOMPARE(s.state().tolerance, 34);
        QTest::keyClick(w.滑块条1, Qt::Key_Right);
    }
    QCOMPARE(w.滑块条1->value(), expected);
    QCOMPARE(w.透明标签1->text(), QString::number(expected));
    QCOMPARE(s.state().tolerance, expected);
}

YZ_UI_TEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
