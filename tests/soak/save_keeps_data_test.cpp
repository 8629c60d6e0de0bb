// "保存" on a full disk, with a file-size limit standing in for it: the file
// that was there stays exactly as it was, nothing is left beside it, and the
// user is told. The same save succeeds once there is room again. (A folder
// the user may not write to is covered with the other saving tests.)

#include <signal.h>
#include <sys/resource.h>

#include <QTemporaryDir>
#include <QtTest>

#include "main_window_support.h"
#include "modal_answerer.h"
#include "ui/main/main_window.h"
#include "ui_test_support.h"

using namespace yz;

namespace {

const QString kSaveFailed = QStringLiteral("保存失败，请检查保存位置是否可以写入");

// Files larger than limit bytes cannot be written while it lives: a write
// past the limit fails with EFBIG instead of raising SIGXFSZ, as a write
// on a full disk fails with ENOSPC.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        ok_ = ::getrlimit(RLIMIT_FSIZE, &saved_) == 0;
        previous_ = ::signal(SIGXFSZ, SIG_IGN);
        rlimit lower = saved_;
        lower.rlim_cur = limit;
        ok_ = ok_ && ::setrlimit(RLIMIT_FSIZE, &lower) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::signal(SIGXFSZ, previous_);
    }
    bool ok() const { return ok_; }

private:
    rlimit saved_{};
    sighandler_t previous_ = SIG_DFL;
    bool ok_ = false;
};

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace

class SaveKeepsDataTest : public QObject {
    Q_OBJECT

private slots:
    void init() { test::failOnUnexpectedWarnings(); }
    void fullDiskKeepsTheOldFileAndSaysSo_data();
    void fullDiskKeepsTheOldFileAndSaysSo();
};

void SaveKeepsDataTest::fullDiskKeepsTheOldFileAndSaysSo_data() {
    QTest::addColumn<bool>("replacing");
    QTest::newRow("replacing a file") << true;
    QTest::newRow("new file") << false;
}

void SaveKeepsDataTest::fullDiskKeepsTheOldFileAndSaysSo() {
    QFETCH(bool, replacing);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("icons"));
    QVERIFY(QDir().mkdir(folder));
    const QString target = folder + QStringLiteral("/icon.ico");
    // Longer than the limit below, as the icon is.
    const ByteBuffer old(12000, 0x5A);
    if (replacing) QVERIFY(test::writeFile(target, old));
    const QStringList before = entriesOf(folder);

    test::Session session;
    ui::MainWindow& main = session.window();
    main.图片框1->setPicture(test::framedPicture(64, qRgb(255, 255, 255), qRgb(20, 90, 200)));
    QTest::mouseClick(main.按钮1, Qt::LeftButton);
    const ByteBuffer icon = main.图片框2->picture();
    QCOMPARE(icon.size(), std::size_t{9662});

    soak::ModalAnswerer answerer;
    auto save = [&] {
        answerer.planFile(target);
        QTest::mouseClick(main.按钮保存, Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY2(!answerer.dropFilePlan(), "no save dialog appeared");
        QCOMPARE(answerer.takeReplaceQuestions(), replacing ? 1 : 0);
        QCOMPARE(answerer.takeProblems(), QStringList());
    };

    {
        FileSizeLimit limit(1000);
        QVERIFY(limit.ok());
        save();
    }
    const auto messages = answerer.takeMessages();
    QCOMPARE(messages.size(), std::size_t{1});
    QCOMPARE(messages.front().text, kSaveFailed);
    QVERIFY(messages.front().plain);
    QCOMPARE(entriesOf(folder), before);
    if (replacing) QCOMPARE(test::readFile(target), old);

    // With room again the same save goes through.
    save();
    QVERIFY(answerer.takeMessages().empty());
    QCOMPARE(test::readFile(target), icon);
    QCOMPARE(entriesOf(folder), QStringList{QStringLiteral("icon.ico")});
}

YZ_UI_TEST_MAIN(SaveKeepsDataTest)
#include "save_keeps_data_test.moc"
