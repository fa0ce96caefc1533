// The board surface: the picture cells Img(1)..Img(N) on a grey ground, their layout and
// their pictures. It reads and writes the game state but decides nothing about the game.
#pragma once

#include <QWidget>
#include <vector>

#include "board/GameState.h"

namespace kov {

class PictureCell;
class PictureSet;

// The grey of the margin, of the grid's gaps and of any ground the board does not cover.
inline constexpr int BoardGround = 128;
inline constexpr int BoardMargin = 5;

class BoardView final : public QWidget {
    Q_OBJECT

  public:
    BoardView(GameState& state, const PictureSet& cnImg, QWidget* parent = nullptr);

    // Img(0) is the hidden template; Img(1)..Img(N) exist between BuildTileGrid and
    // UnloadTileGrid.
    PictureCell* Img(int n) const;
    int CellsBuilt() const { return static_cast<int>(img_.size()) - 1; }

    // Where cell (column, row) belongs with the current tile size and grid.
    QRect CellGeometry(int column, int row) const;

    // Creates, lays and shows one blank cell per board cell, resetting what each shows.
    void BuildTileGrid();
    // Clears the board and removes the cells of the size still in force.
    void UnloadTileGrid();
    // Hides every cell, then moves and sizes each where it changed and shows it again.
    void RelayCells();
    // Repaints the cells whose tile or colour differs from what they show.
    void RenderBoard();

    // Cells repainted by RenderBoard since the board view was made.
    long RepaintCount() const { return repaints_; }

    GameState& State() const { return s_; }

    // Called by the cells.
    void ReportClick(int n) { emit cellClicked(n); }
    void ReportDoubleClick(int n) { emit cellDoubleClicked(n); }
    void ReportMouseMove(int n) { emit cellMouseMoved(n); }

  signals:
    void cellClicked(int n);
    void cellDoubleClicked(int n);
    void cellMouseMoved(int n);

  private:
    // The surface covers the board and its margin, so a scroll area around it can reach
    // every cell; it never touches the window.
    void FitToBoard();
    void Repaint(int n);

    GameState& s_;
    const PictureSet& cnImg_;
    std::vector<PictureCell*> img_;
    long repaints_ = 0;
};

// The one place that says whether a cell shows something other than the board holds.
inline bool CellChanged(const GameState& s, int n) {
    return s.shownTile[n] != s.cellTile[n] || s.shownColour[n] != s.cellColour[n];
}

}  // namespace kov
