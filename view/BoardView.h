// The board surface: one picture cell per board cell on the ground colour. It draws what the
// game controller says and reports the player's mouse in board pixels; it decides nothing about
// the game, not even which cell the mouse is over.
#pragma once

#include <QPoint>
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
    PictureCell* Cell(int n) const;
    int CellsBuilt() const { return static_cast<int>(cells_.size()) - 1; }

    // Removes every cell and makes one blank cell per cell of the board now in force.
    void Rebuild();
    // Hides every cell, then moves and sizes each where it changed and shows it again.
    void ReLay();
    // Shows each listed cell's new picture.
    void Paint(const std::vector<CellPicture>& cells);

  signals:
    // Where the main button went down, and where the pointer moved, in board pixels.
    void clicked(QPoint at);
    void doubleClicked(QPoint at);
    void pointerMoved(QPoint at);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

  private:
    QRect Place(int n) const;
    // The surface covers the board and its margin, so a scroll area around it can reach
    // every cell; it never touches the window.
    void FitToBoard();

    const GameController& game_;
    const PictureSet& pictures_;
    std::vector<PictureCell*> cells_;  // entry 0 unused
};

}  // namespace kov
