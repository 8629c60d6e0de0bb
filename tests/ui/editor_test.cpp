// The pixel editor on real windows: which bytes a press changes, the history
// and its undo, the hand-back to the main window, the help window, and the
// cases where the pixels being edited change size under the open editor.

#include <QImage>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "app/app_state.h"
#include "icon/icon_layout.h"
#include "imaging/render.h"
#include "ui/controls/buttons.h"
#include "ui/controls/colour_picker.h"
#include "ui/controls/hyperlink_label.h"
#include "ui/controls/labels.h"
#include "ui/controls/picture_box.h"
#include "ui/editor/editor_window.h"
#include "ui/editor/hand_back.h"
#include "ui/editor/help_window.h"
#include "ui_test_support.h"

using namespace yz;
using editor::EditorWindow;

namespace {

// A generated icon whose every pixel is opaque and different from its
// neighbours (red follows the column, green the row), so a write that lands
// on the wrong pixel shows.
void generate(AppState& app, int size) {
    selectIconSize(app, size);
    imaging::RgbImage picture(size, size, {0, 0, 0});
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            std::uint8_t* p = picture.rgb.data() + (static_cast<std::size_t>(y) * size + x) * 3;
            p[0] = static_cast<std::uint8_t>(x * 5 + 1);
            p[1] = static_cast<std::uint8_t>(y * 5 + 2);
            p[2] = 77;
        }
    app.tolerance = 0;  // keeps every pixel opaque
    QVERIFY(storeGeneration(app, imaging::snapshotBmp(picture), false));
}

// Client position of the middle of cell (column, row), counted from 1.
QPoint cellCentre(int gridSize, int column, int row) {
    const int cell = 240 / gridSize;
    return {(column - 1) * cell + cell / 2, (row - 1) * cell + cell / 2};
}

// The mouse moves onto the cell, then the left button is pressed there.
void moveTo(EditorWindow& window, int gridSize, int column, int row) {
    const QPoint at = cellCentre(gridSize, column, row) + window.图片框1->clientRect().topLeft();
    QTest::mouseMove(window.图片框1, at);
}

void pressCell(EditorWindow& window, int gridSize, int column, int row) {
    moveTo(window, gridSize, column, row);
    const QPoint at = cellCentre(gridSize, column, row) + window.图片框1->clientRect().topLeft();
    QTest::mouseClick(window.图片框1, Qt::LeftButton, {}, at);
}

std::array<std::uint8_t, 4> pixelAt(const AppState& app, std::size_t firstByte) {
    return {app.pixelBuffer[firstByte], app.pixelBuffer[firstByte + 1], app.pixelBuffer[firstByte + 2],
            app.pixelBuffer[firstByte + 3]};
}

using Bgra = std::array<std::uint8_t, 4>;

}  // namespace

class TestEditor : public QObject {
    Q_OBJECT

    AppState app;
    EditorState editorState;
    QPointer<EditorWindow> window;

    EditorWindow& openOn(int size) {
        generate(app, size);
        window = new EditorWindow(app, editorState);
        window->show();
        return *window;
    }

    void undoByButton() { QTest::mouseClick(window->按钮1, Qt::LeftButton); }

private slots:
    void init() {
        test::failOnUnexpectedWarnings();
        app = AppState{};
        editorState = EditorState{};
    }
    void cleanup() {
        delete window;
        QTest::qWait(0);
    }

    void freshWindowIsInTransparentMode();
    void cellMapping_data();
    void cellMapping();
    void cursorFollowsTheGrid_data();
    void cursorFollowsTheGrid();
    void historyItemsHoldTheOldPixel();
    void sameCellTwiceThenTwoUndos();
    void threeCellsThenThreeUndosAndAMessage();
    void eraseThenUndoRestoresAlpha();
    void paintedTransparentPixelComesBackOnUndo();
    void defaultColourWritesOpaqueBlack();
    void rightPressesUndo();
    void paletteAndPickerChooseTheColour();
    void sizeSwitchThenEditGivesAValidIcon_data();
    void sizeSwitchThenEditGivesAValidIcon();
    void smallerGenerationUnderTheOpenEditor();
    void handBackOnFinish();
    void escapeHandsNothingBackAndReopeningKeepsTheEdits();
    void secondModifyKeepsTheOpenEditor();
    void modifyWithoutIconOnlySaysSo();
    void oneHelpWindowAtMost();
};

// The window as it opens: transparent mode, the default colour, the cursor
// 5x5 at its place in the layout, the history lists out of sight.
void TestEditor::freshWindowIsInTransparentMode() {
    EditorWindow& w = openOn(48);
    QCOMPARE(w.windowTitle(), QStringLiteral("砚舟"));
    QCOMPARE(w.size(), QSize(316, 318));  // 322 x 346 with the frame
    QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(w.选择框1->isChecked());
    QCOMPARE(w.drawingColour(), ui::kDefaultColour);
    QCOMPARE(w.标签1->geometry(), QRect(288, 88, 5, 5));
    QCOMPARE(w.图片框1->picture(), app.iconBytes);
    for (QWidget* child : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QListWidget*>(child))
            QVERIFY2(!w.rect().intersects(child->geometry()), qPrintable(child->objectName()));
        else
            QVERIFY2(w.rect().contains(child->geometry()), qPrintable(child->objectName()));
    }
    QCOMPARE(w.列表框3->count(), 0);
}

// A press changes exactly the four bytes of the pixel under the mouse, at
// both icon sizes: the four corners and one inner cell.
void TestEditor::cellMapping_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("firstByte");
    QTest::newRow("48 top-left") << 48 << 1 << 1 << 9024;
    QTest::newRow("48 top-right") << 48 << 48 << 1 << 9212;
    QTest::newRow("48 bottom-left") << 48 << 1 << 48 << 0;
    QTest::newRow("48 bottom-right") << 48 << 48 << 48 << 188;
    QTest::newRow("48 column 10 row 20") << 48 << 10 << 20 << 5412;
    QTest::newRow("16 top-left") << 16 << 1 << 1 << 960;
    QTest::newRow("16 top-right") << 16 << 16 << 1 << 1020;
    QTest::newRow("16 bottom-left") << 16 << 1 << 16 << 0;
    QTest::newRow("16 bottom-right") << 16 << 16 << 16 << 60;
    QTest::newRow("16 column 5 row 9") << 16 << 5 << 9 << 464;
}

void TestEditor::cellMapping() {
    QFETCH(int, size);
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(int, firstByte);
    EditorWindow& w = openOn(size);
    QTest::mouseClick(w.标签左1, Qt::LeftButton);  // red
    const ByteBuffer before = app.pixelBuffer;

    pressCell(w, size, column, row);

    ByteBuffer expected = before;
    expected[firstByte] = 0;        // blue
    expected[firstByte + 1] = 0;    // green
    expected[firstByte + 2] = 255;  // red
    expected[firstByte + 3] = 255;  // alpha
    QCOMPARE(app.pixelBuffer, expected);
    QCOMPARE(editorState.alphaPosition, firstByte + 4);
    QCOMPARE(app.iconBytes, icon::assembleIconFile(icon::headerTemplateFor(size), expected, icon::maskTemplateFor(size)));
    QCOMPARE(w.图片框1->picture(), app.iconBytes);

    // The pixel Qt reads at that place is the one painted.
    const QImage shown = QImage::fromData(app.iconBytes.data(), static_cast<int>(app.iconBytes.size()), "ICO");
    QCOMPARE(shown.size(), QSize(size, size));
    QCOMPARE(shown.pixel(column - 1, row - 1), qRgba(255, 0, 0, 255));
}

// The cursor square covers one cell, snapped to the grid of the icon being
// edited, and sits at the picture box's outer corner plus the snap.
void TestEditor::cursorFollowsTheGrid_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("x");
    QTest::addColumn<QRect>("cursor");
    QTest::newRow("48, x 4") << 48 << 4 << QRect(37, 8 + 60, 5, 5);
    QTest::newRow("48, x 5") << 48 << 5 << QRect(37 + 5, 8 + 60, 5, 5);
    QTest::newRow("48, x 237") << 48 << 237 << QRect(37 + 235, 8 + 60, 5, 5);
    QTest::newRow("16, x 14") << 16 << 14 << QRect(37, 8 + 60, 15, 15);
    QTest::newRow("16, x 15") << 16 << 15 << QRect(37 + 15, 8 + 60, 15, 15);
    QTest::newRow("16, x 237") << 16 << 237 << QRect(37 + 225, 8 + 60, 15, 15);
}

void TestEditor::cursorFollowsTheGrid() {
    QFETCH(int, size);
    QFETCH(int, x);
    QFETCH(QRect, cursor);
    EditorWindow& w = openOn(size);
    QTest::mouseMove(w.图片框1, QPoint(x, 60) + w.图片框1->clientRect().topLeft());
    QCOMPARE(w.标签1->geometry(), cursor);
    QCOMPARE(editorState.snapX, cursor.x() - 37);
    QCOMPARE(editorState.snapY, 60);
}

// Each press appends the pixel as it was: alpha with red, green with blue,
// and the alpha position, in the three lists.
void TestEditor::historyItemsHoldTheOldPixel() {
    EditorWindow& w = openOn(48);
    app.pixelBuffer[9024] = 10;  // top-left: blue 10, green 20, red 30, alpha 0
    app.pixelBuffer[9025] = 20;
    app.pixelBuffer[9026] = 30;
    app.pixelBuffer[9027] = 0;
    QTest::mouseClick(w.标签左1, Qt::LeftButton);
    pressCell(w, 48, 1, 1);

    QCOMPARE(w.列表框1->count(), 1);
    QCOMPARE(w.列表框2->count(), 1);
    QCOMPARE(w.列表框3->count(), 1);
    QCOMPARE(w.列表框1->item(0)->text(), QStringLiteral("0"));
    QCOMPARE(w.列表框1->item(0)->data(Qt::UserRole).toInt(), 30);
    QCOMPARE(w.列表框2->item(0)->text(), QStringLiteral("20"));
    QCOMPARE(w.列表框2->item(0)->data(Qt::UserRole).toInt(), 10);
    QCOMPARE(w.列表框3->item(0)->text(), QStringLiteral("9028"));
    QCOMPARE(w.列表框3->item(0)->data(Qt::UserRole).toInt(), 0);
}

void TestEditor::sameCellTwiceThenTwoUndos() {
    EditorWindow& w = openOn(48);
    const std::size_t at = icon::pixelOffset(48, 9, 9);
    const Bgra original = pixelAt(app, at);
    QTest::mouseClick(w.标签左1, Qt::LeftButton);  // red
    pressCell(w, 48, 10, 10);
    QTest::mouseClick(w.标签右4, Qt::LeftButton);  // green
    pressCell(w, 48, 10, 10);
    QCOMPARE(pixelAt(app, at), (Bgra{0, 255, 0, 255}));
    QCOMPARE(w.列表框3->count(), 2);

    undoByButton();
    QCOMPARE(pixelAt(app, at), (Bgra{0, 0, 255, 255}));
    undoByButton();
    QCOMPARE(pixelAt(app, at), original);
    QCOMPARE(w.列表框1->count(), 0);
    QCOMPARE(w.图片框1->picture(), app.iconBytes);
}

void TestEditor::threeCellsThenThreeUndosAndAMessage() {
    EditorWindow& w = openOn(48);
    const ByteBuffer original = app.pixelBuffer;
    const ByteBuffer originalIcon = app.iconBytes;
    QTest::mouseClick(w.标签左5, Qt::LeftButton);  // blue
    pressCell(w, 48, 1, 1);
    const ByteBuffer afterOne = app.pixelBuffer;
    pressCell(w, 48, 2, 1);
    const ByteBuffer afterTwo = app.pixelBuffer;
    pressCell(w, 48, 3, 1);

    undoByButton();
    QCOMPARE(app.pixelBuffer, afterTwo);
    undoByButton();
    QCOMPARE(app.pixelBuffer, afterOne);
    undoByButton();
    QCOMPARE(app.pixelBuffer, original);
    QCOMPARE(app.iconBytes, originalIcon);

    auto seen = test::pressOkOnMessages(1);
    undoByButton();
    QCOMPARE(seen->size(), std::size_t{1});
    QCOMPARE(seen->front().text, QStringLiteral("已到达最初状态"));
    QCOMPARE(seen->front().title, QStringLiteral("信息："));
    QVERIFY(seen->front().plain);
    QCOMPARE(app.pixelBuffer, original);
}

void TestEditor::eraseThenUndoRestoresAlpha() {
    EditorWindow& w = openOn(48);
    const std::size_t at = icon::pixelOffset(48, 4, 7);
    const Bgra original = pixelAt(app, at);
    pressCell(w, 48, 5, 8);  // the window starts erasing
    QCOMPARE(pixelAt(app, at), (Bgra{original[0], original[1], original[2], 0}));
    undoByButton();
    QCOMPARE(pixelAt(app, at), original);
}

void TestEditor::paintedTransparentPixelComesBackOnUndo() {
    EditorWindow& w = openOn(16);
    const std::size_t at = icon::pixelOffset(16, 3, 2);
    app.pixelBuffer[at] = 10;
    app.pixelBuffer[at + 1] = 20;
    app.pixelBuffer[at + 2] = 30;
    app.pixelBuffer[at + 3] = 0;
    QTest::mouseClick(w.标签左1, Qt::LeftButton);
    pressCell(w, 16, 4, 3);
    QCOMPARE(pixelAt(app, at), (Bgra{0, 0, 255, 255}));
    undoByButton();
    QCOMPARE(pixelAt(app, at), (Bgra{10, 20, 30, 0}));
}

// Clicking "透明色" off leaves the default colour as the drawing colour,
// whose unused fourth byte does not stop it from painting opaque black.
void TestEditor::defaultColourWritesOpaqueBlack() {
    EditorWindow& w = openOn(48);
    QTest::mouseClick(w.选择框1, Qt::LeftButton);
    QVERIFY(!w.选择框1->isChecked());
    QCOMPARE(w.drawingColour(), ui::kDefaultColour);
    pressCell(w, 48, 20, 30);
    QCOMPARE(pixelAt(app, icon::pixelOffset(48, 19, 29)), (Bgra{0, 0, 0, 255}));
    QCOMPARE(editorState.colourBytes, (ByteBuffer{0, 0, 0, 0xFF}));
}

// A right press on the picture, wherever it is, or on the cursor undoes the
// most recent write; so does a left press on the cursor paint its cell.
void TestEditor::rightPressesUndo() {
    EditorWindow& w = openOn(48);
    const ByteBuffer original = app.pixelBuffer;
    QTest::mouseClick(w.标签左3, Qt::LeftButton);
    pressCell(w, 48, 7, 7);
    QTest::mouseClick(w.标签1, Qt::LeftButton);  // the cursor covers cell 7, 7
    QCOMPARE(w.列表框3->count(), 2);
    QCOMPARE(w.列表框3->item(1)->text(), w.列表框3->item(0)->text());

    QTest::mouseClick(w.图片框1, Qt::RightButton, {}, QPoint(200, 30));
    QCOMPARE(w.列表框3->count(), 1);
    QTest::mouseClick(w.标签1, Qt::RightButton);
    QCOMPARE(w.列表框3->count(), 0);
    QCOMPARE(app.pixelBuffer, original);
}

// Palette and picker set the drawing colour and turn transparent mode off
// without raising its click; clicking the box back on restores the default.
void TestEditor::paletteAndPickerChooseTheColour() {
    EditorWindow& w = openOn(48);
    QSignalSpy boxClicks(w.选择框1, &QCheckBox::clicked);
    QTest::mouseClick(w.标签左1, Qt::LeftButton);
    QCOMPARE(w.drawingColour(), ui::colourRef(255, 0, 0));
    QVERIFY(!w.选择框1->isChecked());
    QTest::mouseClick(w.标签右7, Qt::LeftButton);
    QCOMPARE(w.drawingColour(), ui::colourRef(128, 128, 128));

    QTest::mouseClick(w.选择框1, Qt::LeftButton);  // checked again
    QVERIFY(w.选择框1->isChecked());
    QCOMPARE(w.drawingColour(), ui::kDefaultColour);
    QCOMPARE(boxClicks.count(), 1);

    // The picker's drop-down: confirming a colour, even the one shown.
    QTest::mouseClick(w.颜色选择器1, Qt::LeftButton);
    auto* swatch = w.颜色选择器1->findChild<QToolButton*>(QStringLiteral("swatch000000"));
    QVERIFY(swatch);
    swatch->click();
    QCOMPARE(w.drawingColour(), ui::colourRef(0, 0, 0));
    QVERIFY(!w.选择框1->isChecked());
    QCOMPARE(boxClicks.count(), 1);
}

// The size option switched after a generation: edits are still framed by
// the templates of the pixels' own size, which Qt's reader accepts.
void TestEditor::sizeSwitchThenEditGivesAValidIcon_data() {
    QTest::addColumn<int>("generated");
    QTest::addColumn<int>("selected");
    QTest::newRow("48 then 16 selected") << 48 << 16;
    QTest::newRow("16 then 48 selected") << 16 << 48;
}

void TestEditor::sizeSwitchThenEditGivesAValidIcon() {
    QFETCH(int, generated);
    QFETCH(int, selected);
    EditorWindow& w = openOn(generated);
    selectIconSize(app, selected);
    QTest::mouseClick(w.标签左1, Qt::LeftButton);
    pressCell(w, generated, 2, 3);
    QCOMPARE(app.iconBytes.size(), icon::iconFileLength(generated));
    const QImage icon = QImage::fromData(app.iconBytes.data(), static_cast<int>(app.iconBytes.size()), "ICO");
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.size(), QSize(generated, generated));
    QCOMPARE(icon.pixel(1, 2), qRgba(255, 0, 0, 255));
}

// A 16x16 generation while the editor shows a 48x48 icon: entries of the
// old pixels beyond the new ones are dropped without a write, the others
// land inside the new buffer, and new presses use the 16x16 grid. The
// sanitizer build proves that nothing is read or written outside.
void TestEditor::smallerGenerationUnderTheOpenEditor() {
    EditorWindow& w = openOn(48);
    QTest::mouseClick(w.标签左1, Qt::LeftButton);
    pressCell(w, 48, 48, 48);  // alpha position 192: inside 16x16 pixels too
    pressCell(w, 48, 1, 1);    // 9028
    pressCell(w, 48, 48, 1);   // 9216: the very last byte of 48x48

    generate(app, 16);
    const ByteBuffer fresh = app.pixelBuffer;
    pressCell(w, 16, 16, 1);  // last pixel of the new icon
    QCOMPARE(pixelAt(app, 1020), (Bgra{0, 0, 255, 255}));
    QCOMPARE(w.列表框3->count(), 4);

    undoByButton();  // the new press
    QCOMPARE(app.pixelBuffer, fresh);
    undoByButton();  // 9216: dropped
    undoByButton();  // 9028: dropped
    QCOMPARE(app.pixelBuffer, fresh);
    QCOMPARE(w.列表框3->count(), 1);
    QCOMPARE(w.图片框1->picture(), app.iconBytes);
    undoByButton();  // 192: inside, so written back into the new pixels
    QCOMPARE(app.pixelBuffer.size(), std::size_t{1024});
    QCOMPARE(w.列表框3->count(), 0);

    // Pixels shorter than any cell: presses record nothing.
    app.pixelBuffer.resize(2);
    pressCell(w, 16, 1, 16);
    QCOMPARE(w.列表框3->count(), 0);
    QCOMPARE(app.pixelBuffer.size(), std::size_t{2});
}

// "完成" sets the flag and closes the editor; the main timer's next tick
// hands the icon to the result box and stops the timer.
void TestEditor::handBackOnFinish() {
    generate(app, 48);
    ui::PictureBox resultBox;
    resultBox.setPicture(app.iconBytes);
    const ByteBuffer generated = app.iconBytes;
    QTimer mainTimer;
    connect(&mainTimer, &QTimer::timeout, this,
            [&] { editor::pollEditorFinished(app, resultBox, mainTimer); });

    window = editor::openEditor(app, editorState, resultBox, mainTimer);
    QVERIFY(window);
    QVERIFY(mainTimer.isActive());
    QCOMPARE(mainTimer.interval(), 1000);
    QCOMPARE(app.editorFinished, 0);
    QTest::mouseClick(window->标签左1, Qt::LeftButton);
    pressCell(*window, 48, 24, 24);
    const ByteBuffer edited = app.iconBytes;

    QTest::mouseClick(window->按钮2, Qt::LeftButton);
    QCOMPARE(app.editorFinished, 1);
    QTRY_VERIFY(window.isNull());
    QCOMPARE(resultBox.picture(), generated);  // not before the tick
    QTRY_COMPARE_WITH_TIMEOUT(resultBox.picture(), edited, 3000);
    QVERIFY(!mainTimer.isActive());
}

void TestEditor::escapeHandsNothingBackAndReopeningKeepsTheEdits() {
    generate(app, 48);
    ui::PictureBox resultBox;
    resultBox.setPicture(app.iconBytes);
    const ByteBuffer generated = app.iconBytes;
    QTimer mainTimer;
    connect(&mainTimer, &QTimer::timeout, this,
            [&] { editor::pollEditorFinished(app, resultBox, mainTimer); });

    window = editor::openEditor(app, editorState, resultBox, mainTimer);
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::mouseClick(window->标签左1, Qt::LeftButton);
    pressCell(*window, 48, 5, 5);
    const ByteBuffer edited = app.iconBytes;
    QTest::keyClick(window, Qt::Key_Escape);
    QTRY_VERIFY(window.isNull());

    QTest::qWait(1300);  // past a tick of the main timer
    QCOMPARE(resultBox.picture(), generated);
    QVERIFY(mainTimer.isActive());
    QCOMPARE(app.editorFinished, 0);
    QCOMPARE(app.iconBytes, edited);

    window = editor::openEditor(app, editorState, resultBox, mainTimer);
    QCOMPARE(window->图片框1->picture(), edited);
    QCOMPARE(window->列表框3->count(), 0);
    auto seen = test::pressOkOnMessages(1);
    undoByButton();
    QCOMPARE(seen->size(), std::size_t{1});
    QCOMPARE(seen->front().text, QStringLiteral("已到达最初状态"));
    QCOMPARE(app.iconBytes, edited);
}

// "修改" while the editor is open brings the same window back, history
// kept, and restarts the main timer with the flag cleared.
void TestEditor::secondModifyKeepsTheOpenEditor() {
    generate(app, 48);
    ui::PictureBox resultBox;
    resultBox.setPicture(app.iconBytes);
    QTimer mainTimer;
    window = editor::openEditor(app, editorState, resultBox, mainTimer);
    pressCell(*window, 48, 8, 8);
    window->showMinimized();
    app.editorFinished = 1;
    mainTimer.stop();

    EditorWindow* again = editor::openEditor(app, editorState, resultBox, mainTimer);
    QCOMPARE(again, window.data());
    QVERIFY(!again->isMinimized());
    QCOMPARE(again->列表框3->count(), 1);
    QCOMPARE(app.editorFinished, 0);
    QVERIFY(mainTimer.isActive());
    QCOMPARE(mainTimer.interval(), 1000);
}

void TestEditor::modifyWithoutIconOnlySaysSo() {
    ui::PictureBox resultBox;
    QTimer mainTimer;
    app.editorFinished = 1;
    auto seen = test::pressOkOnMessages(1);
    QVERIFY(!editor::openEditor(app, editorState, resultBox, mainTimer));
    QCOMPARE(seen->size(), std::size_t{1});
    QCOMPARE(seen->front().text, QStringLiteral("请先生成ICO图片"));
    QCOMPARE(seen->front().title, QStringLiteral("信息："));
    QVERIFY(!mainTimer.isActive());
    QCOMPARE(app.editorFinished, 1);
    QVERIFY(!editor::openEditorWindow());
}

void TestEditor::oneHelpWindowAtMost() {
    EditorWindow& w = openOn(48);
    auto helpWindows = [] {
        QList<editor::HelpWindow*> found;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* help = qobject_cast<editor::HelpWindow*>(top); help && help->isVisible()) found << help;
        return found;
    };
    QTest::mouseClick(w.超级链接框1, Qt::LeftButton);
    QCOMPARE(helpWindows().size(), 1);
    QPointer<editor::HelpWindow> help = helpWindows().front();
    QCOMPARE(help->windowTitle(), QStringLiteral("砚舟"));
    QCOMPARE(help->size(), QSize(374, 62));  // 380 x 90 with the frame
    QVERIFY(!(help->windowFlags() & Qt::WindowMinimizeButtonHint));
    QCOMPARE(help->标签1->text(), QStringLiteral("功能：可以透明色块，可以增加色块！\n快捷：鼠标右键快捷撤销"));
    QCOMPARE(help->标签1->font().pixelSize(), 16);

    QTest::mouseClick(w.超级链接框1, Qt::LeftButton);
    QCOMPARE(helpWindows().size(), 1);
    QCOMPARE(helpWindows().front(), help.data());
    help->close();
    QTRY_VERIFY(help.isNull());
}

YZ_UI_TEST_MAIN(TestEditor)
#include "editor_test.moc"
