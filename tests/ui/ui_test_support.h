#pragma once

// Shared by the widget tests: the application set up as the program sets it
// up, Qt warnings turned into failures, small BMP fixtures, and a way to
// answer modal message boxes and dialogs for real from a timer.

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QImage>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <memory>

#include "imaging/byte_buffer.h"
#include "imaging/render.h"
#include "ui/controls/look.h"

namespace yz::test {

// Every test function fails on any Qt warning except the offscreen
// platform's notes about window features it does not have.
inline void failOnUnexpectedWarnings() {
    QTest::failOnWarning(QRegularExpression(QStringLiteral(
        "^(?!This plugin does not support|QFont::setPixelSize|propagateSizeHints).*")));
}

// A 24-bit bottom-up BMP file image whose pixel (x, y), counted from the top
// left, is colour(x, y).
inline ByteBuffer makeBmp(int width, int height, const std::function<QRgb(int, int)>& colour) {
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    ByteBuffer bmp(54 + stride * height, 0);
    auto put32 = [&bmp](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<std::uint32_t>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    bmp[26] = 1;
    bmp[28] = 24;
    put32(34, static_cast<std::uint32_t>(stride * height));
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bmp.data() + 54 + stride * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const QRgb c = colour(x, y);
            row[3 * x] = static_cast<std::uint8_t>(qBlue(c));
            row[3 * x + 1] = static_cast<std::uint8_t>(qGreen(c));
            row[3 * x + 2] = static_cast<std::uint8_t>(qRed(c));
        }
    }
    return bmp;
}

// A picture with a plain background and a differently coloured block in
// the middle: keying the background leaves the block.
inline ByteBuffer framedPicture(int size, QRgb background, QRgb block) {
    return makeBmp(size, size, [=](int x, int y) {
        const bool inside = x >= size / 4 && x < size * 3 / 4 && y >= size / 4 && y < size * 3 / 4;
        return inside ? block : background;
    });
}

inline bool writeFile(const QString& path, const ByteBuffer& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) ==
           static_cast<qint64>(bytes.size());
}

inline ByteBuffer readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray all = file.readAll();
    return ByteBuffer(all.begin(), all.end());
}

// The widget as displayed, one image pixel per widget pixel.
inline QImage grabExactly(QWidget* widget, const QRect& area) {
    QImage image(area.size(), QImage::Format_RGB32);
    image.setDevicePixelRatio(1);
    image.fill(Qt::magenta);
    widget->render(&image, QPoint(), QRegion(area));
    return image;
}

inline QImage toQImage(const imaging::RgbImage& rgb) {
    return QImage(rgb.rgb.data(), rgb.width, rgb.height, rgb.width * 3, QImage::Format_RGB888)
        .convertToFormat(QImage::Format_RGB32);
}

// Modal widgets already handed to an answer: each is answered once, even
// while it is still closing.
inline std::vector<QPointer<QWidget>>& answeredModals() {
    static std::vector<QPointer<QWidget>> answered;
    return answered;
}

// Waits, from the event loop, for the application's active modal widget to
// be a T not answered yet (and, with wanted, one it accepts), then hands it
// to answer. Several may wait at the same time (a save dialog, then its
// overwrite question; two messages in a row). Gives up after timeoutMs.
template <class T>
void whenModal(std::function<void(T*)> answer, int timeoutMs = 10000, std::function<bool(T*)> wanted = {}) {
    auto* timer = new QTimer(qApp);
    timer->setObjectName(QStringLiteral("yzModalWaiter"));
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, answer, timeoutMs, wanted] {
        auto* widget = qobject_cast<T*>(QApplication::activeModalWidget());
        auto& answered = answeredModals();
        if (widget && (!wanted || wanted(widget)) &&
            std::find(answered.begin(), answered.end(), QPointer<QWidget>(widget)) == answered.end()) {
            answered.emplace_back(widget);
            timer->stop();
            timer->deleteLater();
            answer(widget);
        } else if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

// Drops every waiter still waiting, so none outlives its test function.
inline void stopWaiting() {
    for (QTimer* timer : qApp->findChildren<QTimer*>(QStringLiteral("yzModalWaiter"), Qt::FindDirectChildrenOnly))
        delete timer;
}

// Chooses path (absolute, or relative to the dialog's folder) in a file
// dialog and presses its accept button. The dialog preselects the file
// chosen last; a user's typing in the focused name box drops that
// selection, but offscreen the box has no focus, and the dialog would
// return the old file. selectFile drops it, and fills the box when it has
// no focus; the name is typed as well for when it has.
inline void chooseInDialog(QFileDialog* dialog, const QString& path) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (edit == nullptr) {
        QTest::qFail("file dialog without its name box", __FILE__, __LINE__);
        dialog->reject();
        return;
    }
    dialog->selectFile(path);
    edit->setText(path);
    static_cast<QDialog*>(dialog)->accept();
}

// What a message box showed.
struct SeenMessage {
    QString text;
    QString title;
    bool plain = false;  // no icon, OK only, no owner, application modal
};

// Answers the next count message boxes with OK, recording each.
inline std::shared_ptr<std::vector<SeenMessage>> pressOkOnMessages(int count = 1) {
    auto seen = std::make_shared<std::vector<SeenMessage>>();
    for (int i = 0; i < count; ++i) {
        whenModal<QMessageBox>([seen](QMessageBox* box) {
            const auto buttons = box->buttons();
            const bool okOnly = buttons.size() == 1 && box->standardButton(buttons.front()) == QMessageBox::Ok;
            seen->push_back({box->text(), box->windowTitle(),
                             okOnly && box->icon() == QMessageBox::NoIcon && box->parentWidget() == nullptr &&
                                 box->windowModality() == Qt::ApplicationModal});
            if (okOnly)
                buttons.front()->click();
            else
                box->reject();
        });
    }
    return seen;
}

}  // namespace yz::test

// main() for a widget test: the application as the program sets it up.
#define YZ_UI_TEST_MAIN(TestClass)                     \
    int main(int argc, char** argv) {                  \
        QApplication app(argc, argv);                  \
        yz::ui::setUpApplication(app);                 \
        TestClass test;                                \
        return QTest::qExec(&test, argc, argv);        \
    }
