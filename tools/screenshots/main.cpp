// kovelint_screenshots: plays a seeded game in the real window on the offscreen platform and
// saves two pictures of it, menu bar included: a game in progress and the same game solved.
// Usage: kovelint_screenshots <output-folder>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>

#include "app/MainWindow.h"
#include "generator/Random.h"
#include "play/Play.h"
#include "tests/lib/Pipes.h"
#include "view/BoardView.h"
#include "view/PictureSet.h"

namespace {

// Chosen for a board whose pipes show off every kind of piece; any seed gives the same
// pictures on every run.
constexpr std::uint32_t Seed = 2026;

// The offscreen plugin notes that it cannot size a window from hints; nothing to act on.
void Quiet(QtMsgType, const QMessageLogContext&, const QString& text) {
    if (!text.contains(QLatin1String("propagateSizeHints")))
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

bool Save(kov::MainWindow& window, const QDir& dir, const char* name) {
    QApplication::processEvents();
    const QString path = dir.filePath(QString::fromLatin1(name));
    if (window.grab().save(path, "PNG")) return true;
    std::fprintf(stderr, "kovelint_screenshots: cannot write %s\n", qPrintable(path));
    return false;
}

// A press of the main button on the centre of cell n, as the window system delivers it.
void Click(kov::MainWindow& window, int n) {
    const kov::PixelRect r = window.Game().CellRect(n);
    const QPointF at(r.left + r.width / 2, r.top + r.height / 2);
    kov::BoardView& board = window.Board();
    QMouseEvent press(QEvent::MouseButtonPress, at, board.mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&board, &press);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kovelint_screenshots <output-folder>\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // A runtime folder of its own, so Qt has one and no user's folder is touched.
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qInstallMessageHandler(Quiet);
    QApplication app(argc, argv);
    const QDir out(QString::fromLocal8Bit(argv[1]));

    kov::PictureSet pictures;
    QString error;
    if (!pictures.Load(&error)) {
        std::fprintf(stderr, "kovelint_screenshots: %s\n", qPrintable(error));
        return 1;
    }
    kov::MainWindow window(pictures, std::make_unique<kov::SeededRandom>(Seed));
    window.show();
    // Seven pipes on the start board, through the menu as a player would choose them.
    window.Action(kov::MenuIndexOf(kov::Command::Pipes7))->trigger();
    const kov::GameState& s = window.Game().State();

    // In progress: a few hints lay some pipes, and some turns on the grey pieces that are left.
    while (kov::test::CompletePipeCount(s) < s.pipeCount / 2)
        window.Run(kov::Command::LayOnePipe);
    int turns = 0;
    for (int n = 1; n <= s.CellCount() && turns < 6; n += 7) {
        if (kov::IsTurnable(s.cellTile[n]) && s.cellColour[n] == kov::colour::Grey) {
            Click(window, n);
            ++turns;
        }
    }
    const int complete = kov::test::CompletePipeCount(s);
    if (s.solved != 0 || complete == 0 || complete == s.pipeCount) {
        std::fprintf(stderr, "kovelint_screenshots: seed %u gives no game in progress\n", Seed);
        return 1;
    }
    if (!Save(window, out, "screenshot-playing.png")) return 1;

    while (s.solved == 0)
        window.Run(kov::Command::LayOnePipe);
    if (!Save(window, out, "screenshot-solved.png")) return 1;
    std::printf("%s: %d of %d pipes, then solved\n", qPrintable(out.path()), complete, s.pipeCount);
    return 0;
}
