// Whole-board checks shared by the property tests.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "board/GameState.h"

namespace kov::test {

// The board right after generation: the records agree with it, and every piece belongs to
// exactly one pipe.
inline void ExpectGeneratedBoardAgreesWithRecords(const GameState& s) {
    ASSERT_LE(s.pipeCount, s.wantedPipes);
    std::vector<int> owner(MaxCells + 1, 0);
    for (int i = 1; i <= s.pipeCount; ++i) {
        ASSERT_GE(s.pipeColour[i], colour::FirstPipe);
        ASSERT_LE(s.pipeColour[i], colour::Last);
        ASSERT_GE(s.pipeLength[i], 6);
        ASSERT_LE(s.pipeLength[i], MaxCells);
        for (int k = 1; k <= s.pipeLength[i]; ++k) {
            const int cell = s.pipeCell[i][k];
            ASSERT_GE(cell, 1);
            ASSERT_LE(cell, s.CellCount());
            ASSERT_EQ(s.pipeTile[i][k], s.cellTile[cell]) << "pipe " << i << " step " << k;
            ASSERT_EQ(s.cellColour[cell], s.pipeColour[i]);
            ASSERT_TRUE(owner[cell] == 0 || owner[cell] == i) << "cell " << cell << " shared";
            owner[cell] = i;
        }
        ASSERT_EQ(s.cellTile[s.pipeCell[i][1]], tile::Source);
        ASSERT_EQ(s.cellTile[s.pipeCell[i][s.pipeLength[i]]], tile::Source);
    }
    for (int n = 1; n <= MaxCells; ++n) {
        if (n > s.CellCount()) {
            ASSERT_EQ(s.cellTile[n], 0) << "piece beyond the board at " << n;
        } else {
            ASSERT_EQ(s.cellTile[n] != 0, owner[n] != 0) << "cell " << n;
        }
    }
}

}  // namespace kov::test
