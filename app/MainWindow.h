// The game window: a thin front end over the game controller. It builds the menu from the
// controller's table, forwards every command, key and pointer event, and draws what changed;
// what is Qt's own (the keys' owner, the scroll area, the window itself) stays here.
#pragma once

#include <QMainWindow>
#include <memory>
#include <vector>

#include "game/GameController.h"

class QAction;
class QScrollArea;

namespace kov {

class BoardView;
class PictureSet;

class MainWindow final : public QMainWindow {
    Q_OBJECT

  public:
    // Builds the menu and the board of a game that has just started. The random source is
    // seeded already; the window is not shown yet.
    MainWindow(const PictureSet& pictures, std::unique_ptr<RandomSource> rng,
               QWidget* parent = nullptr);

    const GameController& Game() const { return game_; }
    BoardView& Board() { return *board_; }
    // The action of menu entry i (a menu's own action for a menu, null for a separator).
    QAction* Action(std::size_t entry) const { return actions_[entry]; }

    // A command as the menu runs it, drawn at once.
    void Run(Command command);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void BuildMenu();
    void FitToBoard();
    // Tells the game where the pointer is on the board, if it is over the board's visible part:
    // after the board moved under a still pointer, another cell may be under it.
    void ReportPointer();
    void Key(int virtualKey, bool repeat);
    // Brings the window in line with what the controller changed.
    void Apply(const Changes& changes);

    GameController game_;
    QScrollArea* scroller_ = nullptr;
    BoardView* board_ = nullptr;
    std::vector<QAction*> actions_;  // one per menu entry
};

}  // namespace kov
