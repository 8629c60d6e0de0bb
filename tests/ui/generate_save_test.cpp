// "生成" and "保存" on the real main window: the capture with and without
// the hint, the keying cases that need the window, agreement with the
// converter, and saves that succeed, are cancelled or fail.

#include <unistd.h>

#include <QImageReader>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>

#include "icon/generation.h"
#include "icon/icon_layout.h"
#include "icon/keying.h"
#include "main_window_support.h"

using namespace yz;
using yz::test::Session;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kRed = 0xFFC80000;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kPureRed = 0xFFFF0000;

// Runs the rest of a scope as the user "nobody" when the tests run as root,
// for whom permission bits would not stop a write.
struct WithoutRootPowers {
    bool switched = false;
    WithoutRootPowers() { switched = ::geteuid() == 0 && ::seteuid(65534) == 0; }
    ~WithoutRootPowers() {
        if (switched && ::seteuid(0) != 0) qFatal("could not get root back");
    }
};

// Takes a picture in through a drop, which hides the hint.
void dropPicture(ui::MainWindow& w, const QString& path) {
    std::unique_ptr<QMimeData> data(test::filesData({path}));
    QSignalSpy dropped(w.拖放对象1, &ui::FileDropTarget::filesDropped);
    QVERIFY(test::dragAndDrop(w.按钮1, *data));
    // The window's handler was connected first, so it has run by now.
    QTRY_COMPARE(dropped.size(), 1);
    QCOMPARE(w.图片框1->picture(), test::readFile(path));
    QVERIFY(w.透明标签2->isHidden());
}

// Takes a picture in through the open dialog, which leaves the hint.
void openPicture(ui::MainWindow& w, const QString& path) {
    test::answerFileDialog(path);
    QTest::mouseClick(w.按钮打开, Qt::LeftButton);
    QCOMPARE(w.图片框1->picture(), test::readFile(path));
}

void generate(ui::MainWindow& w) { QTest::mouseClick(w.按钮1, Qt::LeftButton); }

std::size_t pixelCount(const AppState& state) { return state.pixelBuffer.size() / 4; }

// Confirms Qt's "replace it?" question when one comes, then records any
// message of ours that follows.
struct SaveAnswers {
    std::shared_ptr<bool> askedToReplace = std::make_shared<bool>(false);
    std::shared_ptr<std::vector<test::SeenMessage>> messages = std::make_shared<std::vector<test::SeenMessage>>();
};

SaveAnswers answerSave(const QString& path) {
    SaveAnswers answers;
    test::answerFileDialog(path);
    auto isQuestion = [](QMessageBox* box) { return box->button(QMessageBox::Yes) != nullptr; };
    test::whenModal<QMessageBox>(
        [asked = answers.askedToReplace](QMessageBox* box) {
            *asked = true;
            box->button(QMessageBox::Yes)->click();
        },
        10000, isQuestion);
    test::whenModal<QMessageBox>(
        [seen = answers.messages](QMessageBox* box) {
            seen->push_back({box->text(), box->windowTitle(), box->icon() == QMessageBox::NoIcon});
            box->button(QMessageBox::Ok)->click();
        },
        10000, [](QMessageBox* box) { return box->button(QMessageBox::Yes) == nullptr; });
    return answers;
}

}  // namespace

class GenerateSaveTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        test::failOnUnexpectedWarnings();
        QVERIFY(dir_.isValid());
    }
    void cleanup() { test::stopWaiting(); }

    void withoutAPictureItSaysSo();
    void generatesAndSavesAnIconOthersRead_data();
    void generatesAndSavesAnIconOthersRead();
    void agreesWithTheConverter_data();
    void agreesWithTheConverter();
    void theHintIsCapturedWhileShown();
    void keyColourFollowsTheAutomaticBox();
    void aSecondRunDiscardsEdits();
    void saveDoesNothingBeforeAGeneration();
    void cancelledSaveWritesNothing();
    void saveReplacesALongerFileWhole();
    void failedSaveSaysSoAndKeepsTheOldFile();
    void saveOffersThePathLastChosen();

private:
    QString picture(const QString& name, const ByteBuffer& bytes) {
        const QString path = dir_.filePath(name);
        if (!test::writeFile(path, bytes)) qFatal("cannot write a fixture");
        return path;
    }
    QTemporaryDir dir_;
};

void GenerateSaveTest::withoutAPictureItSaysSo() {
    Session s;
    auto seen = test::pressOkOnMessages();
    generate(s.window());
    QCOMPARE(seen->size(), 1u);
    QCOMPARE(seen->at(0).text, QStringLiteral("请先加入需要生成的图片"));
    QCOMPARE(seen->at(0).title, QStringLiteral("信息："));
    QVERIFY(seen->at(0).plain);
    QVERIFY(s.state().snapshotBytes.empty());
    QVERIFY(s.state().pixelBuffer.empty());
    QVERIFY(s.state().iconBytes.empty());
    QVERIFY(s.window().图片框2->picture().empty());
}

void GenerateSaveTest::generatesAndSavesAnIconOthersRead_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("snapshotLength");
    QTest::addColumn<int>("pixelLength");
    QTest::addColumn<int>("iconLength");
    QTest::newRow("48") << 48 << 6966 << 9216 << 9662;
    QTest::newRow("16") << 16 << 822 << 1024 << 1150;
}

// Load, generate, save, and read the saved file back with Qt's own ICO
// reader: the background keyed out, the block kept.
void GenerateSaveTest::generatesAndSavesAnIconOthersRead() {
    QFETCH(int, size);
    QFETCH(int, snapshotLength);
    QFETCH(int, pixelLength);
    QFETCH(int, iconLength);
    const QString source = picture(QStringLiteral("framed.bmp"), test::framedPicture(64, kWhite, kRed));
    Session s;
    ui::MainWindow& w = s.window();
    if (size == 16) QTest::mouseClick(w.选择框2, Qt::LeftButton, {}, QPoint(8, 12));
    dropPicture(w, source);
    generate(w);

    const AppState& state = s.state();
    QCOMPARE(state.snapshotBytes.size(), std::size_t(snapshotLength));
    QCOMPARE(state.pixelBuffer.size(), std::size_t(pixelLength));
    QCOMPARE(state.iconBytes.size(), std::size_t(iconLength));
    QCOMPARE(ByteBuffer(state.iconBytes.begin(), state.iconBytes.begin() + 62), icon::headerTemplateFor(size));
    QVERIFY(std::all_of(state.iconBytes.end() - static_cast<std::ptrdiff_t>(icon::maskTemplateFor(size).size()),
                        state.iconBytes.end(), [](std::uint8_t b) { return b == 0; }));
    QCOMPARE(w.图片框2->picture(), state.iconBytes);
    // The key is the snapshot's top-right pixel, white here.
    const auto& snap = state.snapshotBytes;
    QCOMPARE(state.keyColour, (icon::KeyColour{snap[snap.size() - 3], snap[snap.size() - 2], snap[snap.size() - 1]}));
    QCOMPARE(state.keyColour, (icon::KeyColour{255, 255, 255}));
    // Alpha: 0 exactly where the snapshot pixel lies within 35 of the key;
    // colour bytes copied either way.
    int transparent = 0;
    for (std::size_t k = 0; k < pixelCount(state); ++k) {
        const std::uint8_t* p = state.pixelBuffer.data() + 4 * k;
        const std::uint8_t* q = snap.data() + 54 + 3 * k;
        QCOMPARE(ByteBuffer(p, p + 3), ByteBuffer(q, q + 3));
        const bool background = std::abs(q[0] - 255) <= 35 && std::abs(q[1] - 255) <= 35 && std::abs(q[2] - 255) <= 35;
        QCOMPARE(int(p[3]), background ? 0 : 255);
        transparent += background;
    }
    QVERIFY(transparent > 0 && transparent < size * size);

    const QString saved = dir_.filePath(QStringLiteral("saved-%1.ico").arg(size));
    SaveAnswers answers = answerSave(saved);
    QTest::mouseClick(w.按钮保存, Qt::LeftButton);
    QVERIFY(!*answers.askedToReplace);
    QVERIFY(answers.messages->empty());  // a successful save says nothing
    QCOMPARE(test::readFile(saved), state.iconBytes);

    QImageReader reader(saved, "ico");
    const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), QSize(size, size));
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(image.pixel(size - 1, size - 1)), 0);
    const QRgb centre = image.pixel(size / 2, size / 2);
    QCOMPARE(qAlpha(centre), 255);
    QCOMPARE(centre & 0xFFFFFF, kRed & 0xFFFFFF);
}

void GenerateSaveTest::agreesWithTheConverter_data() {
    QTest::addColumn<QString>("file");  // empty: the BMP fixture
    QTest::addColumn<int>("size");
    QTest::newRow("BMP at 48") << QString() << 48;
    QTest::newRow("BMP at 16") << QString() << 16;
    QTest::newRow("JPEG photo at 48") << QStringLiteral("libjpeg-turbo/testorig.jpg") << 48;
    QTest::newRow("ICO at 16") << QStringLiteral("wuffs/hippopotamus.regular.ico") << 16;
}

// Without the hint, the program's capture of 图片框1 is the converter's
// drawing of the same file, so both produce the same snapshot and icon.
void GenerateSaveTest::agreesWithTheConverter() {
    QFETCH(QString, file);
    QFETCH(int, size);
    QString source;
    if (file.isEmpty()) {
        source = picture(QStringLiteral("agree.bmp"), test::makeBmp(37, 23, [](int x, int y) {
                             return qRgb(x * 7, y * 11, (x * y) % 256);
                         }));
    } else {
        source = QStringLiteral(YZICON_TESTDATA_DIR "/") + file;
        if (!QFileInfo::exists(source)) QSKIP("third-party test pictures not present");
    }
    const ByteBuffer bytes = test::readFile(source);
    const imaging::Rendering drawn = icon::sourceBoxRendering(bytes);
    QVERIFY2(drawn.drawn, drawn.error.c_str());

    Session s;
    ui::MainWindow& w = s.window();
    if (size == 16) QTest::mouseClick(w.选择框2, Qt::LeftButton, {}, QPoint(8, 12));
    dropPicture(w, source);
    generate(w);
    QCOMPARE(s.state().snapshotBytes, icon::snapshotOf(drawn.image, size));

#ifdef YZICON_CONVERT_PATH
    const QString output = dir_.filePath(QStringLiteral("converted.ico"));
    QProcess convert;
    convert.start(QStringLiteral(YZICON_CONVERT_PATH),
                  {QStringLiteral("--size"), QString::number(size), QStringLiteral("-o"), output, source});
    QVERIFY(convert.waitForFinished(30000));
    QVERIFY2(convert.exitCode() == 0, convert.readAllStandardError().constData());
    QCOMPARE(test::readFile(output), s.state().iconBytes);
#endif
}

// Generating with the hint shown differs from generating without it only
// in the rows the hint covers: rows 45 to 84 of the 128 rows of 图片框1.
void GenerateSaveTest::theHintIsCapturedWhileShown() {
    const QString source = picture(QStringLiteral("plain.bmp"), test::makeBmp(8, 8, [](int, int) { return kWhite; }));
    Session s;
    ui::MainWindow& w = s.window();
    openPicture(w, source);
    QVERIFY(w.透明标签2->isVisible());
    generate(w);
    const ByteBuffer withHint = s.state().snapshotBytes;
    dropPicture(w, source);
    generate(w);
    const ByteBuffer without = s.state().snapshotBytes;
    QCOMPARE(without, icon::snapshotOf(icon::sourceBoxImage(test::readFile(source)), 48));
    QCOMPARE(withHint.size(), without.size());

    // Icon rows touched by box rows 45..84 at 128/48 box rows per icon row.
    const int firstRow = 45 * 48 / 128, lastRow = 84 * 48 / 128;
    int differing = 0;
    for (int row = 0; row < 48; ++row) {  // counted from the top
        const std::size_t start = 54 + static_cast<std::size_t>(47 - row) * 48 * 3;
        const bool same = std::equal(withHint.begin() + start, withHint.begin() + start + 48 * 3, without.begin() + start);
        if (row < firstRow || row > lastRow) QVERIFY2(same, qPrintable(QStringLiteral("row %1").arg(row)));
        differing += !same;
    }
    QVERIFY(differing > (lastRow - firstRow) / 2);
}

void GenerateSaveTest::keyColourFollowsTheAutomaticBox() {
    const QString whiteGround = picture(QStringLiteral("white.bmp"), test::framedPicture(32, kWhite, kPureRed));
    const QString blueGround = picture(QStringLiteral("blue.bmp"), test::framedPicture(32, kBlue, kWhite));
    Session s;
    ui::MainWindow& w = s.window();
    const AppState& state = s.state();
    auto alphaAt = [&state](int x, int y) { return int(state.pixelBuffer[icon::pixelOffset(48, x, y) + 3]); };

    // Automatic: a new picture gives a new key.
    dropPicture(w, whiteGround);
    generate(w);
    QCOMPARE(state.keyColour, (icon::KeyColour{255, 255, 255}));
    dropPicture(w, blueGround);
    generate(w);
    QCOMPARE(state.keyColour, (icon::KeyColour{255, 0, 0}));
    QCOMPARE(alphaAt(0, 0), 0);
    QCOMPARE(alphaAt(24, 24), 255);

    // Unchecked by hand: the key of the last automatic run stays.
    QTest::mouseClick(w.选择框3, Qt::LeftButton, {}, QPoint(8, 12));
    QVERIFY(!w.选择框3->isChecked());
    dropPicture(w, whiteGround);
    generate(w);
    QCOMPARE(state.keyColour, (icon::KeyColour{255, 0, 0}));
    QCOMPARE(alphaAt(0, 0), 255);  // white is not blue

    // A picked colour unchecks the box and is the key: the red block goes.
    QTest::mouseClick(w.颜色选择器1, Qt::LeftButton);
    QTest::mouseClick(QApplication::activePopupWidget()->findChild<QToolButton*>(QStringLiteral("swatchFF0000")),
                      Qt::LeftButton);
    QVERIFY(!w.选择框3->isChecked());
    generate(w);
    QCOMPARE(state.keyColour, (icon::KeyColour{0, 0, 255}));
    QCOMPARE(alphaAt(24, 24), 0);
    QCOMPARE(alphaAt(0, 0), 255);
}

void GenerateSaveTest::aSecondRunDiscardsEdits() {
    const QString source = picture(QStringLiteral("edit.bmp"), test::framedPicture(32, kWhite, kRed));
    Session s;
    ui::MainWindow& w = s.window();
    AppState& state = s.state();
    dropPicture(w, source);
    generate(w);
    const ByteBuffer first = state.pixelBuffer;
    // An edit as the editor makes it: pixel bytes changed in place.
    const std::size_t at = icon::pixelOffset(48, 24, 24);
    state.pixelBuffer[at] = 1;
    state.pixelBuffer[at + 3] = 0;
    assembleIcon(state);
    QVERIFY(state.pixelBuffer != first);
    generate(w);
    QCOMPARE(state.pixelBuffer, first);
    QCOMPARE(w.图片框2->picture(), state.iconBytes);
}

void GenerateSaveTest::saveDoesNothingBeforeAGeneration() {
    Session s;
    bool anythingShown = false;
    test::whenModal<QWidget>([&anythingShown](QWidget* shown) {
        anythingShown = true;
        shown->close();
    }, 1000);
    QTest::mouseClick(s.window().按钮保存, Qt::LeftButton);
    QTest::qWait(100);
    QVERIFY(!anythingShown);
    QCOMPARE(s.window().通用对话框1.kind(), ui::FileDialog::Kind::Open);
}

void GenerateSaveTest::cancelledSaveWritesNothing() {
    const QString source = picture(QStringLiteral("cancel.bmp"), test::framedPicture(32, kWhite, kRed));
    Session s;
    ui::MainWindow& w = s.window();
    dropPicture(w, source);
    generate(w);
    const QStringList before = QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden);
    test::answerFileDialog(QString());
    QTest::mouseClick(w.按钮保存, Qt::LeftButton);
    QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), before);
    QCOMPARE(w.通用对话框1.fileName(), QString());
}

void GenerateSaveTest::saveReplacesALongerFileWhole() {
    const QString source = picture(QStringLiteral("long.bmp"), test::framedPicture(32, kWhite, kRed));
    const QString target = picture(QStringLiteral("existing.ico"), ByteBuffer(20000, 0x5A));
    Session s;
    ui::MainWindow& w = s.window();
    QTest::mouseClick(w.选择框2, Qt::LeftButton, {}, QPoint(8, 12));
    dropPicture(w, source);
    generate(w);
    SaveAnswers answers = answerSave(target);
    QTest::mouseClick(w.按钮保存, Qt::LeftButton);
    QVERIFY(*answers.askedToReplace);
    QVERIFY(answers.messages->empty());
    QCOMPARE(test::readFile(target), s.state().iconBytes);
    QCOMPARE(QFileInfo(target).size(), 1150);
}

void GenerateSaveTest::failedSaveSaysSoAndKeepsTheOldFile() {
    const QString source = picture(QStringLiteral("locked.bmp"), test::framedPicture(32, kWhite, kRed));
    QVERIFY(QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                   QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                                   QFile::ExeOther));
    const QString folder = dir_.filePath(QStringLiteral("locked"));
    QVERIFY(QDir(dir_.path()).mkdir(QStringLiteral("locked")));
    const QString target = folder + QStringLiteral("/old.ico");
    const ByteBuffer old(777, 0x33);
    QVERIFY(test::writeFile(target, old));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                              QFile::ReadOther | QFile::ExeOther));
    Session s;
    ui::MainWindow& w = s.window();
    dropPicture(w, source);
    generate(w);
    SaveAnswers answers = answerSave(target);
    {
        WithoutRootPowers asUser;
        QTest::mouseClick(w.按钮保存, Qt::LeftButton);
    }
    QVERIFY(*answers.askedToReplace);
    QCOMPARE(answers.messages->size(), 1u);
    QCOMPARE(answers.messages->at(0).text, QStringLiteral("保存失败，请检查保存位置是否可以写入"));
    QCOMPARE(answers.messages->at(0).title, QStringLiteral("信息："));
    QCOMPARE(test::readFile(target), old);
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("old.ico")});
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

void GenerateSaveTest::saveOffersThePathLastChosen() {
    const QString source = picture(QStringLiteral("offered.bmp"), test::framedPicture(32, kWhite, kRed));
    Session s;
    ui::MainWindow& w = s.window();
    openPicture(w, source);
    generate(w);
    auto offered = test::answerFileDialog(QString());
    QTest::mouseClick(w.按钮保存, Qt::LeftButton);
    QCOMPARE(*offered, source);
    QCOMPARE(w.通用对话框1.kind(), ui::FileDialog::Kind::Save);
    QCOMPARE(w.通用对话框1.filter(), QStringLiteral("图片文件（*.ico）|*.ico"));
    QCOMPARE(w.通用对话框1.defaultExtension(), QStringLiteral("图片文件（*.ico）|*.ico"));
}

YZ_UI_TEST_MAIN(GenerateSaveTest)
#include "generate_save_test.moc"
