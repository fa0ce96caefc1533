// A later start hands its activation token to the running game over the lock's socket: the
// token arrives as given, and anything that is not a token arrives as none.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <optional>

#include "app/SingleInstance.h"

namespace {

TEST(ActivationToken, OnlyAShortRunOfPrintableAscii) {
    EXPECT_TRUE(kov::IsActivationToken("sway-1234_abc/DEF=+"));
    EXPECT_TRUE(kov::IsActivationToken(QByteArray(255, 'x')));
    EXPECT_FALSE(kov::IsActivationToken(""));
    EXPECT_FALSE(kov::IsActivationToken(QByteArray(256, 'x')));
    EXPECT_FALSE(kov::IsActivationToken("two words"));
    EXPECT_FALSE(kov::IsActivationToken("line\nbreak"));
    EXPECT_FALSE(kov::IsActivationToken("\x7f"));
    EXPECT_FALSE(kov::IsActivationToken("\xd1\x82\xd0\xbe\xd0\xba"));  // not ASCII
}

// The token the running game is handed when a later start with XDG_ACTIVATION_TOKEN set to
// `given` calls; nothing if the call brought no raise at all.
std::optional<QByteArray> HandedOn(const QByteArray& given) {
    QTemporaryDir folder;  // 0700: a private runtime folder
    const QByteArray path = QFile::encodeName(folder.path());
    kov::SingleInstance running(path);
    EXPECT_EQ(running.Acquire(), kov::InstanceCheck::First);
    std::optional<QByteArray> handed;
    running.AnswerLaterStarts([&](const QByteArray& token) { handed = token; });

    const QByteArray before = qgetenv("XDG_ACTIVATION_TOKEN");
    qputenv("XDG_ACTIVATION_TOKEN", given);
    kov::SingleInstance later(path);
    EXPECT_EQ(later.Acquire(), kov::InstanceCheck::Answered);
    qputenv("XDG_ACTIVATION_TOKEN", before);

    const QDeadlineTimer patience(20000);
    while (!handed && !patience.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return handed;
}

TEST(ActivationToken, ALaterStartHandsItsTokenOn) {
    EXPECT_EQ(HandedOn("kovelint-test-token-42"), QByteArray("kovelint-test-token-42"));
    EXPECT_EQ(HandedOn(""), QByteArray());
    EXPECT_EQ(HandedOn(QByteArray(300, 'x')), QByteArray());
    EXPECT_EQ(HandedOn("bad token\x01"), QByteArray());
}

}  // namespace
