// The cells on screen: where the controller puts them, what they show pixel for pixel, how a
// re-lay moves them and a size change replaces them, and that every cell can be reached.
#include <QCursor>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include "game/Defaults.h"
#include "tests/window/WindowFixture.h"

namespace kov::test {
namespace {

class LayoutTest : public WindowTest {
  protected:
    // Cells 1..N exist, numbered without gaps, shown where the controller places them; no
    // other cell is left under the board.
    void ExpectCellsInPlace() {
        const int cells = S().CellCount();
        ASSERT_EQ(Board().CellsBuilt(), cells);
        ASSERT_EQ(Board().findChildren<PictureCell*>().size(), cells);
        for (int n = 1; n <= cells; ++n) {
            const PictureCell* cell = Board().Cell(n);
            const PixelRect r = w->Game().CellRect(n);
            ASSERT_EQ(cell->geometry(), QRect(r.left, r.top, r.width, r.height)) << n;
            ASSERT_FALSE(cell->isHidden()) << n;
        }
        const PixelSize size = w->Game().BoardPixels();
        EXPECT_EQ(Board().size(), QSize(size.width, size.height));
    }
    // Below the menu bar the window is the board with its margin, widened to the menu bar
    // where the board is narrower, when the screen has room; otherwise it fills the screen's
    // free area and scrolls.
    void ExpectWindowFitsTheBoard() {
        const PixelSize board = w->Game().BoardPixels();
        const QSize free = w->screen()->availableGeometry().size();
        QMenuBar* bar = w->menuBar();
        const int width = std::max(board.width, bar->sizeHint().width());
        const QSize want(width, board.height + bar->heightForWidth(width));
        if (want.width() <= free.width() && want.height() <= free.height()) {
            EXPECT_EQ(w->size(), want);
            // Every menu on the bar, none behind Qt's overflow button.
            for (QAction* menu : bar->actions())
                EXPECT_TRUE(bar->rect().contains(bar->actionGeometry(menu)))
                    << menu->text().toStdString() << " lies outside a bar " << bar->width()
                    << " wide";
        } else {
            EXPECT_LE(w->width(), free.width());
            EXPECT_LE(w->height(), free.height());
        }
    }
    // Every cell, grabbed from the screen, against the picture it should show, each source
    // pixel a square block; the margin and the grid's gaps show the ground.
    void ExpectBoardShowsItsPictures() {
        const QImage shot = Board().grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (int n = 1; n <= S().CellCount(); ++n) {
            const QRect g = Board().Cell(n)->geometry();
            const QImage pic = Pictures()
                                   .Picture(PictureIndex(S().cellTile[n], S().cellColour[n]))
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
        const QRgb grey = qRgb(BoardGround, BoardGround, BoardGround);
        for (const QPoint p : ground)
            EXPECT_EQ(shot.pixel(p), grey) << p.x() << "," << p.y();
    }
};

// Small pictures as they are, with and without the grid; large ones pixel-doubled, not
// smoothed; and as exact after a click repaints a cell and after a change of size. The window
// follows the board.
TEST_F(LayoutTest, TheBoardShowsExactlyItsPicturesWhereverTheCellsGo) {
    Show();
    EXPECT_EQ(w->size(), QSize(360, 325 + w->menuBar()->height()));
    ExpectCellsInPlace();
    ExpectBoardShowsItsPictures();
    for (Command c : {Command::ToggleGrid, Command::LargePictures, Command::Size8x8,
                      Command::SmallPictures, Command::ToggleGrid, Command::Size5x5,
                      Command::Size25x15, Command::LargePictures, Command::Size10x9}) {
        SCOPED_TRACE(static_cast<int>(c));
        Item(c).trigger();
        ExpectCellsInPlace();
        ExpectBoardShowsItsPictures();
        ExpectWindowFitsTheBoard();
    }
    for (int n = 1; n <= S().CellCount(); ++n)
        if (IsTurnable(S().cellTile[n])) {
            Click(n);
            break;
        }
    ExpectBoardShowsItsPictures();
}

// At every board size, picture size and grid the window is wide enough for every menu.
TEST_F(LayoutTest, EveryMenuStaysOnTheBarAtEveryBoardAndPictureSize) {
    Show();
    for (const Command pictures : {Command::SmallPictures, Command::LargePictures})
        for (int grid = 0; grid < 2; ++grid) {
            Item(pictures).trigger();
            Item(Command::ToggleGrid).trigger();
            for (int i = 0; i < static_cast<int>(std::size(BoardSizes)); ++i) {
                SCOPED_TRACE(testing::Message() << BoardSizes[i].cols << " x " << BoardSizes[i].rows
                                                << (S().showGrid != 0 ? ", grid" : "")
                                                << (S().tileSize == LargeTiles ? ", large" : ""));
                Item(SizeCommand(i)).trigger();
                ExpectWindowFitsTheBoard();
            }
        }
}

// Every cell is hidden before any moves, and a cell that keeps its place is not moved.
TEST_F(LayoutTest, ReLayHidesAllFirstAndWritesOnlyChanges) {
    Show();
    std::vector<std::pair<QEvent::Type, const QObject*>> log;
    struct Recorder : QObject {
        std::vector<std::pair<QEvent::Type, const QObject*>>* log;
        explicit Recorder(std::vector<std::pair<QEvent::Type, const QObject*>>* l) : log(l) {}
        bool eventFilter(QObject* o, QEvent* e) override {
            const auto t = e->type();
            if (t == QEvent::Hide || t == QEvent::Show || t == QEvent::Move || t == QEvent::Resize)
                log->emplace_back(t, o);
            return false;
        }
    } recorder(&log);
    for (int n = 1; n <= 90; ++n)
        Board().Cell(n)->installEventFilter(&recorder);
    Item(Command::ToggleGrid).trigger();
    QApplication::processEvents();

    std::size_t firstShow = log.size(), lastHide = 0;
    int movesOfFirst = 0, movesOfSecond = 0, resizes = 0;
    for (std::size_t i = 0; i < log.size(); ++i) {
        const auto [t, cell] = log[i];
        if (t == QEvent::Hide) lastHide = i;
        if (t == QEvent::Show) firstShow = std::min(firstShow, i);
        movesOfFirst += t == QEvent::Move && cell == Board().Cell(1) ? 1 : 0;
        movesOfSecond += t == QEvent::Move && cell == Board().Cell(2) ? 1 : 0;
        resizes += t == QEvent::Resize ? 1 : 0;
    }
    EXPECT_LT(lastHide, firstShow);
    EXPECT_EQ(movesOfFirst, 0);
    EXPECT_EQ(movesOfSecond, 1);
    EXPECT_EQ(resizes, 0);
}

TEST_F(LayoutTest, TheUserCanScrollToEveryCellOfABoardLargerThanTheWindow) {
    Show();
    Item(Command::LargePictures).trigger();
    Item(Command::ToggleGrid).trigger();
    Item(Command::Size25x15).trigger();
    auto* area = qobject_cast<QScrollArea*>(w->centralWidget());
    ASSERT_NE(area, nullptr);
    for (int n : {1, 25, 351, 375}) {
        area->ensureWidgetVisible(Board().Cell(n), 0, 0);
        const QRect cell(Board().Cell(n)->mapTo(area->viewport(), QPoint(0, 0)), QSize(70, 70));
        EXPECT_TRUE(area->viewport()->rect().contains(cell)) << n;
    }
    // The far margin is reachable too.
    EXPECT_EQ(area->horizontalScrollBar()->maximum(), 1784 - area->viewport()->width());
}

// The board scrolled under a still pointer brings another cell under it, and that one is what
// the arrows turn; scrolled while the pointer is off the board, the target stays.
TEST_F(LayoutTest, TheArrowTargetFollowsTheBoardUnderAStillPointer) {
    Show();
    Item(Command::LargePictures).trigger();
    Item(Command::Size25x15).trigger();
    auto* area = qobject_cast<QScrollArea*>(w->centralWidget());
    QScrollBar* across = area->horizontalScrollBar();
    ASSERT_GT(across->maximum(), 3 * 70);
    QCursor::setPos(area->viewport()->mapToGlobal(QPoint(40, 40)));  // over cell 1
    across->setValue(3 * 70);
    EXPECT_EQ(S().hoverCell, 4);
    QCursor::setPos(w->menuBar()->mapToGlobal(QPoint(5, 5)));
    across->setValue(0);
    EXPECT_EQ(S().hoverCell, 4);
}

TEST_F(LayoutTest, TheBoardStaysTopLeftWhenTheWindowGrows) {
    Show();
    w->resize(900, 700);
    QApplication::processEvents();
    EXPECT_EQ(Board().mapTo(w->centralWidget(), QPoint(0, 0)), QPoint(0, 0));
    EXPECT_EQ(Board().Cell(1)->mapTo(w->centralWidget(), QPoint(0, 0)), QPoint(5, 5));
}

}  // namespace
}  // namespace kov::test
