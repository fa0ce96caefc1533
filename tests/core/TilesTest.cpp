#include <gtest/gtest.h>

#include <set>

#include "board/Tiles.h"

namespace kov {
namespace {

TEST(Turning, FixedPiecesAndOutOfRangeCodesStayPut) {
    for (Int16 t : {0, 1, 12, -1, 13, 100}) {
        EXPECT_EQ(TurnClockwise(t), t);
        EXPECT_EQ(TurnCounterClockwise(t), t);
    }
}

TEST(Turning, FamiliesCycleAndTurnsUndoEachOther) {
    for (Int16 t = 2; t <= 11; ++t) {
        const Int16 cw = TurnClockwise(t);
        EXPECT_TRUE(IsTurnable(cw));
        EXPECT_EQ(TurnCounterClockwise(cw), t);
        EXPECT_EQ(TurnClockwise(TurnCounterClockwise(t)), t);
        Int16 four = t;
        for (int i = 0; i < 4; ++i)
            four = TurnClockwise(four);
        EXPECT_EQ(four, t);
        // A piece never leaves its family.
        const auto family = [](Int16 x) { return x <= 3 ? 0 : x <= 7 ? 1 : 2; };
        EXPECT_EQ(family(cw), family(t));
    }
    EXPECT_EQ(TurnClockwise(TurnClockwise(2)), 2);
    EXPECT_EQ(TurnClockwise(4), 5);
    EXPECT_EQ(TurnClockwise(7), 4);
    EXPECT_EQ(TurnClockwise(11), 8);
    EXPECT_EQ(TurnCounterClockwise(4), 7);
    EXPECT_EQ(TurnCounterClockwise(8), 11);
    EXPECT_EQ(TurnCounterClockwise(3), 2);
}

TEST(PictureIndex, KnownSlots) {
    EXPECT_EQ(PictureIndex(1, 2), 13);
    EXPECT_EQ(PictureIndex(12, 1), 12);
    EXPECT_EQ(PictureIndex(12, 8), 96);
    EXPECT_EQ(PictureIndex(4, 1), 4);
    EXPECT_EQ(PictureIndex(12, 5), 60);
    EXPECT_EQ(PictureIndex(2, 1), 2);
    for (Int16 c = 0; c <= 8; ++c)
        EXPECT_EQ(PictureIndex(0, c), 0);
}

TEST(PictureIndex, EveryDrawablePairHasItsOwnSlotAndTheRestGetTheBlank) {
    std::set<int> slots;
    for (Int16 c = 1; c <= 8; ++c) {
        for (Int16 t = 1; t <= 12; ++t) {
            if (t == 1 && c == 1) continue;
            const int slot = PictureIndex(t, c);
            EXPECT_GE(slot, 2);
            EXPECT_LE(slot, 96);
            slots.insert(slot);
        }
    }
    EXPECT_EQ(slots.size(), 95u);
    // Pairs with no picture never index past the set.
    EXPECT_EQ(PictureIndex(1, 1), 0);
    EXPECT_EQ(PictureIndex(5, 0), 0);
    EXPECT_EQ(PictureIndex(5, 9), 0);
    EXPECT_EQ(PictureIndex(13, 3), 0);
    EXPECT_EQ(PictureIndex(-4, 3), 0);
}

}  // namespace
}  // namespace kov
