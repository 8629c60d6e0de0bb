// The application frame: a whole run from start to Esc, the end routine,
// and the application icon.

#include <QIcon>
#include <QImageReader>

#include "icon/icon_layout.h"
#include "main_window_support.h"

using namespace yz;

class FrameTest : public QObject {
    Q_OBJECT

private slots:
    void init() { test::failOnUnexpectedWarnings(); }
    void cleanup() { test::stopWaiting(); }

    void applicationIconIsOurLayout();
    void escapeEndsTheProgramWithExitCodeZero();
    void releaseEmptiesEveryBuffer();
};

// The icon the windows carry: 48x48, 32 bits, the program's own header and
// an all-zero mask, alpha only 0 or 255; and Qt reads it.
void FrameTest::applicationIconIsOurLayout() {
    const ByteBuffer ico = test::readFile(QStringLiteral(YZICON_SOURCE_DIR "/resources/yzicon.ico"));
    QCOMPARE(ico.size(), icon::iconFileLength(48));
    QCOMPARE(ByteBuffer(ico.begin(), ico.begin() + 62), icon::headerTemplateFor(48));
    QCOMPARE(ByteBuffer(ico.end() - 384, ico.end()), ByteBuffer(384, 0));
    int transparent = 0;
    for (std::size_t i = 62 + 3; i < 62 + 9216; i += 4) {
        QVERIFY(ico[i] == 0 || ico[i] == 255);
        transparent += ico[i] == 0;
    }
    QVERIFY(transparent > 0 && transparent < 48 * 48);

    // The copy built into the program is the same file.
    QFile built(QStringLiteral(":/yzicon.ico"));
    QVERIFY(built.open(QIODevice::ReadOnly));
    const QByteArray builtBytes = built.readAll();
    QCOMPARE(ByteBuffer(builtBytes.begin(), builtBytes.end()), ico);
    const QImage image = QImageReader(QStringLiteral(":/yzicon.ico")).read();
    QCOMPARE(image.size(), QSize(48, 48));
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(image.pixel(24, 24)), 255);
}

void FrameTest::escapeEndsTheProgramWithExitCodeZero() {
    app::Program program;
    bool pressed = false;
    QTimer::singleShot(50, [&] {
        QVERIFY(program.mainWindow != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(program.mainWindow.get()));
        QCOMPARE(program.state.tolerance, 35);
        pressed = true;
        QTest::keyClick(program.mainWindow->按钮1, Qt::Key_Escape);
    });
    // Should Esc fail, the loop still ends, with a code that fails the test.
    QTimer::singleShot(10000, [] { QCoreApplication::exit(3); });
    const int code = app::runProgram(program);
    QVERIFY(pressed);
    QCOMPARE(code, 0);
    QVERIFY(program.mainWindow == nullptr);
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void FrameTest::releaseEmptiesEveryBuffer() {
    app::Program program;
    app::createMainWindow(program);
    program.state.pixelBuffer.assign(9216, 1);
    program.state.iconBytes.assign(9662, 2);
    program.state.snapshotBytes.assign(6966, 3);
    program.editor.colourBytes.assign(4, 4);
    app::releaseAppState(program);
    QVERIFY(program.state.headerTemplate.empty());
    QVERIFY(program.state.maskTemplate.empty());
    QVERIFY(program.state.pixelBuffer.empty());
    QVERIFY(program.state.iconBytes.empty());
    QVERIFY(program.state.snapshotBytes.empty());
    QVERIFY(program.editor.colourBytes.empty());
    QCOMPARE(program.state.tolerance, 35);
}

YZ_UI_TEST_MAIN(FrameTest)
#include "frame_test.moc"
