// "保存" when the file cannot be written: a full disk (a file-size limit
// stands in for it) or a folder the user may not write to. The file that was
// there stays exactly as it was, nothing is left beside it, and the user is
// told. The same save succeeds once the cause is gone.

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

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

// Runs as an ordinary user while it lives, when the test runs as root (as
// CI does): root may write into any folder.
class AsOrdinaryUser {
public:
    AsOrdinaryUser() { switched_ = ::geteuid() == 0 && ::seteuid(65534) == 0; }
    ~AsOrdinaryUser() {
        if (switched_ && ::seteuid(0) != 0) qFatal("could not become root again");
    }
    bool ok() const { return ::geteuid() != 0; }

private:
    bool switched_ = false;
};

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace

class SaveKeepsDataTest : public QObject {
    Q_OBJECT

private slots:
    void init() { test::failOnUnexpectedWarnings(); }
    void failedSaveKeepsTheOldFileAndSaysSo_data();
    void failedSaveKeepsTheOldFileAndSaysSo();
};

void SaveKeepsDataTest::failedSaveKeepsTheOldFileAndSaysSo_data() {
    QTest::addColumn<bool>("fullDisk");
    QTest::addColumn<bool>("replacing");
    QTest::newRow("full disk, replacing a file") << true << true;
    QTest::newRow("full disk, new file") << true << false;
    QTest::newRow("read-only folder, replacing a file") << false << true;
    QTest::newRow("read-only folder, new file") << false << false;
}

void SaveKeepsDataTest::failedSaveKeepsTheOldFileAndSaysSo() {
    QFETCH(bool, fullDisk);
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
    // The dialog asks before replacing a file, though not one the user may
    // not write to (Qt's dialog leaves that to the save), so the question
    // is checked only where the user may write.
    auto save = [&](bool checkQuestion) {
        answerer.planFile(target);
        QTest::mouseClick(main.按钮保存, Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY2(!answerer.dropFilePlan(), "no save dialog appeared");
        const int questions = answerer.takeReplaceQuestions();
        if (checkQuestion) QCOMPARE(questions, replacing ? 1 : 0);
        QCOMPARE(answerer.takeProblems(), QStringList());
    };

    {
        // The ordinary user must still reach the folder to be refused by it.
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                      QFile::ReadOther | QFile::ExeOther));
        if (!fullDisk)
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                                      QFile::ExeOther));
        std::optional<FileSizeLimit> limit;
        std::optional<AsOrdinaryUser> user;
        if (fullDisk) {
            limit.emplace(1000);
            QVERIFY(limit->ok());
        } else {
            user.emplace();
            if (!user->ok()) QSKIP("cannot give up root's powers here");
        }
        save(fullDisk);
    }
    const auto messages = answerer.takeMessages();
    QCOMPARE(messages.size(), std::size_t{1});
    QCOMPARE(messages.front().text, kSaveFailed);
    QVERIFY(messages.front().plain);
    QCOMPARE(entriesOf(folder), before);
    if (replacing) QCOMPARE(test::readFile(target), old);

    // With room again and as its owner, the same save goes through.
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    save(true);
    QVERIFY(answerer.takeMessages().empty());
    QCOMPARE(test::readFile(target), icon);
    QCOMPARE(entriesOf(folder), QStringList{QStringLiteral("icon.ico")});
}

YZ_UI_TEST_MAIN(SaveKeepsDataTest)
#include "save_keeps_data_test.moc"
