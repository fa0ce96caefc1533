// Changing the board size: the cells, the marks, the game and what survives.
#include "tests/window/WindowFixture.h"

namespace kov::test {
namespace {

const char* const SizeItems[8] = {"mnuMapSize1525", "mnuMapSize1320", "mnuMapSize1115",
                                  "mnuMapSize910",  "mnuMapSize88",   "mnuMapSize77",
                                  "mnuMapSize66",   "mnuMapSize55"};
const int SizeCols[8] = {25, 20, 15, 10, 8, 7, 6, 5};
const int SizeRows[8] = {15, 13, 11, 9, 8, 7, 6, 5};

class MapSizeTest : public WindowTest {
  protected:
    // Cells 1..N exist, numbered without gaps, where they belong; no other cell is left.
    void ExpectGridOf(int cols, int rows) {
        EXPECT_EQ(S().mapCols, cols);
        EXPECT_EQ(S().mapRows, rows);
        ASSERT_EQ(Board().CellsBuilt(), cols * rows);
        EXPECT_EQ(Board().findChildren<PictureCell*>().size(), cols * rows + 1);
        const int pitch = S().tileSize + S().showGrid;
        int n = 0;
        for (int r = 1; r <= rows; ++r) {
            for (int c = 1; c <= cols; ++c) {
                PictureCell* cell = Board().Img(++n);
                ASSERT_EQ(cell->Index(), n);
                ASSERT_EQ(cell->geometry(), QRect(5 + (c - 1) * pitch, 5 + (r - 1) * pitch,
                                                  S().tileSize, S().tileSize));
                ASSERT_FALSE(cell->isHidden());
                ASSERT_FALSE(CellChanged(S(), n));
            }
        }
        QString marks;
        for (const char* item : SizeItems)
            marks += Item(item).isChecked() ? '1' : '0';
        QString want(8, '0');
        for (int i = 0; i < 8; ++i)
            if (SizeCols[i] == cols) want[i] = '1';
        EXPECT_EQ(marks, want);
        EXPECT_TRUE(
            w->windowTitle().startsWith(QStringLiteral("Ковелинт %1x%2 - ").arg(cols).arg(rows)))
            << w->windowTitle().toStdString();
    }
};

TEST_F(MapSizeTest, EverySizeFromAndToTheLargest) {
    Item("mnuMapSize1525").trigger();
    ExpectGridOf(25, 15);
    for (int i = 1; i < 8; ++i) {
        SCOPED_TRACE(SizeItems[i]);
        Item(SizeItems[i]).trigger();
        ExpectGridOf(SizeCols[i], SizeRows[i]);
        Item("mnuMapSize1525").trigger();
        ExpectGridOf(25, 15);
    }
}

TEST_F(MapSizeTest, TheSizeInForceDoesNothing) {
    PictureCell* first = Board().Img(1);
    const auto tiles = S().cellTile;
    const int draws = rng.draws;
    const QString caption = w->windowTitle();
    Item("mnuMapSize910").trigger();
    EXPECT_EQ(Board().Img(1), first);
    EXPECT_EQ(S().cellTile, tiles);
    EXPECT_EQ(rng.draws, draws);
    EXPECT_EQ(w->windowTitle(), caption);
    EXPECT_TRUE(Item("mnuMapSize910").isChecked());
}

TEST_F(MapSizeTest, SettingsCarryIntoTheNewSize) {
    Item("mnuImgSizeB").trigger();
    Item("mnuGrid").trigger();
    const Int16 wanted = S().wantedPipes;
    Item("mnuShort").trigger();
    Item("mnuMapSize88").trigger();
    ExpectGridOf(8, 8);
    EXPECT_EQ(Board().Img(8)->geometry().right() + 1, 572);
    EXPECT_EQ(S().tileSize, 70);
    EXPECT_EQ(S().showGrid, 1);
    EXPECT_EQ(S().shortPipes, 0);
    EXPECT_EQ(S().wantedPipes, wanted);
    EXPECT_TRUE(Item("mnuImgSizeB").isChecked());
    EXPECT_TRUE(Item("mnuGrid").isChecked());
}

// The old marks go while no cell exists and before the game; the new one comes last.
TEST_F(MapSizeTest, MarksChangeAroundTheRebuild) {
    struct Seen {
        QString item;
        bool on;
        int cells;
        int draws;
    };
    std::vector<Seen> seen;
    for (const char* name : {"mnuMapSize910", "mnuMapSize55"}) {
        QAction* a = &Item(name);
        QObject::connect(a, &QAction::toggled, w.get(), [&seen, a, this](bool on) {
            seen.push_back({a->objectName(), on, Board().CellsBuilt(), rng.draws});
        });
    }
    const int draws = rng.draws;
    w->mnuMapSize_Click(7);  // "5 x 5"
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].item, "mnuMapSize910");
    EXPECT_FALSE(seen[0].on);
    EXPECT_EQ(seen[0].cells, 0);
    EXPECT_EQ(seen[0].draws, draws);
    EXPECT_EQ(seen[1].item, "mnuMapSize55");
    EXPECT_TRUE(seen[1].on);
    EXPECT_EQ(seen[1].cells, 25);
    EXPECT_GT(seen[1].draws, draws);
}

TEST_F(MapSizeTest, TheTargetSurvivesASizeChange) {
    Show();
    // Cell 13 still exists on 5 x 5: the arrow turns it.
    MoveOver(13);
    Item("mnuMapSize55").trigger();
    EXPECT_EQ(S().hoverCell, 13);
    const Int16 before = S().cellTile[13];
    Key(Qt::Key_Right);
    EXPECT_EQ(S().cellTile[13], S().solved ? before : TurnClockwise(before));

    // Cell 80 lies past the new board: the arrow harms nothing.
    Item("mnuMapSize910").trigger();
    MoveOver(80);
    Item("mnuMapSize66").trigger();
    EXPECT_EQ(S().hoverCell, 80);
    const auto tiles = S().cellTile;
    Key(Qt::Key_Right);
    Key(Qt::Key_Down);
    EXPECT_EQ(S().cellTile, tiles);
    for (int n = 1; n <= 36; ++n)
        EXPECT_FALSE(CellChanged(S(), n));
}

}  // namespace
}  // namespace kov::test
