// One picture cell of the board: shows a picture of the set stretched to its own size and
// reports the player's mouse to the board it belongs to.
#pragma once

#include <QWidget>

class QPixmap;

namespace kov {

class BoardView;

class PictureCell final : public QWidget {
  public:
    // Hidden, showing nothing yet; cell `index` of the board.
    PictureCell(BoardView* board, int index);

    int Index() const { return index_; }
    const QPixmap* Picture() const { return picture_; }
    // The picture stays owned by the picture set, which outlives every cell.
    void SetPicture(const QPixmap* picture);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    BoardView* board_;
    int index_;
    const QPixmap* picture_ = nullptr;
};

}  // namespace kov
