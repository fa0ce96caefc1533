// The board surface: one picture cell per board cell on the ground colour. It draws what the
// game controller says and reports the player's mouse; it decides nothing about the game.
#pragma once

#include <QWidget>
#include <vector>

#include "game/GameController.h"

namespace kov {

class PictureCell;
class PictureSet;

class BoardView final : public QWidget {
    Q_OBJECT

  public:
    BoardView(const GameController& game, const PictureSet& pictures, QWidget* parent = nullptr);

    // Cell n, 1..CellsBuilt(); null for any other number.
    PictureCell* Img(int n) const;
    int CellsBuilt() const { return static_cast<int>(cells_.size()) - 1; }

    // Removes every cell and makes one blank cell per cell of the board now in force.
    void Rebuild();
    // Hides every cell, then moves and sizes each where it changed and shows it again.
    void Relay();
    // Shows each listed cell's new picture.
    void Paint(const std::vector<CellPicture>& cells);

    // Pictures changed by Paint since the board was made.
    long RepaintCount() const { return repaints_; }

    // Called by the cells.
    void ReportClick(int n) { emit cellClicked(n); }
    void ReportDoubleClick(int n) { emit cellDoubleClicked(n); }
    void ReportMouseMove(int n) { emit cellMouseMoved(n); }

  signals:
    void cellClicked(int n);
    void cellDoubleClicked(int n);
    void cellMouseMoved(int n);

  private:
    QRect Place(int n) const;
    // The surface covers the board and its margin, so a scroll area around it can reach
    // every cell; it never touches the window.
    void FitToBoard();

    const GameController& game_;
    const PictureSet& pictures_;
    std::vector<PictureCell*> cells_;  // entry 0 unused
    long repaints_ = 0;
};

}  // namespace kov
