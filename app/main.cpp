// Ковелинт: one game at a time, seeded once from the clock, shown with its first puzzle.
#include <QApplication>
#include <cstdio>

#include "app/SingleInstance.h"
#include "app/frmMain.h"
#include "generator/Random.h"
#include "view/PictureSet.h"

int main(int argc, char* argv[]) {
    const QString lockPath = kov::RuntimeLockPath();
    QApplication app(argc, argv);

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

    kov::ClockRandom rng(kov::SeedFromClock());

    kov::PictureSet cnImg;
    QString error;
    if (!cnImg.Load(&error)) {
        std::fprintf(stderr, "kovelint: %s\n", qPrintable(error));
        return 1;
    }

    kov::frmMain window(cnImg, rng);
    window.show();
    window.raise();
    window.activateWindow();
    return app.exec();
}
