// The state the window must be in after any event, checked whole.
#include <QAction>
#include <QMenuBar>
#include <cstdio>

#include "app/frmMain.h"
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
        Fail(QStringLiteral("caption \"%1\", expected \"%2\"").arg(w_.windowTitle(), caption));
}

// Cells 1..N exist, each numbered, placed and showing exactly the picture of its codes.
void Soak::CheckCells() {
    const int cells = s_.CellCount();
    if (board_.CellsBuilt() != cells)
        Fail(QStringLiteral("%1 cells for a %2 x %3 board")
                 .arg(board_.CellsBuilt())
                 .arg(s_.mapCols)
                 .arg(s_.mapRows));
    // Removed cells must really be gone, not just forgotten by the board.
    int children = 0;
    for (QObject* child : board_.children())
        children += dynamic_cast<PictureCell*>(child) != nullptr ? 1 : 0;
    if (children != cells + 1)
        Fail(QStringLiteral("%1 picture cells under the board, expected %2 and the template")
                 .arg(children)
                 .arg(cells));
    if (board_.Img(cells + 1) != nullptr) Fail(QStringLiteral("a cell beyond the board"));

    const int g = s_.showGrid != 0 ? 1 : 0;
    if (s_.tileSize != 35 && s_.tileSize != 70)
        Fail(QStringLiteral("tileSize %1").arg(s_.tileSize));
    for (int n = 1; n <= cells && n <= board_.CellsBuilt(); ++n) {
        const PictureCell* cell = board_.Img(n);
        if (cell == nullptr || cell->Index() != n) {
            Fail(QStringLiteral("cell %1 is missing or misnumbered").arg(n));
            continue;
        }
        const int c = (n - 1) % s_.mapCols + 1, r = (n - 1) / s_.mapCols + 1;
        const QRect want(BoardMargin + (c - 1) * (s_.tileSize + g),
                         BoardMargin + (r - 1) * (s_.tileSize + g), s_.tileSize, s_.tileSize);
        if (cell->geometry() != want)
            Fail(QStringLiteral("cell %1 at %2,%3 %4x%5, expected %6,%7 %8x%9")
                     .arg(n)
                     .arg(cell->x())
                     .arg(cell->y())
                     .arg(cell->width())
                     .arg(cell->height())
                     .arg(want.x())
                     .arg(want.y())
                     .arg(want.width())
                     .arg(want.height()));
        if (cell->isHidden()) Fail(QStringLiteral("cell %1 is hidden").arg(n));
        const Int16 t = s_.cellTile[n], k = s_.cellColour[n];
        if (cell->Picture() != &pics_.Img(PictureIndex(t, k)))
            Fail(QStringLiteral("cell %1 with tile %2 colour %3 shows another picture")
                     .arg(n)
                     .arg(t)
                     .arg(k));
        if (s_.shownTile[n] != t || s_.shownColour[n] != k)
            Fail(QStringLiteral("cell %1: the render cache holds %2/%3, the board %4/%5")
                     .arg(n)
                     .arg(s_.shownTile[n])
                     .arg(s_.shownColour[n])
                     .arg(t)
                     .arg(k));
    }
}

// One mark in each group, the right one; the toggles' marks equal their flags.
void Soak::CheckMarks() {
    auto marked = [this](const QString& name) {
        const QAction* a = Action(name);
        if (a == nullptr) Fail(QStringLiteral("no menu item ") + name);
        return a != nullptr && a->isChecked();
    };
    int counts = 0;
    for (int k = 1; k <= MaxPipes; ++k) {
        const bool on = marked(QStringLiteral("mnuNum%1").arg(k));
        counts += on ? 1 : 0;
        if (on != (k == s_.wantedPipes))
            Fail(QStringLiteral("mnuNum%1 marked %2 with wantedPipes %3")
                     .arg(k)
                     .arg(on)
                     .arg(s_.wantedPipes));
    }
    if (counts != 1) Fail(QStringLiteral("%1 pipe counts marked").arg(counts));
    if (marked(QStringLiteral("mnuNumRND"))) Fail(QStringLiteral("\"Случайно\" is marked"));

    static const struct {
        const char* name;
        int cols, rows;
    } Sizes[] = {{"mnuMapSize1525", 25, 15}, {"mnuMapSize1320", 20, 13}, {"mnuMapSize1115", 15, 11},
                 {"mnuMapSize910", 10, 9},   {"mnuMapSize88", 8, 8},     {"mnuMapSize77", 7, 7},
                 {"mnuMapSize66", 6, 6},     {"mnuMapSize55", 5, 5}};
    int sizes = 0;
    for (const auto& size : Sizes) {
        const bool on = marked(QString::fromLatin1(size.name));
        sizes += on ? 1 : 0;
        if (on != (size.cols == s_.mapCols && size.rows == s_.mapRows))
            Fail(QStringLiteral("%1 marked %2 on a %3 x %4 board")
                     .arg(QLatin1String(size.name))
                     .arg(on)
                     .arg(s_.mapCols)
                     .arg(s_.mapRows));
    }
    if (sizes != 1) Fail(QStringLiteral("%1 board sizes marked").arg(sizes));

    const bool big = marked(QStringLiteral("mnuImgSizeB")),
               small = marked(QStringLiteral("mnuImgSizeM"));
    if (big == small || big != (s_.tileSize == 70))
        Fail(QStringLiteral("picture size marks %1/%2 with tileSize %3")
                 .arg(big)
                 .arg(small)
                 .arg(s_.tileSize));

    if (marked(QStringLiteral("mnuShort")) != (s_.shortPipes != 0))
        Fail(QStringLiteral("mark of mnuShort"));
    if (marked(QStringLiteral("mnuDelimiter")) != (s_.useTees != 0))
        Fail(QStringLiteral("mark of mnuDelimiter"));
    if (marked(QStringLiteral("mnuGrid")) != (s_.showGrid != 0))
        Fail(QStringLiteral("mark of mnuGrid"));
}

// Complete pipes show their colour, the others are grey but for their sources, and the
// board is solved exactly when every pipe matches its record.
void Soak::CheckPipes() {
    if (s_.pipeCount < 0 || s_.pipeCount > s_.wantedPipes)
        Fail(QStringLiteral("%1 pipes laid for %2 wanted").arg(s_.pipeCount).arg(s_.wantedPipes));
    bool all = true;
    for (int i = 1; i <= s_.pipeCount; ++i) {
        bool complete = true;
        for (int k = 1; k <= s_.pipeLength[i] && complete; ++k)
            complete = s_.cellTile[s_.pipeCell[i][k]] == s_.pipeTile[i][k];
        all = all && complete;
        for (int k = 1; k <= s_.pipeLength[i]; ++k) {
            const int n = s_.pipeCell[i][k];
            const Int16 want =
                complete || s_.cellTile[n] == tile::Source ? s_.pipeColour[i] : colour::Grey;
            if (s_.cellColour[n] != want) {
                Fail(QStringLiteral("cell %1 of pipe %2 (%3) has colour %4, expected %5")
                         .arg(n)
                         .arg(i)
                         .arg(complete ? QLatin1String("complete") : QLatin1String("unfinished"))
                         .arg(s_.cellColour[n])
                         .arg(want));
                break;
            }
        }
    }
    if ((s_.solved != 0) != all)
        Fail(QStringLiteral("solved is %1 while %2 pipe is unfinished")
                 .arg(s_.solved)
                 .arg(all ? QLatin1String("no") : QLatin1String("some")));
}

}  // namespace kov::soak
