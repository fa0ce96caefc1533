// The state the window must be in after any event, checked whole.
#include <QAction>
#include <QMenuBar>
#include <cstdio>

#include "app/MainWindow.h"
#include "game/Defaults.h"
#include "tests/soak/Soak.h"
#include "view/BoardView.h"
#include "view/PictureCell.h"
#include "view/PictureSet.h"

namespace kov::soak {

namespace {

constexpr int PrintedFailures = 30;

}  // namespace

void Soak::Trace() {
    if (trace_) std::fprintf(stderr, "event %ld: %s\n", figures_.events, qPrintable(event_));
}

void Soak::Fail(const QString& what) {
    if (++figures_.errors <= PrintedFailures)
        std::fprintf(stderr, "event %ld (%s): %s\n", figures_.events, qPrintable(event_),
                     qPrintable(what));
}

void Soak::CheckAll() {
    Trace();
    CheckCells();
    CheckMarks();
    CheckPipes();
    const QString caption = QStringLiteral("Ковелинт ") + QString::number(s_.mapCols) +
                            QStringLiteral("x") + QString::number(s_.mapRows) +
                            QStringLiteral(" - ") + QString::number(s_.pipeCount) +
                            QStringLiteral("шт.");
    if (w_.windowTitle() != caption)
        Fail(Say("caption \"%1\", expected \"%2\"", w_.windowTitle(), caption));
}

// Cells 1..N exist, each numbered, placed and showing exactly the picture of its codes.
void Soak::CheckCells() {
    const int cells = s_.CellCount();
    if (board_.CellsBuilt() != cells)
        Fail(Say("%1 cells for a %2 x %3 board", board_.CellsBuilt(), s_.mapCols, s_.mapRows));
    // Removed cells must really be gone, not just forgotten by the board.
    int children = 0;
    for (QObject* child : board_.children())
        children += dynamic_cast<PictureCell*>(child) != nullptr ? 1 : 0;
    if (children != cells)
        Fail(Say("%1 picture cells under the board, expected %2", children, cells));
    if (board_.Cell(cells + 1) != nullptr) Fail(QStringLiteral("a cell beyond the board"));

    const int g = s_.showGrid != 0 ? 1 : 0;
    if (s_.tileSize != 35 && s_.tileSize != 70) Fail(Say("tileSize %1", s_.tileSize));
    for (int n = 1; n <= cells && n <= board_.CellsBuilt(); ++n) {
        const PictureCell* cell = board_.Cell(n);
        if (cell == nullptr) {
            Fail(Say("cell %1 is missing", n));
            continue;
        }
        const int c = (n - 1) % s_.mapCols + 1, r = (n - 1) / s_.mapCols + 1;
        const QRect want(BoardMargin + (c - 1) * (s_.tileSize + g),
                         BoardMargin + (r - 1) * (s_.tileSize + g), s_.tileSize, s_.tileSize);
        if (cell->geometry() != want)
            Fail(Say("cell %1 at %2,%3 %4x%5, expected %6,%7 %8x%9", n, cell->x(), cell->y(),
                     cell->width(), cell->height(), want.x(), want.y(), want.width(),
                     want.height()));
        if (cell->isHidden()) Fail(Say("cell %1 is hidden", n));
        const Int16 t = s_.cellTile[n], k = s_.cellColour[n];
        if (w_.Game().ShownPicture(n) != PictureIndex(t, k))
            Fail(Say("cell %1: the game says it shows picture %2, the board holds %3/%4", n,
                     w_.Game().ShownPicture(n), t, k));
    }
    // What the cells show on screen, read back now and then: a grab of the whole board costs
    // more than a hundred events.
    if (figures_.events % 200 == 0) CheckPixels();
}

// Every cell's pixels are its picture's, each picture pixel a square block at 70 pixels.
void Soak::CheckPixels() {
    const QImage shot = board_.grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int n = 1; n <= s_.CellCount() && n <= board_.CellsBuilt(); ++n) {
        const QImage want = pics_.Picture(PictureIndex(s_.cellTile[n], s_.cellColour[n]))
                                .toImage()
                                .convertToFormat(QImage::Format_RGB32);
        const QRect g = board_.Cell(n)->geometry();
        bool same = !want.isNull();
        for (int y = 0; y < g.height() && same; ++y)
            for (int x = 0; x < g.width() && same; ++x)
                same = shot.pixel(g.x() + x, g.y() + y) ==
                       want.pixel(x * want.width() / g.width(), y * want.height() / g.height());
        if (!same)
            Fail(Say("cell %1 with tile %2 colour %3 shows another picture", n, s_.cellTile[n],
                     s_.cellColour[n]));
    }
}

// One mark in each group, the right one; the toggles' marks equal their flags.
void Soak::CheckMarks() {
    int counts = 0;
    for (int k = 1; k <= MaxPipes; ++k) {
        const bool on = Marked(PipesCommand(k));
        counts += on ? 1 : 0;
        if (on != (k == s_.wantedPipes))
            Fail(Say("pipe count %1 marked %2 with wantedPipes %3", k, on, s_.wantedPipes));
    }
    if (counts != 1) Fail(Say("%1 pipe counts marked", counts));
    if (Marked(Command::RandomPipeCount)) Fail(QStringLiteral("\"Случайно\" is marked"));

    int sizes = 0;
    for (int i = 0; i < static_cast<int>(std::size(BoardSizes)); ++i) {
        const bool on = Marked(SizeCommand(i));
        sizes += on ? 1 : 0;
        if (on != (BoardSizes[i].cols == s_.mapCols && BoardSizes[i].rows == s_.mapRows))
            Fail(Say("size %1 x %2 marked %3 on a %4 x %5 board", BoardSizes[i].cols,
                     BoardSizes[i].rows, on, s_.mapCols, s_.mapRows));
    }
    if (sizes != 1) Fail(Say("%1 board sizes marked", sizes));

    const bool big = Marked(Command::LargePictures), small = Marked(Command::SmallPictures);
    if (big == small || big != (s_.tileSize == LargeTiles))
        Fail(Say("picture size marks %1/%2 with tileSize %3", big, small, s_.tileSize));

    if (Marked(Command::ToggleShortPipes) != (s_.shortPipes != 0))
        Fail(QStringLiteral("mark of short pipes"));
    if (Marked(Command::ToggleTees) != (s_.useTees != 0)) Fail(QStringLiteral("mark of tees"));
    if (Marked(Command::ToggleGrid) != (s_.showGrid != 0)) Fail(QStringLiteral("mark of grid"));
}

// Complete pipes show their colour, the others are grey but for their sources, and the
// board is solved exactly when every pipe matches its record.
void Soak::CheckPipes() {
    if (s_.pipeCount < 0 || s_.pipeCount > s_.wantedPipes)
        Fail(Say("%1 pipes laid for %2 wanted", s_.pipeCount, s_.wantedPipes));
    bool all = true;
    for (int i = 1; i <= s_.pipeCount; ++i) {
        const bool complete = PipeMatches(s_, s_.cellTile, i);
        all = all && complete;
        for (int k = 1; k <= s_.pipeLength[i]; ++k) {
            const int n = s_.pipeCell[i][k];
            const Int16 want =
                complete || s_.cellTile[n] == tile::Source ? s_.pipeColour[i] : colour::Grey;
            if (s_.cellColour[n] != want) {
                Fail(Say("cell %1 of pipe %2 (%3) has colour %4, expected %5", n, i,
                         complete ? QLatin1String("complete") : QLatin1String("unfinished"),
                         s_.cellColour[n], want));
                break;
            }
        }
    }
    if ((s_.solved != 0) != all)
        Fail(Say("solved is %1 while %2 pipe is unfinished", s_.solved,
                 all ? QLatin1String("no") : QLatin1String("some")));
}

}  // namespace kov::soak
