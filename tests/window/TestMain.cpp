// The window tests share one application on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMutex>

#include "tests/window/WindowFixture.h"

namespace {

QStringList messages;
QMutex messagesLock;

void Record(QtMsgType, const QMessageLogContext&, const QString& text) {
    // The offscreen plugin cannot size a window from its hints and says so; X can.
    if (text.contains(QLatin1String("propagateSizeHints"))) return;
    QMutexLocker lock(&messagesLock);
    messages.append(text);
}

}  // namespace

namespace kov::test {

const PictureSet& Pictures() {
    static const PictureSet set = [] {
        PictureSet s;
        QString error;
        if (!s.Load(&error)) ADD_FAILURE() << error.toStdString();
        return s;
    }();
    return set;
}

QStringList TakeMessages() {
    QMutexLocker lock(&messagesLock);
    QStringList taken;
    taken.swap(messages);
    return taken;
}

}  // namespace kov::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(Record);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
