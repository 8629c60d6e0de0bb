// Start-up probe for bench/startup. Built twice from this file:
//
//   startup_probe_program  the program as main.cpp starts it (the frame's
//                          runProgram: MainWindow created, its creation step
//                          run, centred, shown, the event loop)
//   startup_probe_empty    an empty window of the same size, with the same
//                          application set-up (Fusion style, palette, font)
//   startup_probe_text     that empty window with two lines of the program's
//                          Chinese text, one in each of its two font faces:
//                          what drawing any Chinese text costs at start-up
//
// Each prints "painted NS" with the CLOCK_MONOTONIC time at which the first
// paint of its window has been flushed to the window system, so the caller
// can subtract the time it launched the probe. Then it quits.
//
// startup_probe_program --load FILE then takes FILE in the way a drop does
// (MainWindow::dropPicture), lets the picture box paint it, and prints
// "rss_start KIB", "rss_loaded KIB" and "peak_loaded KIB" (VmRSS before and
// after, VmHWM after) and "load_ns NS" (from the drop to the painted
// picture) before quitting.

#include <time.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>

#include "ui/controls/look.h"

#ifdef YZICON_PROBE_PROGRAM
#include "app/frame.h"
#include "ui/controls/picture_box.h"
#else
#include <QLabel>
#include <QWidget>
#endif

namespace {

long long monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

[[maybe_unused]] long long statusKib(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Calls then() once, after the first paint of window has reached the
// window system: the paint itself runs inside the backing store's sync,
// whose flush follows before the event loop takes the next posted call.
class FirstPaint : public QObject {
public:
    FirstPaint(QWidget* window, std::function<void()> then) : window_(window), then_(std::move(then)) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!done_ && watched == window_ && event->type() == QEvent::Paint) {
            done_ = true;
            qApp->removeEventFilter(this);
            QTimer::singleShot(0, qApp, then_);
        }
        return false;
    }

private:
    QWidget* window_;
    std::function<void()> then_;
    bool done_ = false;
};

void painted() {
    std::printf("painted %lld\n", monotonicNs());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication app(qtArgc, argv);
    yz::ui::setUpApplication(app);

#ifdef YZICON_PROBE_PROGRAM
    // As startApplication does, then runProgram as it is; only the probe's
    // own watcher is added, before the window exists.
    app.setWindowIcon(QIcon(QStringLiteral(":/yzicon.ico")));
    const QString load = argc == 3 && QByteArray(argv[1]) == "--load" ? QString::fromLocal8Bit(argv[2]) : QString();
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    static yz::app::Program program;
    std::unique_ptr<FirstPaint> watcher;
    // MainWindow is created inside runProgram; catch it as it is first shown.
    struct Catch : QObject {
        std::function<void(QWidget*)> found;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Show && watched->objectName() == QStringLiteral("MainWindow")) {
                qApp->removeEventFilter(this);
                found(static_cast<QWidget*>(watched));
            }
            return false;
        }
    } catcher;
    catcher.found = [&](QWidget* window) {
        watcher = std::make_unique<FirstPaint>(window, [&, window] {
            painted();
            if (load.isEmpty()) {
                window->close();
                return;
            }
            const long long before = statusKib("VmRSS");
            const long long start = monotonicNs();
            program.mainWindow->dropPicture(load);
            program.mainWindow->图片框1->repaint();
            QCoreApplication::processEvents();
            const long long shown = monotonicNs();
            std::printf("rss_start %lld\nrss_loaded %lld\npeak_loaded %lld\nload_ns %lld\n", before,
                        statusKib("VmRSS"), statusKib("VmHWM"), shown - start);
            std::fflush(stdout);
            window->close();
        });
    };
    app.installEventFilter(&catcher);
    return yz::app::runProgram(program);
#else
    QWidget window;
    window.setWindowTitle(QStringLiteral("砚舟专用图标生成器"));
    window.setFixedSize(257, 353);
    const QRect area = window.screen()->availableGeometry();
    window.move(area.x() + (area.width() - 263) / 2, area.y() + (area.height() - 381) / 2);
#ifdef YZICON_PROBE_TEXT
    auto* hint = new QLabel(QStringLiteral("支持拖入图片"), &window);
    hint->setFont(yz::ui::songFont(20, true));
    hint->setGeometry(27, 77, 128, 40);
    auto* button = new QLabel(QStringLiteral("更换图片"), &window);
    button->setGeometry(15, 160, 152, 32);
#endif
    FirstPaint watcher(&window, [&window] {
        painted();
        window.close();
    });
    window.show();
    return QApplication::exec();
#endif
}
