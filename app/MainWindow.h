// The game window: owns the game state, the board and the menu, and turns each event into one
// call of the game's core followed by a redraw.
#pragma once

#include <QList>
#include <QMainWindow>
#include <array>

#include "board/GameState.h"
#include "generator/Random.h"

class QAction;
class QScrollArea;

namespace kov {

class BoardView;
class PictureSet;

class frmMain final : public QMainWindow {
    Q_OBJECT

  public:
    // Builds the menu and runs the start-up: defaults, the pipe count, the cells and the first
    // game. The random source is already seeded; the window is not shown yet.
    frmMain(const PictureSet& cnImg, RandomSource& rng, QWidget* parent = nullptr);

    GameState& State() { return s_; }
    BoardView& Board() { return *board_; }

    // Game flow.
    void mnuNew_Click();
    void mnuSalat_Click();

    // Pipe count.
    void mnuNum_Click(Int16 n);
    void mnuNumRND_Click();

    // Board and picture size, grid.
    void mnuMapSize_Click(int item);
    void mnuImgSizeB_Click();
    void mnuImgSizeM_Click();
    void mnuGrid_Click();

    // Options and the hint.
    void mnuShort_Click();
    void mnuDelimiter_Click();
    void mnuHelp1_Click();

    // Play.
    void Img_Click(int n);
    void Img_DblClick(int n);
    void Img_MouseMove(int n);
    void Form_KeyDown(int virtualKey);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void BuildMenu();
    void TakeKeysBack();
    void Form_Load();
    void UpdateCaption();
    void PickRandomPipeCount();
    void ApplyPipeCount();
    void ToggleOption(Int16& flag, QAction& item);
    QAction& Item(const char* name) const;

    GameState s_;
    const PictureSet& cnImg_;
    RandomSource& rng_;
    QScrollArea* scroller_ = nullptr;
    BoardView* board_ = nullptr;

    // The marked groups, read back when their marks are cleared.
    std::array<QAction*, MaxPipes + 1> mnuNum_{};  // mnuNum1..mnuNum10; entry 0 unused
    QList<QAction*> mnuMapSize_;                   // in menu order, "25 x 15" first
};

}  // namespace kov
