// One picture cell of the board: shows a picture of the set stretched to its own size. The
// mouse passes through it to the board, which reports where it is.
#pragma once

#include <QWidget>

class QPixmap;

namespace kov {

class PictureCell final : public QWidget {
  public:
    // Hidden, showing nothing yet.
    explicit PictureCell(QWidget* board);

    // The picture stays owned by the picture set, which outlives every cell.
    void SetPicture(const QPixmap* picture);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const QPixmap* picture_ = nullptr;
};

}  // namespace kov
