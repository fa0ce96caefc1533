// One game at a time.
#include <signal.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "app/SingleInstance.h"
#include "tests/window/WindowFixture.h"

namespace kov::test {
namespace {

TEST(SingleInstance, TheSecondLockIsRefusedUntilTheFirstIsGone) {
    QTemporaryDir dir;
    const QString path = dir.filePath("kovelint.lock");
    auto first = std::make_unique<SingleInstance>(path);
    EXPECT_EQ(first->Acquire(), InstanceCheck::First);
    SingleInstance second(path);
    EXPECT_EQ(second.Acquire(), InstanceCheck::AlreadyRunning);
    first.reset();
    SingleInstance third(path);
    EXPECT_EQ(third.Acquire(), InstanceCheck::First);
}

TEST(SingleInstance, ALockOfADeadGameIsTakenOver) {
    QTemporaryDir dir;
    const QString path = dir.filePath("kovelint.lock");
    // A lock as a killed game leaves it: its process is gone.
    QProcess gone;
    gone.start("true");
    ASSERT_TRUE(gone.waitForFinished());
    QFile stale(path);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write(QByteArray::number(gone.processId() > 0 ? gone.processId() : 999999) +
                "\nkovelint\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    SingleInstance next(path);
    EXPECT_EQ(next.Acquire(), InstanceCheck::First);
}

TEST(SingleInstance, AFolderThatCannotHoldTheLockSkipsTheCheck) {
    EXPECT_EQ(SingleInstance("/nonexistent-folder/kovelint.lock").Acquire(),
              InstanceCheck::Skipped);
    EXPECT_EQ(SingleInstance(QString()).Acquire(), InstanceCheck::Skipped);
}

TEST(SingleInstance, TheLockLivesInTheRuntimeFolder) {
    QTemporaryDir dir;
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", dir.path().toUtf8());
    EXPECT_EQ(RuntimeLockPath(), dir.filePath("kovelint.lock"));
    qputenv("XDG_RUNTIME_DIR", saved);
}

// The real game, started twice at the same instant: exactly one keeps running.
class GameBinary : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(runtime.isValid());
        env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", runtime.path());
    }
    void TearDown() override {
        for (auto& p : games) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished();
            }
        }
    }
    // What the game printed, less the offscreen plugin's notes on what it cannot do.
    static QByteArrayList Printed(QProcess& p) {
        QByteArrayList lines;
        for (const QByteArray& line : p.readAllStandardError().split('\n'))
            if (!line.isEmpty() && !line.startsWith("This plugin does not support")) lines << line;
        return lines;
    }
    QProcess& Launch() {
        games.push_back(std::make_unique<QProcess>());
        QProcess& p = *games.back();
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KOVELINT_BINARY), {});
        return p;
    }
    int Running() {
        int n = 0;
        for (auto& p : games)
            n += p->state() == QProcess::Running ? 1 : 0;
        return n;
    }

    QTemporaryDir runtime;
    QProcessEnvironment env;
    std::vector<std::unique_ptr<QProcess>> games;
};

TEST_F(GameBinary, TwoAtOnceLeaveOne) {
    QProcess& a = Launch();
    QProcess& b = Launch();
    ASSERT_TRUE(a.waitForStarted());
    ASSERT_TRUE(b.waitForStarted());
    // The refused one ends quietly and at once; the other plays on.
    QTest::qWait(1500);
    EXPECT_EQ(Running(), 1);
    for (auto& p : games) {
        if (p->state() == QProcess::NotRunning) {
            EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(p->exitCode(), 0);
            EXPECT_EQ(Printed(*p), QByteArrayList());
        }
    }
}

TEST_F(GameBinary, AKilledGameDoesNotBlockTheNext) {
    QProcess& a = Launch();
    ASSERT_TRUE(a.waitForStarted());
    QTest::qWait(700);
    ASSERT_EQ(a.state(), QProcess::Running);
    ::kill(static_cast<pid_t>(a.processId()), SIGKILL);
    ASSERT_TRUE(a.waitForFinished());
    ASSERT_TRUE(QFile::exists(QDir(runtime.path()).filePath("kovelint.lock")));
    QProcess& b = Launch();
    ASSERT_TRUE(b.waitForStarted());
    QTest::qWait(1000);
    EXPECT_EQ(b.state(), QProcess::Running);
    EXPECT_EQ(Printed(b), QByteArrayList());
}

TEST_F(GameBinary, AnUnusableRuntimeFolderWarnsOnceAndPlays) {
    // A plain file where the folder should be: nothing can be made inside it.
    QFile plain(runtime.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    env.insert("XDG_RUNTIME_DIR", runtime.filePath("plain"));
    QProcess& a = Launch();
    ASSERT_TRUE(a.waitForStarted());
    QTest::qWait(1000);
    EXPECT_EQ(a.state(), QProcess::Running);
    // Qt itself complains about the folder; the game adds exactly one line of its own.
    const QByteArrayList printed = Printed(a);
    EXPECT_EQ(std::count_if(printed.begin(), printed.end(),
                            [](const QByteArray& l) { return l.startsWith("kovelint: "); }),
              1)
        << printed.join('\n').toStdString();
}

}  // namespace
}  // namespace kov::test
