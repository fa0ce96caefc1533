// The menu bar: the tree, the marks and what each command does to them.
#include <QMenu>
#include <QMenuBar>

#include "tests/window/WindowFixture.h"

namespace kov::test {
namespace {

struct Row {
    int depth;
    const char* name;
    const char* caption;
    const char* shortcut;
    int mark;  // -1 not checkable, 0 unmarked, 1 marked at start
};

// The menu bar as the player must find it, top to bottom.
const Row Expected[] = {
    {0, "mnuGame", "Игра", "", -1},
    {1, "mnuNew", "Новая", "F2", -1},
    {1, "r1", "", "", -1},
    {1, "mnuSalat", "Перемешать", "F5", -1},
    {0, "mnuOptions", "Настройки", "", -1},
    {1, "mnuNum", "Желаемое количество труб", "", -1},
    {2, "mnuNumRND", "Случайно", "F3", -1},
    {2, "r3", "", "", -1},
    {2, "mnuNum10", "10 труб", "", 0},
    {2, "mnuNum9", "9 труб", "", 0},
    {2, "mnuNum8", "8 труб", "", 0},
    {2, "mnuNum7", "7 труб", "", 0},
    {2, "mnuNum6", "6 труб", "", 0},
    {2, "mnuNum5", "5 труб", "", 0},
    {2, "mnuNum4", "4 трубы", "", 0},
    {2, "mnuNum3", "3 трубы", "", 0},
    {2, "mnuNum2", "2 трубы", "", 0},
    {2, "mnuNum1", "1 труба", "", 0},
    {1, "mnuMapSize", "Размер поля", "", -1},
    {2, "mnuMapSize1525", "25 x 15", "", 0},
    {2, "mnuMapSize1320", "20 x 13", "", 0},
    {2, "mnuMapSize1115", "15 x 11", "", 0},
    {2, "mnuMapSize910", "10 x 9", "", 1},
    {2, "r2", "", "", -1},
    {2, "mnuMapSize88", "8 x 8", "", 0},
    {2, "mnuMapSize77", "7 x 7", "", 0},
    {2, "mnuMapSize66", "6 x 6", "", 0},
    {2, "mnuMapSize55", "5 x 5", "", 0},
    {1, "mnuImgSize", "Размер картинок", "", -1},
    {2, "mnuImgSizeB", "Большие", "", 0},
    {2, "mnuImgSizeM", "Маленькие", "", 1},
    {1, "r4", "", "", -1},
    {1, "mnuShort", "Короткие ковелинты", "", 1},
    {1, "mnuDelimiter", "Использовать тройники", "", 1},
    {1, "mnuGrid", "Сетка", "", 0},
    {0, "mnuHelp", "Помощь", "", -1},
    {1, "mnuHelp1", "Проложить 1 ковелинт", "F1", -1},
};

void Walk(const QList<QAction*>& actions, int depth, std::vector<std::pair<int, QAction*>>* out) {
    for (QAction* a : actions) {
        out->emplace_back(depth, a);
        if (a->menu() != nullptr) Walk(a->menu()->actions(), depth + 1, out);
    }
}

std::vector<std::pair<int, QAction*>> MenuTree(frmMain& w) {
    std::vector<std::pair<int, QAction*>> tree;
    Walk(w.menuBar()->actions(), 0, &tree);
    return tree;
}

class MenuTest : public WindowTest {
  protected:
    // The marks of a group in menu order, as a string like "0001000000".
    std::string MarksOf(std::initializer_list<const char*> names) {
        std::string marks;
        for (const char* n : names)
            marks += Item(n).isChecked() ? '1' : '0';
        return marks;
    }
    std::string PipeMarks() {
        return MarksOf({"mnuNum1", "mnuNum2", "mnuNum3", "mnuNum4", "mnuNum5", "mnuNum6", "mnuNum7",
                        "mnuNum8", "mnuNum9", "mnuNum10"});
    }
    std::string SizeMarks() {
        return MarksOf({"mnuMapSize1525", "mnuMapSize1320", "mnuMapSize1115", "mnuMapSize910",
                        "mnuMapSize88", "mnuMapSize77", "mnuMapSize66", "mnuMapSize55"});
    }
    static std::string OnlyPipe(int n) {
        std::string m(10, '0');
        m[static_cast<std::size_t>(n - 1)] = '1';
        return m;
    }
};

TEST_F(MenuTest, TreeMatchesTheTableInOrder) {
    const auto tree = MenuTree(*w);
    ASSERT_EQ(tree.size(), std::size(Expected));
    for (std::size_t i = 0; i < tree.size(); ++i) {
        const auto& [depth, a] = tree[i];
        const Row& row = Expected[i];
        SCOPED_TRACE(row.name);
        EXPECT_EQ(depth, row.depth);
        EXPECT_EQ(a->objectName(), QLatin1String(row.name));
        EXPECT_EQ(a->isSeparator(), row.name[0] == 'r');
        if (!a->isSeparator()) {
            EXPECT_EQ(a->text(), QString::fromUtf8(row.caption));
        }
        EXPECT_EQ(a->shortcut().toString(), QLatin1String(row.shortcut));
        EXPECT_EQ(a->isCheckable(), row.mark >= 0);
        // The pipe count is drawn at start: its item is marked, as no other of the ten.
        const QString name = a->objectName();
        if (name.startsWith("mnuNum") && name != "mnuNumRND") {
            EXPECT_EQ(a->isChecked(), name.mid(6).toInt() == S().wantedPipes);
        } else {
            EXPECT_EQ(a->isChecked(), row.mark == 1);
        }
        // No access keys: Qt would read one from an ampersand.
        EXPECT_TRUE(QKeySequence::mnemonic(a->text()).isEmpty());
        EXPECT_TRUE(a->isEnabled());
        EXPECT_TRUE(a->isVisible());
    }
}

TEST_F(MenuTest, OnlyTheFourFunctionKeysAreShortcuts) {
    QStringList keys;
    for (QAction* a : w->findChildren<QAction*>()) {
        for (const QKeySequence& k : a->shortcuts())
            keys << k.toString();
        if (!a->shortcut().isEmpty()) {
            EXPECT_FALSE(a->autoRepeat()) << a->objectName().toStdString();
        }
    }
    keys.sort();
    EXPECT_EQ(keys, QStringList({"F1", "F2", "F3", "F5"}));
}

TEST_F(MenuTest, FunctionKeysRunTheirCommandsAndOthersNothing) {
    Show();
    int draws = rng.draws;
    Key(Qt::Key_F4);
    Key(Qt::Key_F6);
    Key(Qt::Key_F12);
    EXPECT_EQ(rng.draws, draws);

    // F2: a new game; F5: the same pipes scrambled again; F3: a random count and a new game.
    Key(Qt::Key_F2);
    EXPECT_GT(rng.draws, draws);
    const auto pipes = S().pipeCell;
    draws = rng.draws;
    Key(Qt::Key_F5);
    EXPECT_GT(rng.draws, draws);
    EXPECT_EQ(S().pipeCell, pipes);
    rng.queue = {0.0f};
    Key(Qt::Key_F3);
    EXPECT_EQ(S().wantedPipes, 1);
    EXPECT_EQ(PipeMarks(), OnlyPipe(1));
    // F1 lays one pipe of the one-pipe game, which solves it.
    if (S().pipeCount == 1 && S().solved == 0) {
        Key(Qt::Key_F1);
        EXPECT_EQ(S().solved, 1);
    }
}

TEST_F(MenuTest, FixedPipeCountsMoveTheMarkAndStartAGame) {
    const int start = S().wantedPipes;
    for (int n : {1, 10, 4, 2, 9}) {
        if (n == start) continue;
        const int draws = rng.draws;
        Item(("mnuNum" + std::to_string(n)).c_str()).trigger();
        EXPECT_EQ(S().wantedPipes, n);
        EXPECT_EQ(PipeMarks(), OnlyPipe(n));
        EXPECT_GT(rng.draws, draws);
        EXPECT_LE(S().pipeCount, n);
        EXPECT_TRUE(w->windowTitle().endsWith(QString::number(S().pipeCount) + "шт."));
    }
}

TEST_F(MenuTest, ThePipeCountInForceDoesNothing) {
    const std::string marks = PipeMarks();
    const auto tiles = S().cellTile;
    const QString caption = w->windowTitle();
    const int draws = rng.draws;
    const long repaints = Repaints();
    Item(("mnuNum" + std::to_string(S().wantedPipes)).c_str()).trigger();
    EXPECT_EQ(PipeMarks(), marks);
    EXPECT_EQ(S().cellTile, tiles);
    EXPECT_EQ(w->windowTitle(), caption);
    EXPECT_EQ(rng.draws, draws);
    EXPECT_EQ(Repaints(), repaints);
}

TEST_F(MenuTest, RandomCountAlwaysDealsAndIsNeverMarked) {
    // The draw repeats the count in force: still a new game, and the mark where it was.
    const int wanted = S().wantedPipes;
    const auto tiles = S().cellTile;
    rng.queue = {(static_cast<float>(wanted) - 1.0f + 0.5f) / 10.0f};
    const int draws = rng.draws;
    Item("mnuNumRND").trigger();
    EXPECT_EQ(S().wantedPipes, wanted);
    EXPECT_GT(rng.draws, draws + 1);
    EXPECT_NE(S().cellTile, tiles);
    EXPECT_EQ(PipeMarks(), OnlyPipe(wanted));
    EXPECT_FALSE(Item("mnuNumRND").isChecked());

    // 1 and 2, which start-up never picks, and 10 at the top of the range.
    for (const auto& [r, want] : {std::pair{0.05f, 1}, {0.15f, 2}, {0.999f, 10}}) {
        rng.queue = {r};
        Item("mnuNumRND").trigger();
        EXPECT_EQ(S().wantedPipes, want);
        EXPECT_EQ(PipeMarks(), OnlyPipe(want));
    }
}

// The old mark goes before the new game is dealt and the new one comes after it is drawn.
TEST_F(MenuTest, PipeMarksChangeAroundTheNewGame) {
    const int start = S().wantedPipes;
    const int target = start == 5 ? 6 : 5;
    const int before = rng.draws;
    std::vector<std::pair<bool, int>> seen;  // (checked, draws so far)
    for (QAction* a : {&Item(("mnuNum" + std::to_string(start)).c_str()),
                       &Item(("mnuNum" + std::to_string(target)).c_str())})
        QObject::connect(a, &QAction::toggled, w.get(),
                         [&seen, this](bool on) { seen.emplace_back(on, rng.draws); });
    w->mnuNum_Click(static_cast<Int16>(target));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_FALSE(seen[0].first);
    EXPECT_EQ(seen[0].second, before);
    EXPECT_TRUE(seen[1].first);
    EXPECT_GT(seen[1].second, before);
}

TEST_F(MenuTest, OptionTogglesFlipFlagAndMarkAndDeal) {
    struct Option {
        const char* item;
        Int16 GameState::*flag;
    };
    for (const Option& o : {Option{"mnuShort", &GameState::shortPipes},
                            Option{"mnuDelimiter", &GameState::useTees}}) {
        SCOPED_TRACE(o.item);
        for (int flip = 1; flip <= 2; ++flip) {
            const int draws = rng.draws;
            Item(o.item).trigger();
            const int want = flip == 1 ? 0 : 1;
            EXPECT_EQ(S().*o.flag, want);
            EXPECT_EQ(Item(o.item).isChecked(), want == 1);
            EXPECT_GT(rng.draws, draws);
        }
    }
}

TEST_F(MenuTest, EveryCommandLeavesEachGroupWithOneMark) {
    const char* commands[] = {"mnuNew",       "mnuSalat",    "mnuNumRND",    "mnuNum1",
                              "mnuMapSize55", "mnuImgSizeB", "mnuGrid",      "mnuShort",
                              "mnuDelimiter", "mnuHelp1",    "mnuNum10",     "mnuMapSize1525",
                              "mnuImgSizeM",  "mnuGrid",     "mnuMapSize88", "mnuImgSizeB"};
    for (const char* c : commands) {
        Item(c).trigger();
        SCOPED_TRACE(c);
        EXPECT_EQ(PipeMarks(), OnlyPipe(S().wantedPipes));
        const std::string sizes = SizeMarks();
        EXPECT_EQ(std::count(sizes.begin(), sizes.end(), '1'), 1);
        EXPECT_NE(Item("mnuImgSizeB").isChecked(), Item("mnuImgSizeM").isChecked());
        EXPECT_EQ(Item("mnuImgSizeB").isChecked(), S().tileSize == 70);
        EXPECT_EQ(Item("mnuGrid").isChecked(), S().showGrid == 1);
        EXPECT_EQ(Item("mnuShort").isChecked(), S().shortPipes == 1);
        EXPECT_EQ(Item("mnuDelimiter").isChecked(), S().useTees == 1);
        EXPECT_FALSE(Item("mnuNumRND").isChecked());
    }
}

TEST_F(MenuTest, ASolvedBoardKeepsEveryItemWorking) {
    while (S().solved == 0)
        Item("mnuHelp1").trigger();
    for (const auto& [depth, a] : MenuTree(*w)) {
        EXPECT_TRUE(a->isEnabled());
        EXPECT_TRUE(a->isVisible());
    }
    // A re-scramble makes the puzzle playable again (unless the scramble matches by chance).
    const int draws = rng.draws;
    Item("mnuSalat").trigger();
    EXPECT_GT(rng.draws, draws);
}

}  // namespace
}  // namespace kov::test
