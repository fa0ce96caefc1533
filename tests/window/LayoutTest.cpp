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
        QPoint end;
        for (int n = 1; n <= S().CellCount(); ++n) {
            const QRect g = Board().Img(n)->geometry();
            end = QPoint(std::max(end.x(), g.right() + 1), std::max(end.y(), g.bottom() + 1));
        }
        return end;
    }
    // The picture of a slot drawn at size x size, each source pixel a square block.
    static QImage Blown(int slot, int size) {
        const QImage pic = Pictures().Img(slot).toImage().convertToFormat(QImage::Format_RGB32);
        QImage out(size, size, QImage::Format_RGB32);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                out.setPixel(x, y, pic.pixel(x * 35 / size, y * 35 / size));
        return out;
    }
    // Every cell of the board, grabbed from the screen, against the picture it should show.
    void ExpectBoardShowsItsPictures() {
        const QImage shot = Board().grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (int n = 1; n <= S().CellCount(); ++n) {
            const QRect g = Board().Img(n)->geometry();
            const QImage want = Blown(PictureIndex(S().cellTile[n], S().cellColour[n]), g.width());
            ASSERT_EQ(shot.copy(g), want) << "cell " << n;
        }
    }
};

TEST_F(LayoutTest, StartCellsFillTheClientAreaWithAFivePixelMargin) {
    EXPECT_EQ(CellRect(1, 1), QRect(5, 5, 35, 35));
    EXPECT_EQ(CellRect(3, 2), QRect(75, 40, 35, 35));
    EXPECT_EQ(CellRect(10, 9), QRect(320, 285, 35, 35));
    EXPECT_EQ(BoardEnd(), QPoint(355, 320));
    EXPECT_EQ(Board().Img(0)->geometry(), QRect(0, 0, 35, 35));
    EXPECT_TRUE(Board().Img(0)->isHidden());
    for (int n = 1; n <= 90; ++n) {
        ASSERT_EQ(Board().Img(n)->Index(), n);
        ASSERT_FALSE(Board().Img(n)->isHidden());
    }
}

TEST_F(LayoutTest, GridOpensOnePixelGapsAndNeverResizesTheWindow) {
    Show();
    const QSize window = w->size();
    Item("mnuGrid").trigger();
    EXPECT_EQ(CellRect(1, 1), QRect(5, 5, 35, 35));
    EXPECT_EQ(CellRect(10, 1).left(), 329);
    EXPECT_EQ(CellRect(3, 2), QRect(77, 41, 35, 35));
    EXPECT_EQ(BoardEnd(), QPoint(364, 328));
    EXPECT_EQ(w->size(), window);
    Item("mnuGrid").trigger();
    EXPECT_EQ(CellRect(10, 9), QRect(320, 285, 35, 35));
    EXPECT_EQ(BoardEnd(), QPoint(355, 320));
}

TEST_F(LayoutTest, LargePicturesKeepTheGrid) {
    Item("mnuGrid").trigger();
    Item("mnuImgSizeB").trigger();
    EXPECT_EQ(S().showGrid, 1);
    EXPECT_TRUE(Item("mnuGrid").isChecked());
    EXPECT_TRUE(Item("mnuImgSizeB").isChecked());
    EXPECT_FALSE(Item("mnuImgSizeM").isChecked());
    EXPECT_EQ(CellRect(3, 2), QRect(147, 76, 70, 70));
    EXPECT_EQ(CellRect(1, 1), QRect(5, 5, 70, 70));
    Item("mnuImgSizeM").trigger();
    EXPECT_EQ(S().showGrid, 1);
    EXPECT_EQ(CellRect(3, 2), QRect(77, 41, 35, 35));
    EXPECT_TRUE(Item("mnuImgSizeM").isChecked());
    EXPECT_FALSE(Item("mnuImgSizeB").isChecked());
}

TEST_F(LayoutTest, ThePictureSizeInForceChangesNothing) {
    Show();
    int events = 0;
    struct Counter : QObject {
        int* n;
        explicit Counter(int* count) : n(count) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Hide || e->type() == QEvent::Move ||
                e->type() == QEvent::Resize)
                ++*n;
            return false;
        }
    } counter(&events);
    for (int n = 1; n <= 90; ++n)
        Board().Img(n)->installEventFilter(&counter);
    Item("mnuImgSizeM").trigger();
    QApplication::processEvents();
    EXPECT_EQ(events, 0);
    EXPECT_TRUE(Item("mnuImgSizeM").isChecked());
    EXPECT_FALSE(Item("mnuImgSizeB").isChecked());
    EXPECT_EQ(S().showGrid, 0);
    EXPECT_FALSE(Item("mnuGrid").isChecked());
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
        if (t == QEvent::Move && n == 1) ++movesOfFirst;
        if (t == QEvent::Move && n == 2) ++movesOfSecond;
        if (t == QEvent::Resize) ++resizes;
    }
    EXPECT_LT(lastHide, firstShow);
    EXPECT_EQ(movesOfFirst, 0);
    EXPECT_EQ(movesOfSecond, 1);
    EXPECT_EQ(resizes, 0);
    for (int n = 1; n <= 90; ++n)
        EXPECT_FALSE(Board().Img(n)->isHidden());
}

TEST_F(LayoutTest, GridAndSizeDoNotRepaint) {
    const long repaints = Repaints();
    const QString caption = w->windowTitle();
    for (const char* c : {"mnuGrid", "mnuImgSizeB", "mnuGrid", "mnuImgSizeM"})
        Item(c).trigger();
    EXPECT_EQ(Repaints(), repaints);
    EXPECT_EQ(w->windowTitle(), caption);
    for (int n = 1; n <= 90; ++n)
        EXPECT_FALSE(CellChanged(S(), n));
}

TEST_F(LayoutTest, SmallPicturesAppearExactly) {
    Show();
    ExpectBoardShowsItsPictures();
    // The margin and, with the grid on, the gaps show the ground.
    Item("mnuGrid").trigger();
    const QImage shot = Board().grab().toImage();
    EXPECT_EQ(shot.pixel(0, 0), qRgb(128, 128, 128));
    EXPECT_EQ(shot.pixel(4, 100), qRgb(128, 128, 128));
    EXPECT_EQ(shot.pixel(40, 20), qRgb(128, 128, 128));
    EXPECT_EQ(shot.pixel(20, 40), qRgb(128, 128, 128));
    ExpectBoardShowsItsPictures();
}

TEST_F(LayoutTest, LargePicturesArePixelDoubledNotSmoothed) {
    Show();
    Item("mnuImgSizeB").trigger();
    ExpectBoardShowsItsPictures();
    // After a turn the repainted cell is as crisp.
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
        const QRect seen = area->viewport()->rect();
        const QRect cell(Board().Img(n)->mapTo(area->viewport(), QPoint(0, 0)), QSize(70, 70));
        EXPECT_TRUE(seen.contains(cell)) << n;
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
