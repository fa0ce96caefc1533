#include "game/GameController.h"

#include <algorithm>

#include "game/Defaults.h"
#include "play/Play.h"

namespace kov {

namespace {

bool IsArrow(int virtualKey) {
    return virtualKey == vk::Left || virtualKey == vk::Up || virtualKey == vk::Right ||
           virtualKey == vk::Down;
}

}  // namespace

GameController::GameController(std::unique_ptr<RandomSource> rng)
    : rng_(std::move(rng)), marks_(MenuEntries().size(), false) {
    // The marks the menu shows before anything runs agree with the settings below.
    for (Command item : {SizeCommand(StartBoardSize), Command::SmallPictures,
                         Command::ToggleShortPipes, Command::ToggleTees})
        marks_[MenuIndexOf(item)] = true;
    s_.shortPipes = StartShortPipes;
    // The first draw of the run.
    s_.wantedPipes = DrawStartPipeCount(*rng_);
    Mark(PipesCommand(s_.wantedPipes), true);
    s_.useTees = StartUseTees;
    s_.mapRows = BoardSizes[StartBoardSize].rows;
    s_.mapCols = BoardSizes[StartBoardSize].cols;
    s_.tileSize = StartTileSize;
    BuildTileGrid();
    NewGame();
}

void GameController::Run(Command command) {
    const int c = static_cast<int>(command);
    if (command >= Command::Pipes1 && command <= Command::Pipes10) {
        SetPipeCount(static_cast<Int16>(c - static_cast<int>(Command::Pipes1) + 1));
        return;
    }
    if (command >= Command::Size25x15 && command <= Command::Size5x5) {
        ChangeBoardSize(c - static_cast<int>(Command::Size25x15));
        return;
    }
    switch (command) {
        case Command::NewGame:
            NewGame();
            break;
        case Command::Rescramble:
            Rescramble();
            break;
        case Command::RandomPipeCount:
            DrawPipeCount();
            break;
        case Command::LargePictures:
            ChangePictureSize(LargeTiles);
            break;
        case Command::SmallPictures:
            ChangePictureSize(SmallTiles);
            break;
        case Command::ToggleShortPipes:
            ToggleOption(s_.shortPipes, Command::ToggleShortPipes);
            break;
        case Command::ToggleTees:
            ToggleOption(s_.useTees, Command::ToggleTees);
            break;
        case Command::ToggleGrid:
            ToggleGrid();
            break;
        case Command::LayOnePipe:
            LayOnePipe();
            break;
        default:
            break;
    }
}

void GameController::NewGame() {
    NewGameModel(s_, *rng_);
    RenderBoard();
    changes_.caption = true;
}

void GameController::Rescramble() {
    RescrambleModel(s_, *rng_);
    RenderBoard();
    changes_.caption = true;
}

// The count in force does nothing; another clears the marks, deals, and marks the new count
// once the game is drawn.
void GameController::SetPipeCount(Int16 n) {
    if (s_.wantedPipes == n) return;
    s_.wantedPipes = n;
    ApplyPipeCount();
    Mark(PipesCommand(n), true);
}

// Always a new game, even when the draw repeats the count in force.
void GameController::DrawPipeCount() {
    s_.wantedPipes = DrawAnyPipeCount(*rng_);
    ApplyPipeCount();
    Mark(PipesCommand(s_.wantedPipes), true);
}

void GameController::ApplyPipeCount() {
    for (int n = 1; n <= MaxPipes; ++n)
        if (IsMarked(PipesCommand(n))) Mark(PipesCommand(n), false);
    NewGame();
}

void GameController::ChangeBoardSize(int sizeIndex) {
    const BoardSize size = BoardSizes[sizeIndex];
    if (s_.mapCols == size.cols && s_.mapRows == size.rows) return;
    // The old cells go with the old board, before the size changes.
    ClearBoard(s_);
    s_.mapRows = size.rows;
    s_.mapCols = size.cols;
    for (int i = 0; i < static_cast<int>(std::size(BoardSizes)); ++i)
        if (IsMarked(SizeCommand(i))) Mark(SizeCommand(i), false);
    BuildTileGrid();
    NewGame();
    Mark(SizeCommand(sizeIndex), true);
}

// Every cell starts blank with codes 0 and 0, so the next render paints exactly the cells
// that hold something.
void GameController::BuildTileGrid() {
    for (int n = 1; n <= s_.CellCount(); ++n) {
        shownTile_[n] = 0;
        shownColour_[n] = 0;
    }
    changes_.cells.clear();
    changes_.rebuilt = true;
    changes_.reLaid = true;
}

void GameController::ToggleGrid() {
    s_.showGrid = s_.showGrid != 0 ? 0 : 1;
    Mark(Command::ToggleGrid, s_.showGrid != 0);
    changes_.reLaid = true;
}

// The cells are re-laid at the new size; the grid stays as it is.
void GameController::ChangePictureSize(Int16 size) {
    if (s_.tileSize == size) return;
    s_.tileSize = size;
    changes_.reLaid = true;
    const bool large = size == LargeTiles;
    Mark(large ? Command::SmallPictures : Command::LargePictures, false);
    Mark(large ? Command::LargePictures : Command::SmallPictures, true);
}

void GameController::ToggleOption(Int16& flag, Command item) {
    flag = flag == 0 ? 1 : 0;
    Mark(item, flag != 0);
    NewGame();
}

// With every pipe complete there is nothing to lay and nothing to draw.
void GameController::LayOnePipe() {
    if (LayOneUnfinishedPipe(s_, *rng_)) RenderBoard();
}

void GameController::PointerAt(int x, int y) {
    if (const int cell = CellAt(x, y); cell != 0) s_.hoverCell = static_cast<Int16>(cell);
}

// A press lands where the pointer is, so its cell is also the arrows' target from now on.
void GameController::ClickAt(int x, int y) {
    const int cell = CellAt(x, y);
    if (cell == 0) return;
    s_.hoverCell = static_cast<Int16>(cell);
    Turn(cell, true);
}

void GameController::DoubleClickAt(int x, int y) {
    ClickAt(x, y);
}

bool GameController::KeyDown(int virtualKey, bool repeat) {
    if (const std::optional<Command> command = CommandForKey(virtualKey)) {
        // Holding a function key must not deal game after game: only the press itself runs.
        if (!repeat) Run(*command);
        return true;
    }
    switch (::kov::KeyDown(s_, virtualKey)) {
        case KeyResult::Close:
            changes_.close = true;
            return true;
        case KeyResult::Turned:
            RenderBoard();
            return true;
        case KeyResult::Ignored:
            break;
    }
    return IsArrow(virtualKey);
}

void GameController::Turn(int cell, bool clockwise) {
    if (TurnCell(s_, cell, clockwise)) RenderBoard();
}

void GameController::RenderBoard() {
    const int cells = s_.CellCount();
    for (int n = 1; n <= cells; ++n) {
        const Int16 t = s_.cellTile[n];
        const Int16 c = s_.cellColour[n];
        if (shownTile_[n] == t && shownColour_[n] == c) continue;
        changes_.cells.push_back({n, PictureIndex(t, c)});
        shownTile_[n] = t;
        shownColour_[n] = c;
    }
}

bool GameController::IsMarked(Command item) const {
    return marks_[MenuIndexOf(item)];
}

void GameController::Mark(Command item, bool checked) {
    const std::size_t entry = MenuIndexOf(item);
    if (marks_[entry] == checked) return;
    marks_[entry] = checked;
    changes_.marks.push_back({entry, checked});
}

std::string GameController::Caption() const {
    return std::string(GameName) + " " + std::to_string(s_.mapCols) + "x" +
           std::to_string(s_.mapRows) + " - " + std::to_string(s_.pipeCount) + "шт.";
}

// One pixel of ground between neighbouring cells when the grid is on.
int GameController::Pitch() const {
    return s_.tileSize + (s_.showGrid != 0 ? 1 : 0);
}

PixelRect GameController::CellRect(int cell) const {
    const int c = (cell - 1) % s_.mapCols;
    const int r = (cell - 1) / s_.mapCols;
    return {BoardMargin + c * Pitch(), BoardMargin + r * Pitch(), s_.tileSize, s_.tileSize};
}

PixelSize GameController::BoardPixels() const {
    const int gap = Pitch() - s_.tileSize;
    return {2 * BoardMargin + s_.mapCols * Pitch() - gap,
            2 * BoardMargin + s_.mapRows * Pitch() - gap};
}

PixelSize GameController::WindowPixels(int menuBarWidth) const {
    const PixelSize board = BoardPixels();
    return {std::max(board.width, menuBarWidth), board.height};
}

int GameController::CellAt(int x, int y) const {
    const int pitch = Pitch();
    x -= BoardMargin;
    y -= BoardMargin;
    if (x < 0 || y < 0 || x % pitch >= s_.tileSize || y % pitch >= s_.tileSize) return 0;
    const int c = x / pitch;
    const int r = y / pitch;
    if (c >= s_.mapCols || r >= s_.mapRows) return 0;
    return r * s_.mapCols + c + 1;
}

int GameController::ShownPicture(int cell) const {
    if (cell < 1 || cell > s_.CellCount()) return 0;
    return PictureIndex(shownTile_[cell], shownColour_[cell]);
}

Changes GameController::TakeChanges() {
    Changes taken = std::move(changes_);
    changes_ = Changes{};
    return taken;
}

}  // namespace kov
