// One picture cell of the board: shows a picture of the set stretched to its own size. The
// mouse passes through it to the board, which reports where it is.
#pragma once

#include <QWidget>

class QPixmap;

namespace kov {

class PictureCell final : public QWidget {
  public:
    // Showing nothing yet; it appears with a board not yet shown, or on its own show().
    explicit PictureCell(QWidget* board);

    // The picture stays owned by the picture set, which outlives every cell.
    void SetPicture(const QPixmap* picture);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const QPixmap* picture_ = nullptr;
};

}  // namespace kov
