// Only what changed is repainted.
#include <set>

#include "play/Play.h"
#include "tests/window/WindowFixture.h"

namespace kov::test {
namespace {

using RenderTest = WindowTest;

// A fresh grid shows blank cells with codes 0 and 0: every cell holding a piece is repainted,
// and so is an empty cell that a failed walk left with a colour.
TEST_F(RenderTest, AFreshGridRepaintsExactlyTheCellsWithCodes) {
    int coded = 0;
    for (int n = 1; n <= 90; ++n)
        coded += (S().cellTile[n] != 0 || S().cellColour[n] != 0) ? 1 : 0;
    EXPECT_EQ(Repaints(), coded);
    // Drawn once, a second render finds nothing to repaint.
    Board().RenderBoard();
    EXPECT_EQ(Repaints(), coded);
}

TEST_F(RenderTest, OneTurnWithoutCompletingRepaintsOneCell) {
    StartUnsolved();
    // A turn that completes nothing: a piece of an incomplete pipe turned away and back.
    for (int n = TurnableCell(); n != 0; n = TurnableCell(n)) {
        const auto colours = S().cellColour;
        const long repaints = Repaints();
        Click(n);
        if (S().cellColour != colours) {
            Click(n), Click(n), Click(n);  // back as it was
            continue;
        }
        EXPECT_EQ(Repaints(), repaints + 1);
        EXPECT_FALSE(CellChanged(S(), n));
        return;
    }
    FAIL() << "every turn changed a colour";
}

TEST_F(RenderTest, CompletingAPipeRepaintsTheTurnAndThePipesGreyCells) {
    StartUnsolved();
    GameState& s = S();
    // Lay pipe 1 but for one turnable step, which is left one click short.
    const int p = 1;
    int last = 0;
    for (int k = 1; k <= s.pipeLength[p]; ++k) {
        const int cell = s.pipeCell[p][k];
        s.cellTile[cell] = s.pipeTile[p][k];
        if (IsTurnable(s.pipeTile[p][k])) last = cell;
    }
    ASSERT_NE(last, 0);
    s.cellTile[last] = TurnCounterClockwise(s.cellTile[last]);
    ResetColours(s);
    MarkSolvedPipes(s);
    Board().RenderBoard();
    if (s.solved != 0) GTEST_SKIP() << "the other pipes happened to be complete";

    std::set<int> greyPieces;  // the pipe's cells that are not sources
    for (int k = 1; k <= s.pipeLength[p]; ++k)
        if (s.pipeTile[p][k] != tile::Source) greyPieces.insert(s.pipeCell[p][k]);
    const long repaints = Repaints();
    Click(last);
    EXPECT_EQ(s.cellColour[last], s.pipeColour[p]);
    EXPECT_EQ(Repaints(), repaints + static_cast<long>(greyPieces.size()));
}

TEST_F(RenderTest, ANewGameRepaintsOnlyCellsThatDiffer) {
    const auto tiles = S().cellTile;
    const auto colours = S().cellColour;
    const long repaints = Repaints();
    Item("mnuNew").trigger();
    long differ = 0;
    for (int n = 1; n <= 90; ++n)
        differ += (tiles[n] != S().cellTile[n] || colours[n] != S().cellColour[n]) ? 1 : 0;
    EXPECT_EQ(Repaints(), repaints + differ);
}

}  // namespace
}  // namespace kov::test
