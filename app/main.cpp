// Ковелинт: one game at a time, seeded once from the clock, shown with its first puzzle.
#include <fcntl.h>
#include <unistd.h>

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/MainWindow.h"
#include "app/RuntimeFolder.h"
#include "app/SingleInstance.h"
#include "game/Defaults.h"
#include "generator/Random.h"
#include "view/PictureSet.h"

namespace {

// Whether Qt has a Wayland platform plugin where it looks for platform plugins.
bool HasWaylandPlugin() {
    QStringList folders = {QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms"};
    for (const QString& extra :
         qEnvironmentVariable("QT_PLUGIN_PATH").split(':', Qt::SkipEmptyParts))
        folders << extra + "/platforms";
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM_PLUGIN_PATH"))
        folders << qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH");
    for (const QString& folder : folders)
        if (!QDir(folder).entryList({"libqwayland*"}, QDir::Files).isEmpty()) return true;
    return false;
}

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
    } else if (qEnvironmentVariableIsEmpty("DISPLAY") && !HasWaylandPlugin()) {
        std::fprintf(stderr,
                     "kovelint: cannot open the Wayland display %s: Qt's Wayland plugin is not "
                     "installed (Debian: qt6-wayland)\n",
                     qgetenv("WAYLAND_DISPLAY").constData());
    } else {
        std::fprintf(stderr, "kovelint: cannot open the display %s\n",
                     qgetenv(qEnvironmentVariableIsEmpty("DISPLAY") ? "WAYLAND_DISPLAY" : "DISPLAY")
                         .constData());
    }
    std::_Exit(1);
}

// A closed 0, 1 or 2 would be handed to the next file or connection opened, and our lines for
// standard error would go into the X connection. /dev/null takes any such place first.
void GuardStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // The lowest free descriptor: this one, as those below it are open by now.
        const int opened = ::open("/dev/null", O_RDWR);
        if (opened != fd) std::_Exit(1);  // no safe place to write: better no game than a hung one
    }
}

// Below 1/35 a 35-pixel picture cell keeps no pixel, and Qt then makes no window at all (0, a
// tiny or an endless factor); far above 16 the smallest board outgrows any screen, and a huge
// factor again leaves no window. A game must never run without its window, so such a value
// goes.
constexpr double LargestScaleFactor = 16;

bool UsableScaleFactor(const QByteArray& text) {
    bool ok = false;
    const double factor = text.toDouble(&ok);
    return ok && std::isfinite(factor) && factor >= 1.0 / kov::SmallTiles &&
           factor <= LargestScaleFactor;
}

void DropUnusableScaleFactors() {
    const QByteArray global = qgetenv("QT_SCALE_FACTOR");
    if (!global.isEmpty() && !UsableScaleFactor(global)) {
        std::fprintf(stderr,
                     "kovelint: ignoring QT_SCALE_FACTOR=%s: a window needs a factor from 1/%d to "
                     "%g\n",
                     global.constData(), kov::SmallTiles, LargestScaleFactor);
        qunsetenv("QT_SCALE_FACTOR");
    }
    // "1.5;2" or "HDMI-1=1.5;DP-2=2": one screen's bad factor would hide a window there.
    const QByteArray screens = qgetenv("QT_SCREEN_SCALE_FACTORS");
    for (const QByteArray& entry : screens.split(';')) {
        const QByteArray value = entry.mid(entry.lastIndexOf('=') + 1);
        if (value.trimmed().isEmpty() || UsableScaleFactor(value)) continue;
        std::fprintf(stderr,
                     "kovelint: ignoring QT_SCREEN_SCALE_FACTORS=%s: a window needs factors from "
                     "1/%d to %g\n",
                     screens.constData(), kov::SmallTiles, LargestScaleFactor);
        qunsetenv("QT_SCREEN_SCALE_FACTORS");
        break;
    }
}

// A window destroyed by another X client ends the game as closing it does, rather than leave it
// running with no window, holding the lock.
class WindowDestroyed final : public QAbstractNativeEventFilter {
  public:
    explicit WindowDestroyed(const QWidget& window) : window_(window) {}
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_DESTROY_NOTIFY) return false;
        const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
        if (destroyed->window == window_.winId()) QCoreApplication::exit(0);
        return false;
    }

  private:
    const QWidget& window_;
};

}  // namespace

int main(int argc, char* argv[]) {
    GuardStandardDescriptors();
    DropUnusableScaleFactors();
    // Before any window or display: a second start brings the running game to the front and
    // ends here, silently; one that gets no answer says which game is stuck.
    QByteArray rejected;
    const QByteArray sharedFolder = kov::SharedRuntimeFolder(&rejected);
    kov::SingleInstance instance(sharedFolder);
    switch (instance.Acquire()) {
        case kov::InstanceCheck::First:
            break;
        case kov::InstanceCheck::Answered:
            return 0;
        case kov::InstanceCheck::NotAnswering:
            if (instance.RunningPid() > 0)
                std::fprintf(stderr,
                             "kovelint: the game already running (PID %d) does not answer\n",
                             static_cast<int>(instance.RunningPid()));
            else
                std::fputs("kovelint: the game already running does not answer\n", stderr);
            return 1;
        case kov::InstanceCheck::Skipped:
            std::fprintf(stderr, "kovelint: %s; not checking for another running game\n",
                         instance.Why());
            break;
    }
    const QByteArray runtimeNote = kov::SettleRuntimeFolder(sharedFolder, rejected);
    if (!runtimeNote.isEmpty()) std::fprintf(stderr, "kovelint: %s\n", runtimeNote.constData());

    const QtMessageHandler qtMessages = qInstallMessageHandler(PlatformStartMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtMessages);
    // Lets the desktop match the window to its entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.kovelint.Kovelint"));

    kov::PictureSet pictures;
    QString error;
    if (!pictures.Load(&error)) {
        std::fprintf(stderr, "kovelint: %s\n", qPrintable(error));
        return 1;
    }

    kov::MainWindow window(pictures, std::make_unique<kov::SeededRandom>(kov::SeedFromClock()));
    // Shown on top and focused; so is it again whenever a later start looks for this game,
    // un-minimised too. On Wayland only a program holding an activation token may take the
    // focus: Qt's Wayland plugin activates the window with the one in XDG_ACTIVATION_TOKEN,
    // which a later start hands on from its launcher.
    const bool wayland = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    const auto toFront = [&window, wayland](const QByteArray& activationToken) {
        if (wayland && !activationToken.isEmpty()) qputenv("XDG_ACTIVATION_TOKEN", activationToken);
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
        window.show();
        window.raise();
        window.activateWindow();
    };
    instance.AnswerLaterStarts(toFront);
    toFront({});
    WindowDestroyed destroyed(window);
    app.installNativeEventFilter(&destroyed);
    const int status = app.exec();
    kov::RemoveFolderMadeForThisRun();
#ifndef __SANITIZE_ADDRESS__
    // The game saves nothing, the kernel drops its lock and the X server takes the window back
    // with the connection, so taking Qt and the pictures apart object by object would only
    // delay the end. Under the sanitizers the teardown runs, so that it stays checked.
    std::fflush(nullptr);
    std::_Exit(status);
#else
    return status;
#endif
}
