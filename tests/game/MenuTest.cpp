// Start-up, the menu as data, and the check marks around every command.
#include <algorithm>
#include <iterator>
#include <set>

#include "game/Menu.h"
#include "tests/game/GameFixture.h"

namespace kov::test {
namespace {

std::string_view Caption(Command c) {
    return MenuEntries()[MenuIndexOf(c)].caption;
}

// The first draw picks the pipe count; the marks, the caption and the first paint follow.
TEST_F(GameTest, StartUp) {
    for (const auto& [r, want] : {std::pair{0.0f, 3}, {0.124f, 3}, {0.5f, 7}, {0.9999f, 10}}) {
        SCOPED_TRACE(r);
        Start(1, {r});
        EXPECT_EQ(S().wantedPipes, want);
        const std::set<Command> marked = {Command::Size10x9, Command::SmallPictures,
                                          Command::ToggleShortPipes, Command::ToggleTees,
                                          PipesCommand(want)};
        const auto entries = MenuEntries();
        for (std::size_t i = 0; i < entries.size(); ++i)
            EXPECT_EQ(game->Checked(i), entries[i].command && marked.contains(*entries[i].command))
                << entries[i].caption;
        EXPECT_EQ(game->Caption(), CaptionFor(10, 9));
        EXPECT_GE(S().pipeCount, 1);
        EXPECT_LE(S().pipeCount, want);
        // The cells that hold something are painted.
        const Changes ch = game->TakeChanges();
        EXPECT_TRUE(ch.rebuilt && ch.caption);
        EXPECT_EQ(Painted(ch), ChangedSince(GameState{}));
    }
}

TEST(Menu, EntriesAndKeys) {
    struct Row {
        int depth;
        std::string_view caption, key;
        bool checkable;
    };
    // clang-format off
    const Row rows[] = {
        {0, "Игра", "", false}, {1, "Новая", "F2", false}, {1, "-", "", false},
        {1, "Перемешать", "F5", false},
        {0, "Настройки", "", false}, {1, "Желаемое количество труб", "", false},
        {2, "Случайно", "F3", false}, {2, "-", "", false},
        {2, "10 труб", "", true}, {2, "9 труб", "", true}, {2, "8 труб", "", true},
        {2, "7 труб", "", true}, {2, "6 труб", "", true}, {2, "5 труб", "", true},
        {2, "4 трубы", "", true}, {2, "3 трубы", "", true}, {2, "2 трубы", "", true},
        {2, "1 труба", "", true},
        {1, "Размер поля", "", false}, {2, "25 x 15", "", true}, {2, "20 x 13", "", true},
        {2, "15 x 11", "", true}, {2, "10 x 9", "", true}, {2, "-", "", false},
        {2, "8 x 8", "", true}, {2, "7 x 7", "", true}, {2, "6 x 6", "", true},
        {2, "5 x 5", "", true},
        {1, "Размер картинок", "", false}, {2, "Большие", "", true}, {2, "Маленькие", "", true},
        {1, "-", "", false}, {1, "Короткие ковелинты", "", true},
        {1, "Использовать тройники", "", true}, {1, "Сетка", "", true},
        {0, "Помощь", "", false}, {1, "Проложить 1 ковелинт", "F1", false}};
    // clang-format on
    const auto entries = MenuEntries();
    ASSERT_EQ(entries.size(), std::size(rows));
    int commands = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(rows[i].caption);
        EXPECT_EQ(entries[i].depth, rows[i].depth);
        EXPECT_EQ(entries[i].caption, rows[i].caption);
        EXPECT_EQ(entries[i].shortcutLabel, rows[i].key);
        EXPECT_EQ(entries[i].checkable, rows[i].checkable);
        if (entries[i].command) {
            EXPECT_EQ(MenuIndexOf(*entries[i].command), i);
            ++commands;
        }
    }
    EXPECT_EQ(commands, CommandCount);  // each command on an entry of its own

    EXPECT_EQ(CommandForKey(112), Command::LayOnePipe);
    EXPECT_EQ(CommandForKey(113), Command::NewGame);
    EXPECT_EQ(CommandForKey(114), Command::RandomPipeCount);
    EXPECT_EQ(CommandForKey(116), Command::Rescramble);
    EXPECT_EQ(CommandForKey(115), std::nullopt);
    EXPECT_EQ(CommandForKey(0), std::nullopt);
}

// The old mark goes before the deal, the new one comes after it.
TEST_F(GameTest, MarksChangeAroundTheNewGame) {
    const Command pipes = PipesCommand(S().wantedPipes);
    const Command other = PipesCommand(S().wantedPipes == 5 ? 6 : 5);
    for (const auto& [from, to] :
         {std::pair{pipes, other}, {Command::Size10x9, Command::Size5x5}}) {
        game->TakeChanges();
        // While the game is dealt, neither the old nor the new item is marked.
        int draws = 0, marked = 0;
        rng->onDraw = [&] {
            ++draws;
            marked += Checked(from) || Checked(to) ? 1 : 0;
        };
        game->Run(to);
        rng->onDraw = nullptr;
        EXPECT_EQ(Log(game->TakeChanges()),
                  (MarkLog{{MenuIndexOf(from), false}, {MenuIndexOf(to), true}}));
        EXPECT_GT(draws, 0);
        EXPECT_EQ(marked, 0);
    }
}

TEST_F(GameTest, TheRandomCountAlwaysDeals) {
    const Int16 wanted = S().wantedPipes;
    const int draws = rng->draws;
    rng->queue = {(static_cast<float>(wanted) - 0.5f) / 10.0f};  // the count in force again
    game->Run(Command::RandomPipeCount);
    EXPECT_EQ(S().wantedPipes, wanted);
    EXPECT_GT(rng->draws, draws + 1);
    for (const auto& [r, want] : {std::pair{0.05f, 1}, {0.15f, 2}, {0.999f, 10}}) {
        rng->queue = {r};
        game->Run(Command::RandomPipeCount);
        EXPECT_EQ(S().wantedPipes, want);
    }
}

// Every command forwards, then back: exactly the cells whose codes changed are painted (all that
// hold something after a rebuild), one count and one size are marked, and the other marks and
// the caption agree with the settings.
TEST_F(GameTest, AfterEveryCommand) {
    std::vector<Command> commands;
    for (int c = 0; c < CommandCount; ++c)
        commands.push_back(static_cast<Command>(c));
    commands.insert(commands.end(), commands.rbegin(), commands.rend());
    game->TakeChanges();
    for (const Command c : commands) {
        SCOPED_TRACE(Caption(c));
        const GameState old = S();
        game->Run(c);
        const Changes ch = game->TakeChanges();
        EXPECT_EQ(Painted(ch), ChangedSince(ch.rebuilt ? GameState{} : old));
        const std::string size = std::to_string(S().mapCols) + " x " + std::to_string(S().mapRows);
        for (int n = 1; n <= 10; ++n)
            EXPECT_EQ(Checked(PipesCommand(n)), n == S().wantedPipes);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(Checked(SizeCommand(i)), Caption(SizeCommand(i)) == size);
        EXPECT_EQ(game->Caption(), CaptionFor(S().mapCols, S().mapRows));
        EXPECT_EQ(Checked(Command::LargePictures), S().tileSize == 70);
        EXPECT_EQ(Checked(Command::SmallPictures), S().tileSize == 35);
        EXPECT_EQ(Checked(Command::ToggleShortPipes), S().shortPipes != 0);
        EXPECT_EQ(Checked(Command::ToggleTees), S().useTees != 0);
        EXPECT_EQ(Checked(Command::ToggleGrid), S().showGrid != 0);
    }
}

TEST_F(GameTest, ShortPipesAndTeesToggleAndDeal) {
    for (const auto& [command, flag] :
         {std::pair{Command::ToggleShortPipes, &GameState::shortPipes},
          {Command::ToggleTees, &GameState::useTees}}) {
        for (const bool on : {false, true}) {
            game->TakeChanges();
            const int draws = rng->draws;
            game->Run(command);
            EXPECT_EQ(S().*flag, on ? 1 : 0);
            EXPECT_EQ(Log(game->TakeChanges()), (MarkLog{{MenuIndexOf(command), on}}));
            EXPECT_GT(rng->draws, draws);
        }
    }
}

TEST_F(GameTest, TheChoiceInForceDoesNothing) {
    game->TakeChanges();
    const int draws = rng->draws;
    for (const Command c :
         {PipesCommand(S().wantedPipes), Command::Size10x9, Command::SmallPictures}) {
        game->Run(c);
        ExpectNothing(game->TakeChanges());
        EXPECT_EQ(rng->draws, draws);
    }
}

}  // namespace
}  // namespace kov::test
