// Start-up, the menu bar and its marks, and the commands that must change nothing.
#include <QMenu>
#include <QRegularExpression>
#include <QWindow>

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

class MenuTest : public WindowTest {
  protected:
    // The marks of the pipe counts, "1 труба" first, as a string like "0001000000".
    std::string PipeMarks() {
        std::string marks;
        for (int n = 1; n <= 10; ++n)
            marks += Item("mnuNum" + std::to_string(n)).isChecked() ? '1' : '0';
        return marks;
    }
    static std::string OnlyPipe(int n) {
        std::string m(10, '0');
        m[static_cast<std::size_t>(n - 1)] = '1';
        return m;
    }
};

TEST_F(MenuTest, CaptionNamesSizeAndPipesLaid) {
    const QRegularExpression caption(QStringLiteral("^Ковелинт 10x9 - (\\d+)шт\\.$"));
    const QRegularExpressionMatch m = caption.match(w->windowTitle());
    ASSERT_TRUE(m.hasMatch()) << w->windowTitle().toStdString();
    EXPECT_EQ(m.captured(1).toInt(), S().pipeCount);
    EXPECT_GE(S().pipeCount, 1);
    EXPECT_LE(S().pipeCount, S().wantedPipes);
    // Whatever the window system makes of it, nothing is appended to our caption.
    Show();
    EXPECT_EQ(w->windowHandle()->title(), w->windowTitle());
}

TEST_F(MenuTest, FirstDrawAfterSeedingPicksThePipeCount) {
    // floor(r x 8) + 3 over the whole range of r, and exactly the matching item marked.
    for (const auto& [r, want] : {std::pair{0.0f, 3}, {0.124f, 3}, {0.5f, 7}, {0.9999f, 10}}) {
        Start({r});
        EXPECT_EQ(S().wantedPipes, want) << r;
        EXPECT_EQ(PipeMarks(), OnlyPipe(want)) << r;
        EXPECT_FALSE(Item("mnuNumRND").isChecked());
    }
}

TEST_F(MenuTest, TreeMatchesTheTableInOrder) {
    std::vector<std::pair<int, QAction*>> tree;
    Walk(w->menuBar()->actions(), 0, &tree);
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
    // No action anywhere in the window adds a shortcut, and a held function key runs once.
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

// The old mark goes before the new game is dealt (and, for a size, while no cell exists); the
// new one comes after the game is drawn.
TEST_F(MenuTest, MarksChangeAroundTheNewGame) {
    struct Case {
        std::string from, to;
        int cellsOff, cellsOn;  // cells on the board as the old mark goes and the new one comes
    };
    const std::string pipes = "mnuNum" + std::to_string(S().wantedPipes);
    const std::string other = S().wantedPipes == 5 ? "mnuNum6" : "mnuNum5";
    for (const Case& c :
         {Case{pipes, other, 90, 90}, Case{"mnuMapSize910", "mnuMapSize55", 0, 25}}) {
        SCOPED_TRACE(c.to);
        struct Seen {
            std::string item;
            bool on;
            int cells, draws;
        };
        std::vector<Seen> seen;
        for (const std::string& name : {c.from, c.to}) {
            QObject::connect(&Item(name), &QAction::toggled, w.get(), [&seen, name, this](bool on) {
                seen.push_back({name, on, Board().CellsBuilt(), rng.draws});
            });
        }
        const int draws = rng.draws;
        // The handler itself: a triggered item would toggle its own mark first.
        if (c.to == "mnuMapSize55")
            w->mnuMapSize_Click(7);
        else
            w->mnuNum_Click(static_cast<Int16>(std::stoi(c.to.substr(6))));
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[0].item, c.from);
        EXPECT_FALSE(seen[0].on);
        EXPECT_EQ(seen[0].draws, draws);
        EXPECT_EQ(seen[0].cells, c.cellsOff);
        EXPECT_EQ(seen[1].item, c.to);
        EXPECT_TRUE(seen[1].on);
        EXPECT_GT(seen[1].draws, draws);
        EXPECT_EQ(seen[1].cells, c.cellsOn);
    }
}

// Choosing the pipe count, board size or picture size already in force changes nothing at all:
// no draw, no repaint, no cell rebuilt, hidden or moved, the same caption and marks.
TEST_F(MenuTest, TheChoiceInForceDoesNothing) {
    Show();
    int events = 0;
    struct Counter : QObject {
        int* n;
        explicit Counter(int* count) : n(count) {}
        bool eventFilter(QObject*, QEvent* e) override {
            const auto t = e->type();
            *n += t == QEvent::Hide || t == QEvent::Move || t == QEvent::Resize ? 1 : 0;
            return false;
        }
    } counter(&events);
    for (int n = 1; n <= 90; ++n)
        Board().Img(n)->installEventFilter(&counter);
    std::vector<std::pair<int, QAction*>> before;
    Walk(w->menuBar()->actions(), 0, &before);
    std::vector<bool> marks;
    for (const auto& [depth, a] : before)
        marks.push_back(a->isChecked());
    const auto tiles = S().cellTile;
    const QString caption = w->windowTitle();
    const int draws = rng.draws;
    const long repaints = Repaints();
    PictureCell* first = Board().Img(1);
    for (const std::string& item : {"mnuNum" + std::to_string(S().wantedPipes),
                                    std::string("mnuMapSize910"), std::string("mnuImgSizeM")}) {
        SCOPED_TRACE(item);
        Item(item).trigger();
        QApplication::processEvents();
        for (std::size_t i = 0; i < before.size(); ++i)
            EXPECT_EQ(before[i].second->isChecked(), marks[i]) << i;
        EXPECT_EQ(events, 0);
        EXPECT_EQ(Board().Img(1), first);
        EXPECT_EQ(S().cellTile, tiles);
        EXPECT_EQ(w->windowTitle(), caption);
        EXPECT_EQ(rng.draws, draws);
        EXPECT_EQ(Repaints(), repaints);
    }
}

}  // namespace
}  // namespace kov::test
