// Changing the board size: the cells and what survives.
#include "tests/window/WindowFixture.h"

namespace kov::test {
namespace {

class MapSizeTest : public WindowTest {
  protected:
    // Cells 1..N exist, numbered without gaps, where they belong; no other cell is left.
    void ExpectGridOf(int cols, int rows) {
        EXPECT_EQ(S().mapCols, cols);
        EXPECT_EQ(S().mapRows, rows);
        ASSERT_EQ(Board().CellsBuilt(), cols * rows);
        EXPECT_EQ(Board().findChildren<PictureCell*>().size(), cols * rows + 1);
        const int pitch = S().tileSize + S().showGrid;
        for (int n = 1; n <= cols * rows; ++n) {
            PictureCell* cell = Board().Img(n);
            const int c = (n - 1) % cols, r = (n - 1) / cols;
            ASSERT_EQ(cell->Index(), n);
            ASSERT_EQ(cell->geometry(),
                      QRect(5 + c * pitch, 5 + r * pitch, S().tileSize, S().tileSize));
            ASSERT_FALSE(cell->isHidden());
            ASSERT_FALSE(CellChanged(S(), n));
        }
    }
};

TEST_F(MapSizeTest, EverySizeFromAndToTheLargest) {
    const std::tuple<const char*, int, int> sizes[] = {
        {"mnuMapSize1320", 20, 13}, {"mnuMapSize1115", 15, 11}, {"mnuMapSize910", 10, 9},
        {"mnuMapSize88", 8, 8},     {"mnuMapSize77", 7, 7},     {"mnuMapSize66", 6, 6},
        {"mnuMapSize55", 5, 5}};
    Item("mnuMapSize1525").trigger();
    ExpectGridOf(25, 15);
    for (const auto& [item, cols, rows] : sizes) {
        SCOPED_TRACE(item);
        Item(item).trigger();
        ExpectGridOf(cols, rows);
        Item("mnuMapSize1525").trigger();
        ExpectGridOf(25, 15);
    }
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
