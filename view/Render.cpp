#include "view/BoardView.h"
#include "view/PictureCell.h"
#include "view/PictureSet.h"

namespace kov {

void BoardView::RenderBoard() {
    const int cells = s_.CellCount();
    for (int n = 1; n <= cells; ++n) {
        if (CellChanged(s_, n)) Repaint(n);
    }
}

// Qt paints only from the event loop, so swapping the picture and scheduling one update is
// already atomic on screen; hiding the cell around it would only add work.
void BoardView::Repaint(int n) {
    const Int16 t = s_.cellTile[n];
    const Int16 c = s_.cellColour[n];
    img_[static_cast<std::size_t>(n)]->SetPicture(&cnImg_.Img(PictureIndex(t, c)));
    s_.shownTile[n] = t;
    s_.shownColour[n] = c;
    ++repaints_;
}

}  // namespace kov
