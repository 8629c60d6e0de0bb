// A long random use of the program: a seeded sequence of user actions over
// the main window, the editor and the help window, with the state checked
// after every single action.
//
//   YZICON_SOAK_ACTIONS  how many actions (default 1500; 20000 and more by hand)
//   YZICON_SOAK_SEED     the seed (default fixed, so a run is repeatable)
//
// A failure prints the seed, the action's number and the actions before it,
// which is all it takes to replay the run up to that point.

#include <QBuffer>
#include <QColorDialog>
#include <QDirIterator>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <deque>
#include <random>

#include "app/app_state.h"
#include "icon/icon_layout.h"
#include "icon/keying.h"
#include "main_window_support.h"
#include "modal_answerer.h"
#include "ui/controls/buttons.h"
#include "ui/controls/colour_picker.h"
#include "ui/controls/colours.h"
#include "ui/controls/hyperlink_label.h"
#include "ui/controls/labels.h"
#include "ui/controls/picture_box.h"
#include "ui/editor/editor_window.h"
#include "ui/editor/hand_back.h"
#include "ui/editor/help_window.h"
#include "ui/main/main_window.h"
#include "ui_test_support.h"

using namespace yz;
using editor::EditorWindow;

namespace {

const QString kNotAPicture = QStringLiteral("该文件不是图片文件或暂不支持该格式图片");
const QString kNoPicture = QStringLiteral("请先加入需要生成的图片");
const QString kNoIcon = QStringLiteral("请先生成ICO图片");
const QString kNothingToUndo = QStringLiteral("已到达最初状态");

long long environmentNumber(const char* name, long long fallback) {
    bool ok = false;
    const long long value = qEnvironmentVariable(name).toLongLong(&ok);
    return ok ? value : fallback;
}

// What a drop or the open dialog should put into 图片框1: the file's bytes,
// or nothing when it is not a readable regular file.
ByteBuffer expectedContent(const QString& path) {
    return QFileInfo(path).isFile() ? test::readFile(path) : ByteBuffer{};
}

// The rule a dropped path must pass: everything after its last "." is
// exactly jpg, bmp or ico.
bool extensionAccepted(const QString& paths) {
    const qsizetype dot = paths.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? paths : paths.mid(dot + 1);
    return extension == QLatin1String("jpg") || extension == QLatin1String("bmp") ||
           extension == QLatin1String("ico");
}

bool decodesAsIcon(const ByteBuffer& bytes, int size) {
    const QImage image = QImage::fromData(bytes.data(), static_cast<int>(bytes.size()), "ICO");
    return !image.isNull() && image.size() == QSize(size, size);
}

// The pictures a user might hand to the program: small ones made here, the
// decoders' seed pictures in every format, whatever fixtures the tests keep,
// and spoiled or misnamed copies of them.
class PictureShelf {
public:
    explicit PictureShelf(const QString& folder, std::mt19937_64& random) : folder_(folder) {
        addGenerated();
        const QString source = QStringLiteral(YZICON_SOURCE_DIR);
        addCopies(source + QStringLiteral("/fuzz/seeds"), random);
        addCopies(source + QStringLiteral("/tests/fixtures"), random);
        addSpoiled(random);
        addRefusedNames();
    }

    const QStringList& accepted() const { return accepted_; }  // extension jpg, bmp or ico
    const QStringList& refused() const { return refused_; }
    // Regular files with an extension, whatever it is: what the open
    // dialog may choose.
    const QStringList& regular() const { return regular_; }

private:
    QString put(const QString& name, const ByteBuffer& bytes) {
        const QString path = folder_ + QLatin1Char('/') + name;
        if (!test::writeFile(path, bytes)) qWarning("could not write %s", qPrintable(path));
        // Once a save has set the dialog's default extension, the open
        // dialog completes a name typed without one (and then finds no such
        // file); the shelf offers it only names that have one.
        if (!QFileInfo(path).suffix().isEmpty()) regular_ << path;
        (extensionAccepted(path) ? accepted_ : refused_) << path;
        return path;
    }

    void addGenerated() {
        put(QStringLiteral("white-red.bmp"), test::framedPicture(64, qRgb(255, 255, 255), qRgb(200, 30, 30)));
        put(QStringLiteral("blue-yellow.bmp"), test::framedPicture(130, qRgb(0, 0, 255), qRgb(250, 240, 10)));
        put(QStringLiteral("gradient.bmp"), test::makeBmp(37, 23, [](int x, int y) {
                return qRgb(x * 7, y * 11, (x * y) & 0xFF);
            }));
        put(QStringLiteral("one-pixel.bmp"), test::makeBmp(1, 1, [](int, int) { return qRgb(9, 99, 199); }));
        QImage photo(90, 60, QImage::Format_RGB32);
        for (int y = 0; y < photo.height(); ++y)
            for (int x = 0; x < photo.width(); ++x) photo.setPixel(x, y, qRgb(x * 2, 255 - y * 3, 128));
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        if (buffer.open(QIODevice::WriteOnly) && photo.save(&buffer, "JPG", 85))
            put(QStringLiteral("photo.jpg"), ByteBuffer(jpeg.begin(), jpeg.end()));
    }

    // Each file under folder under its own name, and a copy named as one of
    // the accepted kinds (the picture box goes by content, not by name).
    void addCopies(const QString& folder, std::mt19937_64& random) {
        static const char* const kinds[] = {"jpg", "bmp", "ico"};
        QStringList found;
        QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) found << it.next();
        found.sort();  // the same shelf, and so the same run, for a seed
        int taken = 0;
        for (const QString& path : found) {
            if (taken == 60) break;
            if (QFileInfo(path).size() > (1 << 20)) continue;
            const ByteBuffer bytes = test::readFile(path);
            const QString base = QStringLiteral("copy%1-").arg(taken++) + QFileInfo(path).fileName();
            put(base, bytes);
            put(base + QLatin1Char('.') + QLatin1String(kinds[random() % 3]), bytes);
            originals_.push_back(bytes);
        }
    }

    void addSpoiled(std::mt19937_64& random) {
        static const char* const kinds[] = {"jpg", "bmp", "ico"};
        int n = 0;
        for (const ByteBuffer& bytes : originals_) {
            const QString kind = QLatin1String(kinds[n % 3]);
            ByteBuffer cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2));
            put(QStringLiteral("cut%1.").arg(n) + kind, cut);
            ByteBuffer flipped = bytes;
            for (int i = 0; i < 8 && !flipped.empty(); ++i) flipped[random() % flipped.size()] ^= 0xFF;
            put(QStringLiteral("flipped%1.").arg(n) + kind, flipped);
            ++n;
        }
        ByteBuffer noise(700);
        for (auto& byte : noise) byte = static_cast<std::uint8_t>(random());
        put(QStringLiteral("noise.jpg"), noise);
        put(QStringLiteral("empty.bmp"), {});
        put(QStringLiteral("two-bytes.ico"), {0xFF, 0xD8});
        // Accepted names that are not regular files.
        QDir(folder_).mkdir(QStringLiteral("folder.jpg"));
        accepted_ << folder_ + QStringLiteral("/folder.jpg") << folder_ + QStringLiteral("/gone.bmp");
    }

    void addRefusedNames() {
        const ByteBuffer picture = test::framedPicture(16, qRgb(0, 0, 0), qRgb(255, 255, 255));
        for (const char* name : {"upper.JPG", "long.jpeg", "other.png", "no-extension", "trailing.", "mixed.Bmp"})
            put(QString::fromLatin1(name), picture);
        QDir(folder_).mkpath(QStringLiteral("dotted.jpg"));
        refused_ << folder_ + QStringLiteral("/dotted.jpg/inside");
    }

    QString folder_;
    QStringList accepted_, refused_, regular_;
    std::vector<ByteBuffer> originals_;
};

}  // namespace

class SoakTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // The offscreen platform's notes about window features it lacks come
        // by the thousand in a long run and would use up QtTest's allowance
        // of messages; every other message still reaches QtTest.
        static QtMessageHandler qtTest = nullptr;
        qtTest = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (type == QtWarningMsg && text.startsWith(QLatin1String("This plugin does not support"))) return;
            qtTest(type, context, text);
        });
    }
    void init() { test::failOnUnexpectedWarnings(); }
    void randomUse();

private:
    using Action = void (SoakTest::*)();
    struct Choice {
        const char* name;
        Action action;
        int weight;
    };

    // Program under test and its surroundings.
    std::unique_ptr<test::Session> session_;
    std::unique_ptr<soak::ModalAnswerer> answerer_;
    std::unique_ptr<QTemporaryDir> inFolder_, outFolder_;
    std::unique_ptr<PictureShelf> shelf_;
    std::mt19937_64 random_;

    // What the run knows independently of the program.
    std::deque<QString> log_;
    QString step_;                // what the current action did, for the log
    QStringList expectedMessages_;
    int history_ = 0;             // entries the open editor should hold
    // Pixels before each press of the open editor, while no generation has
    // replaced them, so that each undo can be checked against its press.
    std::vector<ByteBuffer> beforePresses_;
    bool pressesTracked_ = false;
    std::map<QString, ByteBuffer> saved_;
    int savedCount_ = 0;
    ByteBuffer lastResult_;       // 图片框2 after the previous action

    ui::MainWindow& main() { return session_->window(); }
    AppState& app() { return session_->state(); }
    EditorState& editorState() { return session_->program.editor; }
    static EditorWindow* editorWindow() { return editor::openEditorWindow(); }
    static editor::HelpWindow* helpWindow() {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* help = qobject_cast<editor::HelpWindow*>(top); help && help->isVisible()) return help;
        return nullptr;
    }

    int below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <class T>
    const T& pick(const QList<T>& list) { return list[below(static_cast<int>(list.size()))]; }

    // Lets the event loop deliver what an action posted: repaints, queued
    // drops, window closes and the deletions that follow them.
    static void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    // Clicks through the window system, so the press goes to whatever lies
    // under the point (the cursor label lies over the editor's picture).
    static void clickAt(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QWidget* top = widget->window();
        QTest::mouseClick(top->windowHandle(), button, {}, widget->mapTo(top, at));
    }
    static void moveTo(QWidget* widget, QPoint at) {
        QWidget* top = widget->window();
        QTest::mouseMove(top->windowHandle(), widget->mapTo(top, at));
    }
    static void activate(QWidget* window) {
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window, 10000)) qWarning("window did not become active");
    }

    // ---- main window ----

    void dropAccepted() {
        const QString path = pick(shelf_->accepted());
        QWidget* over = pickMainControl();
        const ByteBuffer expected = expectedContent(path);
        step_ = QStringLiteral("drop %1 on %2").arg(QFileInfo(path).fileName(), over->objectName());
        const std::unique_ptr<QMimeData> data(test::filesData({path}));
        QVERIFY(test::dragAndDrop(over, *data));
        settle();
        QCOMPARE(main().图片框1->picture(), expected);
        QVERIFY(main().透明标签2->isHidden());
    }

    void dropRefused() {
        const ByteBuffer before = main().图片框1->picture();
        const bool hintShown = !main().透明标签2->isHidden();
        QStringList paths;
        if (chance(50)) {
            paths << pick(shelf_->refused());
        } else {
            paths << pick(shelf_->accepted()) << pick(shelf_->accepted());  // several at once
        }
        step_ = QStringLiteral("drop refused %1").arg(paths.join(QLatin1Char(' ')));
        QWidget* over = pickMainControl();
        const std::unique_ptr<QMimeData> data(test::filesData(paths));
        QVERIFY(test::dragAndDrop(over, *data));
        settle();
        expectedMessages_ << kNotAPicture;
        QCOMPARE(main().图片框1->picture(), before);
        QCOMPARE(!main().透明标签2->isHidden(), hintShown);
    }

    QWidget* pickMainControl() {
        QList<QWidget*> controls;
        for (QWidget* child : main().findChildren<QWidget*>())
            if (child->isVisible()) controls << child;
        return chance(20) ? static_cast<QWidget*>(&main()) : pick(controls);
    }

    void openDialog() {
        const ByteBuffer before = main().图片框1->picture();
        const bool hintShown = !main().透明标签2->isHidden();
        const bool cancel = chance(20);
        const QString path = cancel ? QString() : pick(shelf_->regular());
        step_ = cancel ? QStringLiteral("open dialog, cancelled") : QStringLiteral("open %1").arg(QFileInfo(path).fileName());
        answerer_->planFile(path);
        QTest::mouseClick(main().按钮打开, Qt::LeftButton);
        settle();
        QVERIFY2(!answerer_->dropFilePlan(), "no open dialog appeared");
        QCOMPARE(main().图片框1->picture(), cancel ? before : expectedContent(path));
        QCOMPARE(!main().透明标签2->isHidden(), hintShown);
    }

    void clickSizeBox() {
        const bool big = chance(50);
        ui::CheckBox* box = big ? main().选择框1 : main().选择框2;
        ui::CheckBox* other = big ? main().选择框2 : main().选择框1;
        const bool wasChecked = box->isChecked();
        step_ = big ? QStringLiteral("click 48") : QStringLiteral("click 16");
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        settle();
        QCOMPARE(box->isChecked(), !wasChecked);
        QVERIFY(!other->isChecked());
        QCOMPARE(app().iconSize, big ? 48 : 16);
    }

    void clickAutomaticKey() {
        const bool was = main().选择框3->isChecked();
        step_ = QStringLiteral("click automatic key");
        QTest::mouseClick(main().选择框3, Qt::LeftButton, {}, QPoint(8, main().选择框3->height() / 2));
        settle();
        QCOMPARE(main().选择框3->isChecked(), !was);
    }

    void moveSlider() {
        ui::Slider* slider = main().滑块条1;
        const int before = slider->value();
        int expected = before;
        switch (below(4)) {
        case 0: {
            const bool right = chance(50);
            QTest::keyClick(slider, right ? Qt::Key_Right : Qt::Key_Left);
            expected = std::clamp(before + (right ? 1 : -1), 0, 100);
            step_ = QStringLiteral("slider key %1").arg(right ? "right" : "left");
            break;
        }
        case 1: {
            const bool up = chance(50);
            QTest::keyClick(slider, up ? Qt::Key_PageUp : Qt::Key_PageDown);
            expected = std::clamp(before + (up ? 1 : -1), 0, 100);
            step_ = QStringLiteral("slider page %1").arg(up ? "up" : "down");
            break;
        }
        case 2: {
            const bool home = chance(50);
            QTest::keyClick(slider, home ? Qt::Key_Home : Qt::Key_End);
            expected = home ? 0 : 100;
            step_ = QStringLiteral("slider %1").arg(home ? "home" : "end");
            break;
        }
        default:
            // A drag: the handle passes through positions one after another.
            expected = below(101);
            step_ = QStringLiteral("slider drag to %1").arg(expected);
            slider->setSliderDown(true);
            while (slider->sliderPosition() != expected)
                slider->setSliderPosition(slider->sliderPosition() + (expected > slider->sliderPosition() ? 1 : -1));
            slider->setSliderDown(false);
            break;
        }
        settle();
        QCOMPARE(slider->value(), expected);
        QCOMPARE(app().tolerance, expected);
        QCOMPARE(main().透明标签1->text(), QString::number(expected));
    }

    // Picks a colour in a picker: a swatch of its drop-down, the colour
    // dialog, or nothing (the drop-down dismissed). Returns the colour
    // confirmed, if any.
    std::optional<ui::ColourRef> pickColour(ui::ColourPicker* picker) {
        QTest::mouseClick(picker, Qt::LeftButton);
        settle();
        QWidget* popup = QApplication::activePopupWidget();
        if (popup == nullptr) {
            QTest::qFail("the colour picker showed no drop-down", __FILE__, __LINE__);
            return std::nullopt;
        }
        const int how = below(10);
        if (how == 0) {
            step_ += QStringLiteral(" dismissed");
            QTest::keyClick(popup, Qt::Key_Escape);
            settle();
            return std::nullopt;
        }
        if (how == 1) {
            const QColor colour(below(256), below(256), below(256));
            step_ += QStringLiteral(" dialog %1").arg(colour.name());
            answerer_->planColour(colour);
            QTest::mouseClick(popup->findChild<QPushButton*>(QStringLiteral("otherColours")), Qt::LeftButton);
            // The dialog opens from the event loop once the drop-down is gone.
            QElapsedTimer waited;
            waited.start();
            while (answerer_->colourPlanPending() && waited.elapsed() < 10000) QTest::qWait(1);
            if (answerer_->dropColourPlan()) {
                QTest::qFail("no colour dialog appeared", __FILE__, __LINE__);
                return std::nullopt;
            }
            settle();
            return ui::colourRef(colour.red(), colour.green(), colour.blue());
        }
        const auto colours = ui::ColourPicker::paletteColours();
        const ui::ColourRef colour = colours[below(static_cast<int>(colours.size()))];
        const QString name = QString::asprintf("swatch%02X%02X%02X", ui::redOf(colour), ui::greenOf(colour), ui::blueOf(colour));
        step_ += QLatin1Char(' ') + name;
        auto* swatch = popup->findChild<QToolButton*>(name);
        if (swatch == nullptr) {
            QTest::qFail("swatch missing", __FILE__, __LINE__);
            return std::nullopt;
        }
        QTest::mouseClick(swatch, Qt::LeftButton);
        settle();
        return colour;
    }

    void pickKeyColour() {
        const icon::KeyColour before = app().keyColour;
        const bool automatic = main().选择框3->isChecked();
        step_ = QStringLiteral("key colour");
        const auto picked = pickColour(main().颜色选择器1);
        if (QTest::currentTestFailed()) return;
        if (picked) {
            QCOMPARE(app().keyColour, (icon::KeyColour{ui::blueOf(*picked), ui::greenOf(*picked), ui::redOf(*picked)}));
            QVERIFY(!main().选择框3->isChecked());
        } else {
            QCOMPARE(app().keyColour, before);
            QCOMPARE(main().选择框3->isChecked(), automatic);
        }
    }

    void generate() {
        const bool empty = main().图片框1->picture().empty();
        const bool automatic = main().选择框3->isChecked();
        const icon::KeyColour keyBefore = app().keyColour;
        const int size = app().iconSize;
        step_ = QStringLiteral("generate %1").arg(size);
        const ByteBuffer pixelsBefore = app().pixelBuffer;
        QTest::mouseClick(main().按钮1, Qt::LeftButton);
        settle();
        if (empty) {
            expectedMessages_ << kNoPicture;
            QCOMPARE(app().pixelBuffer, pixelsBefore);
            return;
        }
        QCOMPARE(app().pixelSize, size);
        QCOMPARE(main().图片框2->picture(), app().iconBytes);
        const ByteBuffer& shot = app().snapshotBytes;
        QCOMPARE(shot.size(), std::size_t{54} + 3u * size * size);
        const icon::KeyColour key =
            automatic ? icon::KeyColour{shot[shot.size() - 3], shot[shot.size() - 2], shot[shot.size() - 1]} : keyBefore;
        QCOMPARE(app().keyColour, key);
        const int tolerance = app().tolerance;
        for (int k = 0; k < size * size; ++k) {
            const std::uint8_t* s = shot.data() + 54 + 3 * k;
            const std::uint8_t* p = app().pixelBuffer.data() + 4 * k;
            const bool background = tolerance > 0 && std::abs(s[0] - key.blue) <= tolerance &&
                                    std::abs(s[1] - key.green) <= tolerance && std::abs(s[2] - key.red) <= tolerance;
            if (p[0] != s[0] || p[1] != s[1] || p[2] != s[2] || p[3] != (background ? 0 : 255))
                QFAIL(qPrintable(QStringLiteral("pixel %1 not keyed as its snapshot pixel").arg(k)));
        }
        // The editor's history now refers to pixels that are gone.
        pressesTracked_ = false;
        beforePresses_.clear();
    }

    void modify() {
        const bool noIcon = main().图片框2->picture().empty();
        EditorWindow* before = editorWindow();
        step_ = QStringLiteral("modify");
        QTest::mouseClick(main().按钮2, Qt::LeftButton);
        settle();
        if (noIcon) {
            expectedMessages_ << kNoIcon;
            QCOMPARE(editorWindow(), before);
            return;
        }
        EditorWindow* window = editorWindow();
        QVERIFY(window != nullptr);
        QVERIFY(window->isVisible() && !window->isMinimized());
        QCOMPARE(app().editorFinished, 0);
        QVERIFY(main().时钟1->isActive());
        QCOMPARE(main().时钟1->interval(), 1000);
        if (window != before) {
            QVERIFY(before == nullptr);
            QCOMPARE(window->图片框1->picture(), app().iconBytes);
            QVERIFY(window->选择框1->isChecked());
            history_ = 0;
            beforePresses_.clear();
            pressesTracked_ = true;
        }
    }

    void save() {
        const ByteBuffer icon = main().图片框2->picture();
        const QString folder = outFolder_->path();
        QString typed, written;
        switch (below(6)) {
        case 0:
            break;  // cancelled
        case 1:
            if (!saved_.empty()) {
                auto it = saved_.begin();
                std::advance(it, below(static_cast<int>(saved_.size())));
                typed = written = it->first;
                break;
            }
            [[fallthrough]];
        case 2:
            typed = QStringLiteral("%1/plain%2").arg(folder).arg(++savedCount_);
            written = typed + QStringLiteral(".ico");
            break;
        case 3:
            typed = written = QStringLiteral("%1/other%2.png").arg(folder).arg(++savedCount_);
            break;
        default:
            typed = written = QStringLiteral("%1/icon%2.ico").arg(folder).arg(++savedCount_);
            break;
        }
        step_ = typed.isEmpty() ? QStringLiteral("save, cancelled") : QStringLiteral("save %1").arg(QFileInfo(typed).fileName());
        const bool existed = !written.isEmpty() && QFileInfo::exists(written);
        const QStringList filesBefore = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        answerer_->planFile(typed);
        QTest::mouseClick(main().按钮保存, Qt::LeftButton);
        settle();
        const bool noDialog = answerer_->dropFilePlan();
        if (icon.empty()) {
            QVERIFY2(noDialog, "a save dialog without an icon to save");
            QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), filesBefore);
            return;
        }
        QVERIFY2(!noDialog, "no save dialog appeared");
        QCOMPARE(answerer_->takeReplaceQuestions(), existed ? 1 : 0);
        if (typed.isEmpty()) {
            QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), filesBefore);
            return;
        }
        // Exactly the bytes 图片框2 holds, and nothing left beside them.
        // (A tick of the main timer during the dialog may have handed the
        // editor's icon back meanwhile: what counts is what 图片框2 holds.)
        QCOMPARE(test::readFile(written), main().图片框2->picture());
        saved_[written] = main().图片框2->picture();
        QStringList expectedFiles = filesBefore;
        if (!existed) expectedFiles << QFileInfo(written).fileName();
        expectedFiles.sort();
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name), expectedFiles);
    }

    // One tick of the main window's timer, as the timer itself delivers it.
    void tick() {
        QTimer* clock = main().时钟1;
        if (!clock->isActive()) return wait();
        const bool finished = app().editorFinished == 1;
        step_ = QStringLiteral("tick");
        QTimerEvent event(clock->timerId());
        QCoreApplication::sendEvent(clock, &event);
        settle();
        if (finished) {
            QCOMPARE(main().图片框2->picture(), app().iconBytes);
            QVERIFY(!clock->isActive());
        } else {
            QVERIFY(clock->isActive());
        }
    }

    void wait() {
        const int ms = below(15);
        step_ = QStringLiteral("wait %1 ms").arg(ms);
        QTest::qWait(ms);
    }

    // ---- editor ----

    // A point of the editor's picture in its client area (inside the
    // border), sometimes on its very edges.
    QPoint pictureClientPoint() {
        const int size = editorWindow()->图片框1->clientRect().width();
        auto coordinate = [this, size] {
            const int r = below(20);
            return r == 0 ? 0 : r == 1 ? size - 1 : below(size);
        };
        return {coordinate(), coordinate()};
    }

    // The cell the next press acts on: the mouse moves to at, and the
    // picture box takes the move unless the cursor label lies there.
    void moveOverPicture(EditorWindow& window, QPoint client) {
        const QPoint inBox = client + window.图片框1->clientRect().topLeft();
        const bool overBox = window.childAt(window.图片框1->mapTo(&window, inBox)) == window.图片框1;
        const int oldX = editorState().snapX, oldY = editorState().snapY;
        moveTo(window.图片框1, inBox);
        if (overBox) {
            const int cell = 240 / (app().pixelSize == 16 ? 16 : 48);
            QCOMPARE(editorState().snapX, client.x() / cell * cell);
            QCOMPARE(editorState().snapY, client.y() / cell * cell);
            QCOMPARE(window.标签1->geometry(),
                     QRect(window.图片框1->pos() + QPoint(editorState().snapX, editorState().snapY), QSize(cell, cell)));
        } else {
            QCOMPARE(editorState().snapX, oldX);
            QCOMPARE(editorState().snapY, oldY);
        }
    }

    void moveMouse() {
        EditorWindow& window = *editorWindow();
        const QPoint at = pictureClientPoint();
        step_ = QStringLiteral("move %1,%2").arg(at.x()).arg(at.y());
        moveOverPicture(window, at);
    }

    // The press itself and what it must have written.
    void checkPress(EditorWindow& window, const ByteBuffer& before, int presses) {
        history_ += presses;
        const int n = app().pixelSize;
        const int cell = 240 / n;
        const int column = editorState().snapX / cell + 1, row = editorState().snapY / cell + 1;
        const int alphaPosition = (column + (n - row) * n) * 4;
        QCOMPARE(editorState().alphaPosition, alphaPosition);
        ByteBuffer expected = before;
        std::uint8_t* pixel = expected.data() + alphaPosition - 4;
        if (window.选择框1->isChecked()) {
            pixel[3] = 0;
        } else {
            const ui::ColourRef colour = window.drawingColour();
            pixel[0] = ui::blueOf(colour);
            pixel[1] = ui::greenOf(colour);
            pixel[2] = ui::redOf(colour);
            pixel[3] = 255;
        }
        QCOMPARE(app().pixelBuffer, expected);
        QCOMPARE(window.图片框1->picture(), app().iconBytes);
        if (pressesTracked_)
            for (int i = 0; i < presses; ++i) beforePresses_.push_back(i == 0 ? before : expected);
    }

    void pressPicture() {
        EditorWindow& window = *editorWindow();
        const QPoint at = pictureClientPoint();
        const bool twice = chance(10);
        step_ = QStringLiteral("%1 %2,%3").arg(twice ? "double-click" : "press").arg(at.x()).arg(at.y());
        moveOverPicture(window, at);
        const ByteBuffer before = app().pixelBuffer;
        const QPoint inBox = at + window.图片框1->clientRect().topLeft();
        if (twice) {
            // Two presses in quick succession: two writes of the same cell.
            QWidget* top = window.window();
            QTest::mouseDClick(top->windowHandle(), Qt::LeftButton, {}, window.图片框1->mapTo(top, inBox));
        } else {
            clickAt(window.图片框1, inBox);
        }
        settle();
        checkPress(window, before, twice ? 2 : 1);
    }

    void pressCursorLabel() {
        EditorWindow& window = *editorWindow();
        step_ = QStringLiteral("press cursor label");
        const ByteBuffer before = app().pixelBuffer;
        clickAt(window.标签1, window.标签1->rect().center());
        settle();
        checkPress(window, before, 1);
    }

    void undo() {
        EditorWindow& window = *editorWindow();
        const ByteBuffer before = app().pixelBuffer;
        switch (below(3)) {
        case 0:
            step_ = QStringLiteral("undo button");
            QTest::mouseClick(window.按钮1, Qt::LeftButton);
            break;
        case 1: {
            const QPoint at = pictureClientPoint() + window.图片框1->clientRect().topLeft();
            step_ = QStringLiteral("right press %1,%2").arg(at.x()).arg(at.y());
            clickAt(window.图片框1, at, Qt::RightButton);
            break;
        }
        default:
            step_ = QStringLiteral("right press cursor label");
            clickAt(window.标签1, window.标签1->rect().center(), Qt::RightButton);
            break;
        }
        settle();
        if (history_ == 0) {
            expectedMessages_ << kNothingToUndo;
            QCOMPARE(app().pixelBuffer, before);
            return;
        }
        --history_;
        if (pressesTracked_) {
            QCOMPARE(app().pixelBuffer, beforePresses_.back());
            beforePresses_.pop_back();
        }
        QCOMPARE(window.图片框1->picture(), app().iconBytes);
    }

    void pressPalette() {
        EditorWindow& window = *editorWindow();
        const QList<ui::Label*> palette = window.findChildren<ui::Label*>(QRegularExpression(QStringLiteral("^标签[左右][1-7]$")));
        QCOMPARE(palette.size(), 14);
        ui::Label* label = pick(palette);
        step_ = QStringLiteral("palette %1").arg(label->objectName());
        clickAt(label, QPoint(8, 8));
        settle();
        QCOMPARE(window.drawingColour(), label->backgroundColour());
        QVERIFY(!window.选择框1->isChecked());
    }

    void clickTransparent() {
        EditorWindow& window = *editorWindow();
        const bool was = window.选择框1->isChecked();
        step_ = QStringLiteral("click transparent");
        QTest::mouseClick(window.选择框1, Qt::LeftButton, {}, QPoint(6, window.选择框1->height() / 2));
        settle();
        QCOMPARE(window.选择框1->isChecked(), !was);
        QCOMPARE(window.drawingColour(), ui::kDefaultColour);
    }

    void pickDrawingColour() {
        EditorWindow& window = *editorWindow();
        const ui::ColourRef before = window.drawingColour();
        const bool transparent = window.选择框1->isChecked();
        step_ = QStringLiteral("drawing colour");
        const auto picked = pickColour(window.颜色选择器1);
        if (QTest::currentTestFailed()) return;
        QVERIFY(editorWindow() == &window);
        QCOMPARE(window.drawingColour(), picked.value_or(before));
        QCOMPARE(window.选择框1->isChecked(), picked ? false : transparent);
    }

    void openHelp() {
        EditorWindow& window = *editorWindow();
        editor::HelpWindow* before = helpWindow();
        step_ = QStringLiteral("help link");
        clickAt(window.超级链接框1, QPoint(10, 8));
        settle();
        editor::HelpWindow* help = helpWindow();
        QVERIFY(help != nullptr);
        if (before) QCOMPARE(help, before);
        int open = 0;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (qobject_cast<editor::HelpWindow*>(top) && top->isVisible()) ++open;
        QCOMPARE(open, 1);
    }

    void closeHelp() {
        QPointer<editor::HelpWindow> help = helpWindow();
        if (chance(50)) {
            step_ = QStringLiteral("help Esc");
            activate(help);
            QTest::keyClick(help, Qt::Key_Escape);
        } else {
            step_ = QStringLiteral("help close box");
            help->close();
        }
        settle();
        QVERIFY(help.isNull());
    }

    void finish() {
        QPointer<EditorWindow> window = editorWindow();
        const ByteBuffer result = main().图片框2->picture();
        step_ = QStringLiteral("finish");
        QTest::mouseClick(window->按钮2, Qt::LeftButton);
        QCOMPARE(app().editorFinished, 1);
        settle();
        QVERIFY(window.isNull());
        // Handed back only by the timer's next tick, unless one just came.
        if (main().时钟1->isActive()) QCOMPARE(main().图片框2->picture(), result);
        history_ = 0;
        beforePresses_.clear();
    }

    void closeEditor() {
        QPointer<EditorWindow> window = editorWindow();
        const ByteBuffer result = main().图片框2->picture();
        const ByteBuffer icon = app().iconBytes;
        if (chance(50)) {
            step_ = QStringLiteral("editor Esc");
            activate(window);
            QTest::keyClick(window, Qt::Key_Escape);
        } else {
            step_ = QStringLiteral("editor close box");
            window->close();
        }
        settle();
        QVERIFY(window.isNull());
        QCOMPARE(app().iconBytes, icon);
        if (app().editorFinished == 0) QCOMPARE(main().图片框2->picture(), result);
        history_ = 0;
        beforePresses_.clear();
    }

    void minimiseEditor() {
        step_ = QStringLiteral("minimise editor");
        editorWindow()->showMinimized();
        settle();
    }

    // ---- after every action ----

    void checkInvariants() {
        const AppState& s = app();
        QVERIFY(s.iconSize == 48 || s.iconSize == 16);
        QCOMPARE(s.headerTemplate, icon::headerTemplateFor(s.iconSize));
        QCOMPARE(s.maskTemplate, icon::maskTemplateFor(s.iconSize));
        QVERIFY(s.pixelSize == 0 || s.pixelSize == 48 || s.pixelSize == 16);
        QCOMPARE(s.pixelBuffer.size(), icon::pixelBytesFor(s.pixelSize));
        for (std::size_t i = 3; i < s.pixelBuffer.size(); i += 4)
            if (s.pixelBuffer[i] != 0 && s.pixelBuffer[i] != 255) QFAIL("an alpha byte other than 0 or 255");
        if (s.pixelSize == 0) {
            QVERIFY(s.iconBytes.empty());
        } else {
            ByteBuffer whole = icon::headerTemplateFor(s.pixelSize);
            whole.insert(whole.end(), s.pixelBuffer.begin(), s.pixelBuffer.end());
            const ByteBuffer mask = icon::maskTemplateFor(s.pixelSize);
            whole.insert(whole.end(), mask.begin(), mask.end());
            QCOMPARE(s.iconBytes, whole);
            QVERIFY2(decodesAsIcon(s.iconBytes, s.pixelSize), "Qt's ICO reader refuses iconBytes");
        }

        const ByteBuffer& result = main().图片框2->picture();
        if (result != lastResult_) {
            QVERIFY2(result.size() == 9662 || result.size() == 1150, "图片框2 holds no icon");
            QVERIFY2(decodesAsIcon(result, result.size() == 9662 ? 48 : 16), "Qt's ICO reader refuses 图片框2");
            lastResult_ = result;
        }

        QCOMPARE(s.tolerance, main().滑块条1->value());
        QCOMPARE(main().透明标签1->text(), QString::number(s.tolerance));

        if (EditorWindow* window = editorWindow()) {
            const int a = window->列表框1->count(), b = window->列表框2->count(), c = window->列表框3->count();
            QVERIFY2(a == b && b == c, qPrintable(QStringLiteral("history lists of %1, %2 and %3 items").arg(a).arg(b).arg(c)));
            QCOMPARE(c, history_);
        }

        QVERIFY2(QApplication::activeModalWidget() == nullptr, "a modal window was left open");
        QVERIFY(QApplication::activePopupWidget() == nullptr);
        const QStringList problems = answerer_->takeProblems();
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
        QCOMPARE(answerer_->takeReplaceQuestions(), 0);
        QStringList seen;
        for (const auto& message : answerer_->takeMessages()) {
            QVERIFY2(message.plain, qPrintable(QStringLiteral("not a plain message box: ") + message.text));
            seen << message.text;
        }
        QCOMPARE(seen, std::exchange(expectedMessages_, {}));
    }

    void dumpLog(long long seed, long long index) {
        qInfo("seed %lld, failed at action %lld; the actions before it, oldest first:", seed, index);
        for (const QString& line : log_) qInfo("  %s", qPrintable(line));
    }

    std::vector<Choice> choices() {
        std::vector<Choice> list = {
            {"drop", &SoakTest::dropAccepted, 10},     {"drop refused", &SoakTest::dropRefused, 4},
            {"open", &SoakTest::openDialog, 2},        {"size", &SoakTest::clickSizeBox, 5},
            {"auto key", &SoakTest::clickAutomaticKey, 2}, {"slider", &SoakTest::moveSlider, 5},
            {"key colour", &SoakTest::pickKeyColour, 2}, {"generate", &SoakTest::generate, 10},
            {"modify", &SoakTest::modify, 6},          {"save", &SoakTest::save, 3},
            {"tick", &SoakTest::tick, 4},              {"wait", &SoakTest::wait, 1},
        };
        if (EditorWindow* window = editorWindow(); window && !window->isMinimized()) {
            const std::vector<Choice> editing = {
                {"move", &SoakTest::moveMouse, 14},        {"press", &SoakTest::pressPicture, 22},
                {"press cursor", &SoakTest::pressCursorLabel, 5}, {"undo", &SoakTest::undo, 12},
                {"palette", &SoakTest::pressPalette, 6},   {"transparent", &SoakTest::clickTransparent, 3},
                {"drawing colour", &SoakTest::pickDrawingColour, 2}, {"help", &SoakTest::openHelp, 2},
                {"finish", &SoakTest::finish, 3},          {"close editor", &SoakTest::closeEditor, 2},
                {"minimise", &SoakTest::minimiseEditor, 1},
            };
            list.insert(list.end(), editing.begin(), editing.end());
        }
        if (helpWindow()) list.push_back({"close help", &SoakTest::closeHelp, 3});
        return list;
    }
};

void SoakTest::randomUse() {
    const long long actions = environmentNumber("YZICON_SOAK_ACTIONS", 1500);
    const long long seed = environmentNumber("YZICON_SOAK_SEED", 20240611);
    random_.seed(static_cast<std::uint64_t>(seed));
    qInfo("soak: %lld actions, seed %lld", actions, seed);

    inFolder_ = std::make_unique<QTemporaryDir>();
    outFolder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(inFolder_->isValid() && outFolder_->isValid());
    shelf_ = std::make_unique<PictureShelf>(inFolder_->path(), random_);
    QVERIFY(shelf_->accepted().size() > 20);
    answerer_ = std::make_unique<soak::ModalAnswerer>();
    session_ = std::make_unique<test::Session>();

    std::map<std::string, long long> counts;
    QElapsedTimer clock;
    clock.start();
    for (long long i = 0; i < actions; ++i) {
        const std::vector<Choice> list = choices();
        int total = 0;
        for (const Choice& c : list) total += c.weight;
        int roll = below(total);
        const Choice* chosen = &list.front();
        for (const Choice& c : list) {
            if (roll < c.weight) {
                chosen = &c;
                break;
            }
            roll -= c.weight;
        }
        step_ = QString::fromUtf8(chosen->name);
        (this->*chosen->action)();
        if (!QTest::currentTestFailed()) checkInvariants();
        log_.push_back(QStringLiteral("%1: %2").arg(i).arg(step_));
        if (log_.size() > 40) log_.pop_front();
        if (QTest::currentTestFailed()) return dumpLog(seed, i);
        ++counts[chosen->name];
    }

    // Every file saved still holds what was saved into it.
    for (const auto& [path, bytes] : saved_) QCOMPARE(test::readFile(path), bytes);

    qInfo("soak: %lld actions in %.1f s, %zu files saved", actions, clock.elapsed() / 1000.0, saved_.size());
    QString tally;
    for (const auto& [name, count] : counts) tally += QStringLiteral("%1 %2, ").arg(QString::fromStdString(name)).arg(count);
    qInfo("soak: %s", qPrintable(tally));

    if (EditorWindow* window = editorWindow()) delete window;
    if (editor::HelpWindow* help = helpWindow()) delete help;
    session_.reset();
    answerer_.reset();
}

int main(int argc, char** argv) {
    // A full run takes minutes; QtTest's own five-minute limit per test
    // function would cut it short.
    if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT")) qputenv("QTEST_FUNCTION_TIMEOUT", "86400000");
    QApplication app(argc, argv);
    yz::ui::setUpApplication(app);
    SoakTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "soak_test.moc"
