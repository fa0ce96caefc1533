// Ковелинт: one game at a time, seeded once from the clock, shown with its first puzzle.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/MainWindow.h"
#include "app/SingleInstance.h"
#include "generator/Random.h"
#include "view/PictureSet.h"

namespace {

// While the platform starts, Qt's own lines about displays and plugins are held back: when
// no display can be opened Qt would print a screenful and abort with a core dump, where one
// line and a plain failure say all there is to say.
void PlatformStartMessage(QtMsgType type, const QMessageLogContext&, const QString&) {
    if (type != QtFatalMsg) return;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty()) {
        std::fprintf(stderr, "kovelint: cannot start the \"%s\" display platform\n",
                     platform.constData());
    } else if (qEnvironmentVariableIsEmpty("DISPLAY") &&
               qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fputs("kovelint: no display to open (neither DISPLAY nor WAYLAND_DISPLAY is set)\n",
                   stderr);
    } else {
        std::fprintf(stderr, "kovelint: cannot open the display %s\n",
                     qgetenv(qEnvironmentVariableIsEmpty("DISPLAY") ? "WAYLAND_DISPLAY" : "DISPLAY")
                         .constData());
    }
    std::_Exit(1);
}

}  // namespace

int main(int argc, char* argv[]) {
    const QString lockPath = kov::RuntimeLockPath();
    const QtMessageHandler qtMessages = qInstallMessageHandler(PlatformStartMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtMessages);
    // Lets the desktop match the window to its entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.kovelint.Kovelint"));

    // Before any window: a second game ends here, silently.
    kov::SingleInstance instance(lockPath);
    switch (instance.Acquire()) {
        case kov::InstanceCheck::First:
            break;
        case kov::InstanceCheck::AlreadyRunning:
            return 0;
        case kov::InstanceCheck::Skipped:
            std::fputs(
                "kovelint: the runtime folder cannot hold the lock file; "
                "not checking for another running game\n",
                stderr);
            break;
    }

    kov::PictureSet pictures;
    QString error;
    if (!pictures.Load(&error)) {
        std::fprintf(stderr, "kovelint: %s\n", qPrintable(error));
        return 1;
    }

    kov::MainWindow window(pictures, std::make_unique<kov::ClockRandom>(kov::SeedFromClock()));
    window.show();
    window.raise();
    window.activateWindow();
    return app.exec();
}
