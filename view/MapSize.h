// Changing the board size: the old cells go, a new grid is built and a new game starts on it.
#pragma once

#include <QList>
#include <functional>

class QAction;

namespace kov {

class BoardView;

// A board-size change once the old cells are gone and the new size is set: clears the size
// marks in menu order, builds the new cells and starts a new game. The caller marks the
// chosen size after this returns.
void ChangeMapSize(BoardView& board, const QList<QAction*>& sizeItems,
                   const std::function<void()>& newGame);

}  // namespace kov
