// The menu commands that change a setting: pipe count, board and picture size, grid, the two
// options, and the hint.
#include <QAction>

#include "app/MenuTable.h"
#include "app/frmMain.h"
#include "play/Play.h"
#include "view/BoardView.h"
#include "view/Layout.h"
#include "view/MapSize.h"

namespace kov {

// Start-up only; none of the ten items is marked yet.
void frmMain::PickRandomPipeCount() {
    s_.wantedPipes = DrawStartPipeCount(rng_);
    mnuNum_[static_cast<std::size_t>(s_.wantedPipes)]->setChecked(true);
}

void frmMain::ApplyPipeCount() {
    for (int n = 1; n <= MaxPipes; ++n) {
        QAction* item = mnuNum_[static_cast<std::size_t>(n)];
        if (item->isChecked()) item->setChecked(false);
    }
    mnuNew_Click();
}

void frmMain::mnuNum_Click(Int16 n) {
    if (s_.wantedPipes == n) return;
    s_.wantedPipes = n;
    ApplyPipeCount();
    mnuNum_[static_cast<std::size_t>(n)]->setChecked(true);
}

// Always a new game, even when the draw repeats the count in force.
void frmMain::mnuNumRND_Click() {
    s_.wantedPipes = DrawAnyPipeCount(rng_);
    ApplyPipeCount();
    mnuNum_[static_cast<std::size_t>(s_.wantedPipes)]->setChecked(true);
}

void frmMain::mnuMapSize_Click(int item) {
    const BoardSize size = BoardSizes[item];
    // The row counts all differ, so the rows alone tell the size in force.
    if (s_.mapRows == size.rows) return;
    board_->UnloadTileGrid();
    s_.mapRows = size.rows;
    s_.mapCols = size.cols;
    ChangeMapSize(*board_, mnuMapSize_, [this] { mnuNew_Click(); });
    mnuMapSize_[item]->setChecked(true);
}

void frmMain::mnuImgSizeB_Click() {
    ChangePictureSize(*board_, LargeTiles, Item("mnuGrid"), Item("mnuImgSizeB"),
                      Item("mnuImgSizeM"));
}

void frmMain::mnuImgSizeM_Click() {
    ChangePictureSize(*board_, SmallTiles, Item("mnuGrid"), Item("mnuImgSizeM"),
                      Item("mnuImgSizeB"));
}

void frmMain::mnuGrid_Click() {
    ToggleGrid(*board_, Item("mnuGrid"));
}

void frmMain::ToggleOption(Int16& flag, QAction& item) {
    if (flag == 0) {
        flag = 1;
        item.setChecked(true);
    } else {
        flag = 0;
        item.setChecked(false);
    }
    mnuNew_Click();
}

void frmMain::mnuShort_Click() {
    ToggleOption(s_.shortPipes, Item("mnuShort"));
}

void frmMain::mnuDelimiter_Click() {
    ToggleOption(s_.useTees, Item("mnuDelimiter"));
}

// With every pipe complete there is nothing to lay and nothing is drawn.
void frmMain::mnuHelp1_Click() {
    if (LayOneUnfinishedPipe(s_, rng_)) board_->RenderBoard();
}

}  // namespace kov
