// Where the cells lie, what they look like, and how the grid and picture size re-lay them.
#include <QScrollArea>
#include <QScrollBar>

#include "tests/window/WindowFixture.h"

namespace kov::test {
namespace {

class LayoutTest : public WindowTest {
  protected:
    QRect CellRect(int column, int row) {
        return Board().Img((row - 1) * S().mapCols + column)->geometry();
    }
    // The right and bottom edges of the board, one past its last pixel.
    QPoint BoardEnd() {
        const QRect last = Board().Img(S().CellCount())->geometry();
        return {last.right() + 1, last.bottom() + 1};
    }
    // Every cell of the board, grabbed from the screen, against the picture it should show,
    // each source pixel a square block; the margin and the grid's gaps show the ground.
    void ExpectBoardShowsItsPictures() {
        const QImage shot = Board().grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (int n = 1; n <= S().CellCount(); ++n) {
            const QRect g = Board().Img(n)->geometry();
            const QImage pic = Pictures()
                                   .Img(PictureIndex(S().cellTile[n], S().cellColour[n]))
                                   .toImage()
                                   .convertToFormat(QImage::Format_RGB32);
            for (int y = 0; y < g.height(); ++y)
                for (int x = 0; x < g.width(); ++x)
                    ASSERT_EQ(shot.pixel(g.x() + x, g.y() + y),
                              pic.pixel(x * 35 / g.width(), y * 35 / g.height()))
                        << "cell " << n << " at " << x << "," << y;
        }
        std::vector<QPoint> ground{{0, 0}, {4, 100}};
        if (S().showGrid != 0)
            ground.insert(ground.end(), {{S().tileSize + 5, 20}, {20, S().tileSize + 5}});
        for (const QPoint p : ground)
            EXPECT_EQ(shot.pixel(p), qRgb(128, 128, 128)) << p.x() << "," << p.y();
    }
};

// The cells' places at start, with the grid, with large pictures and back, without a repaint,
// a change of caption or a change of the window's size.
TEST_F(LayoutTest, GridAndPictureSizeReLayTheCells) {
    Show();
    const QSize window = w->size();
    const QString caption = w->windowTitle();
    const long repaints = Repaints();
    struct Step {
        const char* item;          // nullptr: the start
        QRect first, third, last;  // cells (1,1), (3,2), (10,9)
        QPoint end;
    };
    const Step steps[] = {
        {nullptr, {5, 5, 35, 35}, {75, 40, 35, 35}, {320, 285, 35, 35}, {355, 320}},
        {"mnuGrid", {5, 5, 35, 35}, {77, 41, 35, 35}, {329, 293, 35, 35}, {364, 328}},
        {"mnuImgSizeB", {5, 5, 70, 70}, {147, 76, 70, 70}, {644, 573, 70, 70}, {714, 643}},
        {"mnuImgSizeM", {5, 5, 35, 35}, {77, 41, 35, 35}, {329, 293, 35, 35}, {364, 328}},
        {"mnuGrid", {5, 5, 35, 35}, {75, 40, 35, 35}, {320, 285, 35, 35}, {355, 320}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.item ? step.item : "start");
        if (step.item) Item(step.item).trigger();
        EXPECT_EQ(CellRect(1, 1), step.first);
        EXPECT_EQ(CellRect(3, 2), step.third);
        EXPECT_EQ(CellRect(10, 9), step.last);
        EXPECT_EQ(BoardEnd(), step.end);
        EXPECT_EQ(w->size(), window);
    }
    EXPECT_EQ(Repaints(), repaints);
    EXPECT_EQ(w->windowTitle(), caption);
}

// Every cell is hidden before any moves, and a cell that keeps its place is not moved.
TEST_F(LayoutTest, RelayHidesAllFirstAndWritesOnlyChanges) {
    Show();
    std::vector<std::pair<QEvent::Type, int>> log;
    struct Recorder : QObject {
        std::vector<std::pair<QEvent::Type, int>>* log;
        explicit Recorder(std::vector<std::pair<QEvent::Type, int>>* l) : log(l) {}
        bool eventFilter(QObject* o, QEvent* e) override {
            const auto t = e->type();
            if (t == QEvent::Hide || t == QEvent::Show || t == QEvent::Move || t == QEvent::Resize)
                log->emplace_back(t, static_cast<PictureCell*>(o)->Index());
            return false;
        }
    } recorder(&log);
    for (int n = 1; n <= 90; ++n)
        Board().Img(n)->installEventFilter(&recorder);
    Item("mnuGrid").trigger();
    QApplication::processEvents();

    std::size_t firstShow = log.size(), lastHide = 0;
    int movesOfFirst = 0, movesOfSecond = 0, resizes = 0;
    for (std::size_t i = 0; i < log.size(); ++i) {
        const auto [t, n] = log[i];
        if (t == QEvent::Hide) lastHide = i;
        if (t == QEvent::Show) firstShow = std::min(firstShow, i);
        movesOfFirst += t == QEvent::Move && n == 1 ? 1 : 0;
        movesOfSecond += t == QEvent::Move && n == 2 ? 1 : 0;
        resizes += t == QEvent::Resize ? 1 : 0;
    }
    EXPECT_LT(lastHide, firstShow);
    EXPECT_EQ(movesOfFirst, 0);
    EXPECT_EQ(movesOfSecond, 1);
    EXPECT_EQ(resizes, 0);
    for (int n = 1; n <= 90; ++n)
        EXPECT_FALSE(Board().Img(n)->isHidden());
}

// Small pictures as they are, with and without the grid; large ones pixel-doubled, not
// smoothed, and as crisp after a turn repaints a cell.
TEST_F(LayoutTest, TheBoardShowsExactlyItsPictures) {
    Show();
    ExpectBoardShowsItsPictures();
    Item("mnuGrid").trigger();
    ExpectBoardShowsItsPictures();
    Item("mnuImgSizeB").trigger();
    ExpectBoardShowsItsPictures();
    Click(TurnableCell());
    ExpectBoardShowsItsPictures();
}

TEST_F(LayoutTest, TheUserCanScrollToEveryCellOfABoardLargerThanTheWindow) {
    Show();
    const QSize window = w->size();
    Item("mnuImgSizeB").trigger();
    Item("mnuGrid").trigger();
    Item("mnuMapSize1525").trigger();
    EXPECT_EQ(w->size(), window);
    EXPECT_EQ(BoardEnd(), QPoint(1779, 1069));
    auto* area = qobject_cast<QScrollArea*>(w->centralWidget());
    ASSERT_NE(area, nullptr);
    for (int n : {1, 25, 351, 375}) {
        area->ensureWidgetVisible(Board().Img(n), 0, 0);
        const QRect cell(Board().Img(n)->mapTo(area->viewport(), QPoint(0, 0)), QSize(70, 70));
        EXPECT_TRUE(area->viewport()->rect().contains(cell)) << n;
    }
    // The far margin is reachable too.
    EXPECT_EQ(area->horizontalScrollBar()->maximum(), 1784 - area->viewport()->width());
}

TEST_F(LayoutTest, TheBoardStaysTopLeftWhenTheWindowGrows) {
    Show();
    w->resize(900, 700);
    QApplication::processEvents();
    EXPECT_EQ(Board().mapTo(w->centralWidget(), QPoint(0, 0)), QPoint(0, 0));
    EXPECT_EQ(Board().Img(1)->mapTo(w->centralWidget(), QPoint(0, 0)), QPoint(5, 5));
}

}  // namespace
}  // namespace kov::test
