// Our Qt controls on their own: what each keeps, shows and raises.

#include <sys/stat.h>
#include <unistd.h>

#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>

#include "ui/controls/buttons.h"
#include "ui/controls/colour_picker.h"
#include "ui/controls/file_dialog.h"
#include "ui/controls/file_drop_target.h"
#include "ui/controls/files.h"
#include "ui/controls/labels.h"
#include "ui/controls/message_box.h"
#include "ui/controls/picture_box.h"
#include "ui_test_support.h"

using namespace yz;
using namespace yz::ui;

namespace {

// Runs the rest of a scope with the effective user "nobody" when the tests
// run as root, for whom permission bits would not stop a write.
struct WithoutRootPowers {
    bool switched = false;
    WithoutRootPowers() { switched = ::geteuid() == 0 && ::seteuid(65534) == 0; }
    ~WithoutRootPowers() {
        if (switched && ::seteuid(0) != 0) qFatal("could not get root back");
    }
};

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

}  // namespace

class ControlsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { test::failOnUnexpectedWarnings(); }
    void cleanup() { test::stopWaiting(); }

    void pictureBoxGivesBackExactlyTheBytesSet_data();
    void pictureBoxGivesBackExactlyTheBytesSet();
    void pictureBoxShowsTheRendererPixelForPixel_data();
    void pictureBoxShowsTheRendererPixelForPixel();
    void pictureBoxReportsMouseInClientCoordinates();
    void labelKeepsItsColourValueAndPaintsIt();
    void transparentLabelDrawsOnlyItsText();
    void checkBoxHasToggledWhenClickedIsRaised();
    void sliderStepsByOne();
    void colourPickerRaisesEveryConfirmedColour();
    void colourPickerDialogConfirmsAnyColour();
    void messageBoxIsPlainAndOwnedByNoWindow();
    void fileDialogFilterShowsTheDescriptionsOnly_data();
    void fileDialogFilterShowsTheDescriptionsOnly();
    void fileDialogCancelKeepsTheName();
    void fileDialogOpenNeedsAnExistingFile();
    void fileDialogSaveCompletesTheExtension();
    void dropTextTakesLocalFilesOnly_data();
    void dropTextTakesLocalFilesOnly();
    void dropTargetDeliversDropsOnTheWindow();
    void readWholeFileTakesRegularFilesOnly();
    void writeWholeFileReplacesWholeOrNothing();
};

void ControlsTest::pictureBoxGivesBackExactlyTheBytesSet_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not a picture") << QByteArray("not a picture at all");
    QTest::newRow("truncated BMP") << QByteArray("BM\x10\0\0\0", 6);
    const ByteBuffer bmp = test::framedPicture(8, 0xFFFFFFFF, 0xFFFF0000);
    QTest::newRow("BMP") << QByteArray(reinterpret_cast<const char*>(bmp.data()), static_cast<qsizetype>(bmp.size()));
}

void ControlsTest::pictureBoxGivesBackExactlyTheBytesSet() {
    QFETCH(QByteArray, bytes);
    PictureBox box;
    QVERIFY(box.picture().empty());
    const ByteBuffer given(bytes.begin(), bytes.end());
    box.setPicture(given);
    QCOMPARE(box.picture(), given);
}

void ControlsTest::pictureBoxShowsTheRendererPixelForPixel_data() {
    QTest::addColumn<bool>("border");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("no border, reduced") << false << 13 << 7;
    QTest::newRow("no border, enlarged unevenly") << false << 61 << 37;
    QTest::newRow("single-line border") << true << 42 << 42;
}

// The box must show exactly what the renderer makes at the client size, so
// that a capture of it agrees with the converter.
void ControlsTest::pictureBoxShowsTheRendererPixelForPixel() {
    QFETCH(bool, border);
    QFETCH(int, width);
    QFETCH(int, height);
    const ByteBuffer bmp = test::makeBmp(20, 10, [](int x, int y) { return qRgb(x * 12, y * 25, 200 - x * 5); });
    PictureBox box;
    box.setBorder(border);
    box.resize(width, height);
    box.setPicture(bmp);
    const QRect client = box.clientRect();
    QCOMPARE(client, border ? QRect(1, 1, width - 2, height - 2) : QRect(0, 0, width, height));

    const imaging::Rendering expected = imaging::renderPicture(bmp, client.width(), client.height());
    QVERIFY2(expected.drawn, expected.error.c_str());
    QCOMPARE(test::grabExactly(&box, client), test::toQImage(expected.image));
    if (border) {
        const QImage whole = test::grabExactly(&box, box.rect());
        QCOMPARE(whole.pixel(0, 0), qRgb(0, 0, 0));
        QCOMPARE(whole.pixel(width - 1, height / 2), qRgb(0, 0, 0));
    }

    // Bytes nothing can decode leave the button face alone.
    box.setPicture(ByteBuffer{'x', 'y', 'z'});
    const QImage blank = test::grabExactly(&box, client);
    QCOMPARE(blank.pixel(0, 0), qRgb(0xF0, 0xF0, 0xF0));
    QCOMPARE(blank.pixel(client.width() - 1, client.height() - 1), qRgb(0xF0, 0xF0, 0xF0));
}

void ControlsTest::pictureBoxReportsMouseInClientCoordinates() {
    PictureBox box;
    box.setBorder(true);
    box.resize(50, 50);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QSignalSpy moved(&box, &PictureBox::mouseMoved);
    QSignalSpy left(&box, &PictureBox::leftPressed);
    QSignalSpy right(&box, &PictureBox::rightPressed);
    QTest::mouseMove(&box, QPoint(10, 12));
    QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(10, 12));
    QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(10, 12));
    QTest::mousePress(&box, Qt::RightButton, {}, QPoint(1, 1));
    QTest::mouseRelease(&box, Qt::RightButton, {}, QPoint(1, 1));
    QVERIFY(!moved.isEmpty());
    QCOMPARE(moved.last(), (QList<QVariant>{9, 11}));
    QCOMPARE(left.size(), 1);
    QCOMPARE(left.first(), (QList<QVariant>{9, 11}));
    QCOMPARE(right.size(), 1);
    QCOMPARE(right.first(), (QList<QVariant>{0, 0}));
}

void ControlsTest::labelKeepsItsColourValueAndPaintsIt() {
    Label label;
    label.resize(16, 16);
    label.setBorder(Label::Border::Single);
    QCOMPARE(label.backgroundColour(), kDefaultColour);
    QCOMPARE(test::grabExactly(&label, label.rect()).pixel(8, 8), qRgb(0xF0, 0xF0, 0xF0));
    label.setBackgroundColour(colourRef(255, 128, 0));
    QCOMPARE(label.backgroundColour(), 0x000080FFu);
    const QImage shown = test::grabExactly(&label, label.rect());
    QCOMPARE(shown.pixel(8, 8), qRgb(255, 128, 0));
    QCOMPARE(shown.pixel(0, 0), qRgb(0, 0, 0));

    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));
    QSignalSpy left(&label, &Label::leftPressed);
    QSignalSpy right(&label, &Label::rightPressed);
    QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(3, 4));
    QTest::mouseClick(&label, Qt::RightButton, {}, QPoint(5, 6));
    QCOMPARE(left.size(), 1);
    QCOMPARE(left.first(), (QList<QVariant>{3, 4}));
    QCOMPARE(right.size(), 1);
}

void ControlsTest::transparentLabelDrawsOnlyItsText() {
    QWidget parent;
    parent.resize(60, 30);
    auto* box = new PictureBox(&parent);
    box->setGeometry(0, 0, 60, 30);
    box->setPicture(test::makeBmp(4, 4, [](int, int) { return qRgb(0, 0, 255); }));
    auto* label = new TransparentLabel(QStringLiteral("字"), &parent);
    label->setGeometry(0, 0, 60, 30);
    label->setFont(songFont(20, true));
    label->setTextColour(Qt::black);
    const QImage shown = test::grabExactly(&parent, parent.rect());
    // Beside the text the picture shows through; the text itself is drawn.
    QCOMPARE(shown.pixel(55, 25), qRgb(0, 0, 255));
    bool anyDark = false;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) anyDark = anyDark || qBlue(shown.pixel(x, y)) < 100;
    QVERIFY(anyDark);
}

void ControlsTest::checkBoxHasToggledWhenClickedIsRaised() {
    CheckBox box(QStringLiteral("选项"));
    box.resize(100, 24);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QList<bool> seen;
    connect(&box, &QCheckBox::clicked, &box, [&] { seen << box.isChecked(); });
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(6, 12));
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(6, 12));
    QCOMPARE(seen, (QList<bool>{true, false}));
    box.setChecked(true);
    QCOMPARE(seen.size(), 2);
}

void ControlsTest::sliderStepsByOne() {
    Slider slider(0, 100);
    slider.resize(216, 16);
    slider.setValue(35);
    slider.show();
    QVERIFY(QTest::qWaitForWindowExposed(&slider));
    slider.setFocus();
    QSignalSpy changed(&slider, &QSlider::valueChanged);
    QTest::keyClick(&slider, Qt::Key_Right);
    QCOMPARE(slider.value(), 36);
    QTest::keyClick(&slider, Qt::Key_PageDown);
    QCOMPARE(slider.value(), 35);
    QTest::keyClick(&slider, Qt::Key_End);
    QCOMPARE(slider.value(), 100);
    QCOMPARE(changed.size(), 3);
    QCOMPARE(slider.tickPosition(), QSlider::NoTicks);
}

void ControlsTest::colourPickerRaisesEveryConfirmedColour() {
    ColourPicker picker;
    picker.resize(64, 24);
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    QCOMPARE(picker.colour(), colourRef(0, 0, 0));
    for (ColourRef c : ColourPicker::paletteColours()) QVERIFY(c <= 0x00FFFFFFu);

    QSignalSpy picked(&picker, &ColourPicker::colourPicked);
    const QString red = QStringLiteral("swatchFF0000");
    for (int round = 0; round < 2; ++round) {  // the second time the colour is already shown
        QTest::mouseClick(&picker, Qt::LeftButton);
        QWidget* popup = QApplication::activePopupWidget();
        QVERIFY(popup != nullptr);
        auto* swatch = popup->findChild<QToolButton*>(red);
        QVERIFY(swatch != nullptr);
        QTest::mouseClick(swatch, Qt::LeftButton);
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    }
    QCOMPARE(picked.size(), 2);
    QCOMPARE(picked.at(0).at(0).toUInt(), 0x000000FFu);
    QCOMPARE(picked.at(1).at(0).toUInt(), 0x000000FFu);
    QCOMPARE(picker.colour(), 0x000000FFu);

    picker.setColour(colourRef(1, 2, 3));
    QCOMPARE(picked.size(), 2);
}

void ControlsTest::colourPickerDialogConfirmsAnyColour() {
    ColourPicker picker;
    picker.resize(64, 24);
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    QSignalSpy picked(&picker, &ColourPicker::colourPicked);

    auto openDialog = [&picker] {
        QTest::mouseClick(&picker, Qt::LeftButton);
        QWidget* popup = QApplication::activePopupWidget();
        QVERIFY(popup != nullptr);
        auto* other = popup->findChild<QPushButton*>(QStringLiteral("otherColours"));
        QVERIFY(other != nullptr);
        QTest::mouseClick(other, Qt::LeftButton);
    };

    bool answered = false;
    test::whenModal<QColorDialog>([&](QColorDialog* dialog) {
        answered = true;
        dialog->reject();
    });
    openDialog();
    QTRY_VERIFY(answered);
    QTest::qWait(20);
    QCOMPARE(picked.size(), 0);

    test::whenModal<QColorDialog>([](QColorDialog* dialog) {
        dialog->setCurrentColor(QColor(255, 128, 0));
        dialog->accept();
    });
    openDialog();
    QTRY_COMPARE(picked.size(), 1);
    QCOMPARE(picked.at(0).at(0).toUInt(), colourRef(255, 128, 0));
    QCOMPARE(picker.colour(), colourRef(255, 128, 0));
}

void ControlsTest::messageBoxIsPlainAndOwnedByNoWindow() {
    auto seen = test::pressOkOnMessages();
    showMessage(QStringLiteral("请先加入需要生成的图片"));
    QCOMPARE(seen->size(), 1u);
    QCOMPARE(seen->at(0).text, QStringLiteral("请先加入需要生成的图片"));
    QCOMPARE(seen->at(0).title, QStringLiteral("信息："));
    QVERIFY(seen->at(0).plain);
}

void ControlsTest::fileDialogFilterShowsTheDescriptionsOnly_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("qtFilters");
    QTest::addColumn<QString>("shown");
    QTest::newRow("open") << QStringLiteral("图片文件（*.jpg;*.bmp）|*.jpg;*.bmp")
                          << QStringList{QStringLiteral("图片文件（*.jpg;*.bmp） (*.jpg *.bmp)")}
                          << QStringLiteral("图片文件（*.jpg;*.bmp）");
    QTest::newRow("save") << QStringLiteral("图片文件（*.ico）|*.ico")
                          << QStringList{QStringLiteral("图片文件（*.ico） (*.ico)")}
                          << QStringLiteral("图片文件（*.ico）");
    QTest::newRow("two entries") << QStringLiteral("A|*.a|B|*.b;*.c")
                                 << QStringList{QStringLiteral("A (*.a)"), QStringLiteral("B (*.b *.c)")}
                                 << QStringLiteral("A");
}

void ControlsTest::fileDialogFilterShowsTheDescriptionsOnly() {
    QFETCH(QString, filter);
    QFETCH(QStringList, qtFilters);
    QFETCH(QString, shown);
    QCOMPARE(FileDialog::qtNameFilters(filter), qtFilters);

    FileDialog dialog;
    dialog.setFilter(filter);
    QString seen;
    test::whenModal<QFileDialog>([&seen](QFileDialog* d) {
        if (auto* combo = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) seen = combo->currentText();
        d->reject();
    });
    QVERIFY(!dialog.show(nullptr));
    QCOMPARE(seen, shown);
}

void ControlsTest::fileDialogCancelKeepsTheName() {
    QTemporaryDir dir;
    const QString earlier = dir.filePath(QStringLiteral("earlier.bmp"));
    QVERIFY(test::writeFile(earlier, {1, 2, 3}));
    FileDialog dialog;
    dialog.setFileName(earlier);
    QString offered;
    test::whenModal<QFileDialog>([&offered](QFileDialog* d) {
        offered = d->selectedFiles().value(0);
        d->reject();
    });
    QVERIFY(!dialog.show(nullptr));
    QCOMPARE(offered, earlier);
    QCOMPARE(dialog.fileName(), earlier);
}

void ControlsTest::fileDialogOpenNeedsAnExistingFile() {
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("here.jpg"));
    QVERIFY(test::writeFile(existing, {0xFF, 0xD8}));
    FileDialog dialog;
    dialog.setKind(FileDialog::Kind::Open);
    dialog.setFilter(QStringLiteral("图片文件（*.jpg;*.bmp）|*.jpg;*.bmp"));

    // A missing name is refused with Qt's own warning; the dialog stays.
    bool stayedOpen = false;
    test::whenModal<QFileDialog>([&](QFileDialog* d) {
        test::whenModal<QMessageBox>([&, d](QMessageBox* warning) {
            warning->accept();
            QTimer::singleShot(0, d, [&, d] {
                stayedOpen = d->isVisible();
                test::chooseInDialog(d, existing);
            });
        });
        test::chooseInDialog(d, dir.filePath(QStringLiteral("missing.jpg")));
    });
    QVERIFY(dialog.show(nullptr));
    QVERIFY(stayedOpen);
    QCOMPARE(dialog.fileName(), existing);
}

void ControlsTest::fileDialogSaveCompletesTheExtension() {
    QTemporaryDir dir;
    FileDialog dialog;
    dialog.setKind(FileDialog::Kind::Save);
    dialog.setFilter(QStringLiteral("图片文件（*.ico）|*.ico"));
    dialog.setDefaultExtension(QStringLiteral("图片文件（*.ico）|*.ico"));
    // The icon saved last exists and is preselected; the name typed wins.
    const QString start = dir.filePath(QStringLiteral("start.ico"));
    QVERIFY(test::writeFile(start, {0, 0, 1, 0}));
    dialog.setFileName(start);
    test::whenModal<QFileDialog>([](QFileDialog* d) {
        test::chooseInDialog(d, QStringLiteral("typed"));
    });
    QVERIFY(dialog.show(nullptr));
    QCOMPARE(dialog.fileName(), dir.filePath(QStringLiteral("typed.ico")));

    // Another extension typed is kept as it is.
    test::whenModal<QFileDialog>([](QFileDialog* d) {
        test::chooseInDialog(d, QStringLiteral("other.png"));
    });
    QVERIFY(dialog.show(nullptr));
    QCOMPARE(dialog.fileName(), dir.filePath(QStringLiteral("other.png")));
}

void ControlsTest::dropTextTakesLocalFilesOnly_data() {
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one file") << QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/p/图.jpg"))} << QString()
                              << QStringLiteral("/p/图.jpg");
    QTest::newRow("two files") << QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/p/a.jpg")),
                                              QUrl::fromLocalFile(QStringLiteral("/p/b.jpg"))}
                               << QString() << QStringLiteral("/p/a.jpg\r\n/p/b.jpg\r\n");
    QTest::newRow("text") << QList<QUrl>{} << QStringLiteral("/p/a.jpg") << QString();
    QTest::newRow("web link") << QList<QUrl>{QUrl(QStringLiteral("https://example.org/a.jpg"))} << QString()
                              << QString();
    QTest::newRow("file and link") << QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/p/a.jpg")),
                                                  QUrl(QStringLiteral("https://example.org/b.jpg"))}
                                   << QString() << QString();
}

void ControlsTest::dropTextTakesLocalFilesOnly() {
    QFETCH(QList<QUrl>, urls);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QMimeData data;
    if (!urls.isEmpty()) data.setUrls(urls);
    if (!text.isEmpty()) data.setText(text);
    QCOMPARE(FileDropTarget::dropText(&data), expected);
}

void ControlsTest::dropTargetDeliversDropsOnTheWindow() {
    QWidget window;
    window.resize(100, 100);
    FileDropTarget target(&window);
    QSignalSpy dropped(&target, &FileDropTarget::filesDropped);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/p/a.bmp"))});
    QMimeData text;
    text.setText(QStringLiteral("/p/a.bmp"));

    auto enter = [&window](const QMimeData* data) {
        QDragEnterEvent event(QPoint(50, 50), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(&window, &event);
        return event.isAccepted();
    };
    auto drop = [&window](const QMimeData* data) {
        QDropEvent event(QPointF(50, 50), Qt::CopyAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(&window, &event);
    };

    QVERIFY(!window.acceptDrops());
    target.registerOnWindow();
    QVERIFY(window.acceptDrops());
    QVERIFY(!enter(&files));  // registered, but not yet set to accept files
    target.setAcceptFiles(true);
    QVERIFY(!enter(&text));
    drop(&text);
    QVERIFY(enter(&files));
    drop(&files);
    QTRY_COMPARE(dropped.size(), 1);
    QCOMPARE(dropped.at(0).at(0).toString(), QStringLiteral("/p/a.bmp"));
}

void ControlsTest::readWholeFileTakesRegularFilesOnly() {
    QTemporaryDir dir;
    const ByteBuffer content{0, 1, 2, 0xFF, 'B', 'M'};
    const QString plain = dir.filePath(QStringLiteral("名字.bmp"));
    QVERIFY(test::writeFile(plain, content));
    QCOMPARE(readWholeFile(plain), content);
    QVERIFY(readWholeFile(dir.filePath(QStringLiteral("missing.bmp"))).empty());
    QVERIFY(readWholeFile(dir.path()).empty());
    QVERIFY(readWholeFile(QString()).empty());

    // A FIFO with no writer would block a plain read forever.
    const QString fifo = dir.filePath(QStringLiteral("pipe.jpg"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(readWholeFile(fifo).empty());
    QVERIFY(clock.elapsed() < 2000);

    // Larger than the cap: refused without reading it (the file is sparse).
    QFile huge(dir.filePath(QStringLiteral("huge.bmp")));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    QVERIFY(huge.resize(static_cast<qint64>(kMaxFileBytes) + 1));
    huge.close();
    QVERIFY(readWholeFile(huge.fileName()).empty());
}

void ControlsTest::writeWholeFileReplacesWholeOrNothing() {
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                  QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                                  QFile::ExeOther));
    const QString target = dir.filePath(QStringLiteral("icon.ico"));
    QVERIFY(test::writeFile(target, ByteBuffer(5000, 0xAB)));
    const ByteBuffer icon(1150, 0x11);
    QVERIFY(writeWholeFile(target, icon));
    QCOMPARE(test::readFile(target), icon);
    QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("icon.ico")});

    // A new file in the same folder.
    const QString fresh = dir.filePath(QStringLiteral("new.ico"));
    QVERIFY(writeWholeFile(fresh, icon));
    QCOMPARE(test::readFile(fresh), icon);

    // A folder is never replaced.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.ico")));
    QVERIFY(!writeWholeFile(dir.filePath(QStringLiteral("folder.ico")), icon));
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder.ico"))).isDir());

    // A folder the user may not write to: the old file stays as it was and
    // nothing is left behind.
    const QString lockedFolder = dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("locked")));
    const QString lockedFile = lockedFolder + QStringLiteral("/old.ico");
    const ByteBuffer old(9662, 0x22);
    QVERIFY(test::writeFile(lockedFile, old));
    QVERIFY(QFile::setPermissions(lockedFile, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QVERIFY(QFile::setPermissions(lockedFolder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                                    QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
    {
        WithoutRootPowers asUser;
        QVERIFY(!writeWholeFile(lockedFile, icon));
        QVERIFY(!writeWholeFile(lockedFolder + QStringLiteral("/new.ico"), icon));
    }
    QCOMPARE(test::readFile(lockedFile), old);
    QCOMPARE(entriesOf(lockedFolder), QStringList{QStringLiteral("old.ico")});
    QVERIFY(QFile::setPermissions(lockedFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

YZ_UI_TEST_MAIN(ControlsTest)
#include "controls_test.moc"
