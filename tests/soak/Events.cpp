// The events of the soak and what each must do to the game.
#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollArea>
#include <QTest>
#include <QWindow>
#include <optional>
#include <utility>
#include <vector>

#include "app/MainWindow.h"
#include "game/Defaults.h"
#include "tests/soak/Soak.h"
#include "view/BoardView.h"
#include "view/PictureCell.h"

namespace kov::soak {

namespace {

struct Settings {
    Int16 wantedPipes, shortPipes, useTees, showGrid, mapCols, mapRows, tileSize;
    bool operator==(const Settings&) const = default;
};

Settings SettingsOf(const GameState& s) {
    return {s.wantedPipes, s.shortPipes, s.useTees, s.showGrid, s.mapCols, s.mapRows, s.tileSize};
}

int CompletePipes(const GameState& s) {
    int complete = 0;
    for (int i = 1; i <= s.pipeCount; ++i)
        complete += PipeMatches(s, s.cellTile, i) ? 1 : 0;
    return complete;
}

// What a command does to the board. A pipe count or a board size deals only when it changes
// the settings.
enum class Outcome { Kept, Dealt, DealtIfChanged, Rescrambled, Hinted };
constexpr Int16 Toggle = -1, AnyPipeCount = -2;
struct CommandRule {
    std::optional<Command> command;  // none for F4
    int key;                         // its function key, 0 for none
    Outcome outcome;
    std::vector<std::pair<Int16 Settings::*, Int16>> sets;  // each setting it leaves, and how
};

const QHash<QString, CommandRule>& Commands() {
    static const QHash<QString, CommandRule> table = [] {
        QHash<QString, CommandRule> t;
        auto add = [&t](const char* name, CommandRule rule) {
            t.insert(QString::fromLatin1(name), std::move(rule));
        };
        add("F4", {std::nullopt, Qt::Key_F4, Outcome::Kept, {}});
        add("layOnePipe", {Command::LayOnePipe, Qt::Key_F1, Outcome::Hinted, {}});
        add("newGame", {Command::NewGame, Qt::Key_F2, Outcome::Dealt, {}});
        add("randomPipeCount", {Command::RandomPipeCount,
                                Qt::Key_F3,
                                Outcome::Dealt,
                                {{&Settings::wantedPipes, AnyPipeCount}}});
        add("rescramble", {Command::Rescramble, Qt::Key_F5, Outcome::Rescrambled, {}});
        add("grid", {Command::ToggleGrid, 0, Outcome::Kept, {{&Settings::showGrid, Toggle}}});
        add("largePictures",
            {Command::LargePictures, 0, Outcome::Kept, {{&Settings::tileSize, LargeTiles}}});
        add("smallPictures",
            {Command::SmallPictures, 0, Outcome::Kept, {{&Settings::tileSize, SmallTiles}}});
        add("shortPipes",
            {Command::ToggleShortPipes, 0, Outcome::Dealt, {{&Settings::shortPipes, Toggle}}});
        add("tees", {Command::ToggleTees, 0, Outcome::Dealt, {{&Settings::useTees, Toggle}}});
        for (Int16 k = 1; k <= MaxPipes; ++k)
            t.insert(Say("pipes%1", k),
                     {PipesCommand(k), 0, Outcome::DealtIfChanged, {{&Settings::wantedPipes, k}}});
        for (int i = 0; i < static_cast<int>(std::size(BoardSizes)); ++i)
            t.insert(Say("size%1x%2", BoardSizes[i].cols, BoardSizes[i].rows),
                     {SizeCommand(i),
                      0,
                      Outcome::DealtIfChanged,
                      {{&Settings::mapCols, BoardSizes[i].cols},
                       {&Settings::mapRows, BoardSizes[i].rows}}});
        return t;
    }();
    return table;
}

}  // namespace

Records RecordsOf(const GameState& s) {
    return {s.pipeCount, s.pipeColour, s.pipeLength, s.pipeCell, s.pipeTile};
}

bool PipeMatches(const GameState& s, const Slots<MaxCells>& tiles, int i) {
    for (int k = 1; k <= s.pipeLength[i]; ++k)
        if (tiles[s.pipeCell[i][k]] != s.pipeTile[i][k]) return false;
    return true;
}

bool AllPipesMatch(const GameState& s, const Slots<MaxCells>& tiles) {
    for (int i = 1; i <= s.pipeCount; ++i)
        if (!PipeMatches(s, tiles, i)) return false;
    return true;
}

Soak::Soak(MainWindow& window, const PictureSet& pictures, const CountingRandom& rng,
           std::uint32_t seed)
    : w_(window),
      pics_(pictures),
      rng_(rng),
      board_(window.Board()),
      s_(window.Game().State()),
      scroller_(window.findChild<QScrollArea*>()),
      window_(window.windowHandle()),
      pick_(seed ^ 0x5EEDu) {}

void Soak::Step() {
    ++figures_.events;
    const long draws = rng_.draws;
    const unsigned roll = pick_() % 100;
    const bool play = roll < 80;
    if (roll < 25)
        Click(Qt::LeftButton);
    else if (roll < 27)
        Click(pick_() % 2 == 0 ? Qt::RightButton : Qt::MiddleButton);
    else if (roll < 35)
        DoubleClick();
    else if (roll < 55)
        Move();
    else if (roll < 77)
        Arrow();
    else if (roll < 80)
        OtherKey();
    else if (roll < 96)
        MenuCommand();
    else
        FunctionKey();
    if (play && rng_.draws != draws) Fail(Say("play drew %1 random numbers", rng_.draws - draws));
    // Let Qt paint what changed, as the event loop would between two events.
    QApplication::processEvents();
    CheckAll();
}

bool Soak::Marked(Command item) const {
    return w_.Action(MenuIndexOf(item))->isChecked();
}

QPoint Soak::PickPoint() {
    QWidget* viewport = scroller_->viewport();
    const unsigned how = pick_() % 10;
    if (how < 7) {
        PictureCell* cell = board_.Cell(1 + static_cast<int>(pick_() % s_.CellCount()));
        scroller_->ensureWidgetVisible(cell, 0, 0);
        const QPoint inCell(static_cast<int>(pick_() % cell->width()),
                            static_cast<int>(pick_() % cell->height()));
        return cell->mapTo(&w_, inCell);
    }
    // Anywhere the board shows, margin and gaps included; now and then the ground beside it.
    QRect area = viewport->rect();
    if (how < 9) area &= QRect(board_.mapTo(viewport, QPoint(0, 0)), board_.size());
    const QPoint p(area.left() + static_cast<int>(pick_() % area.width()),
                   area.top() + static_cast<int>(pick_() % area.height()));
    return viewport->mapTo(&w_, p);
}

int Soak::CellAt(QPoint inWindow) const {
    const QPoint p = board_.mapFrom(&w_, inWindow);
    const int pitch = s_.tileSize + (s_.showGrid != 0 ? 1 : 0);
    const int x = p.x() - BoardMargin, y = p.y() - BoardMargin;
    if (x < 0 || y < 0 || x % pitch >= s_.tileSize || y % pitch >= s_.tileSize) return 0;
    const int c = x / pitch, r = y / pitch;
    if (c >= s_.mapCols || r >= s_.mapRows) return 0;
    return r * s_.mapCols + c + 1;
}

void Soak::SendMouse(int type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent e(static_cast<QEvent::Type>(type), at, window_->mapToGlobal(at), button, held,
                  Qt::NoModifier);
    QApplication::sendEvent(window_, &e);
}

void Soak::SendKey(int qtKey, Qt::KeyboardModifiers mods, bool press, bool autoRepeat) {
    qt_handleKeyEvent(window_, press ? QEvent::KeyPress : QEvent::KeyRelease, qtKey, mods,
                      QString(), autoRepeat);
}

Slots<MaxCells> Soak::Turned(int n, int turns, bool clockwise) {
    Slots<MaxCells> tiles = s_.cellTile;
    if (n == 0) return tiles;
    for (int i = 0; i < turns; ++i) {
        if (AllPipesMatch(s_, tiles)) {
            ++figures_.refusedOnSolved;
            break;
        }
        tiles[n] = clockwise ? TurnClockwise(tiles[n]) : TurnCounterClockwise(tiles[n]);
    }
    return tiles;
}

void Soak::ExpectPlay(const Slots<MaxCells>& tiles, int hover, const Records& before) {
    if (s_.cellTile != tiles) {
        for (int n = 1; n <= MaxCells; ++n)
            if (s_.cellTile[n] != tiles[n])
                Fail(Say("cell %1 holds tile %2, expected %3", n, s_.cellTile[n], tiles[n]));
    }
    if (s_.hoverCell != hover) Fail(Say("hoverCell %1, expected %2", s_.hoverCell, hover));
    if (!(RecordsOf(s_) == before)) Fail(QStringLiteral("play changed the pipe records"));
}

void Soak::Click(Qt::MouseButton button) {
    const QPoint at = PickPoint();
    const int n = CellAt(at);
    event_ = Say("click %1 at (%2, %3), cell %4", int(button), at.x(), at.y(), n);
    const Records before = RecordsOf(s_);
    // A press lands where the pointer is: its cell is the arrows' target from then on.
    const int hover = button == Qt::LeftButton && n != 0 ? n : s_.hoverCell;
    const Slots<MaxCells> want =
        button == Qt::LeftButton && n != 0 ? Turned(n, 1, true) : s_.cellTile;
    SendMouse(QEvent::MouseButtonPress, at, button, button);
    SendMouse(QEvent::MouseButtonRelease, at, button, Qt::NoButton);
    ExpectPlay(want, hover, before);
}

// What X delivers for a double click: press, release, double-click, release.
void Soak::DoubleClick() {
    const QPoint at = PickPoint();
    const int n = CellAt(at);
    event_ = Say("double click at (%1, %2), cell %3", at.x(), at.y(), n);
    const Records before = RecordsOf(s_);
    const int hover = n != 0 ? n : s_.hoverCell;
    const Slots<MaxCells> want = n != 0 ? Turned(n, 2, true) : s_.cellTile;
    SendMouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    SendMouse(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    ExpectPlay(want, hover, before);
}

void Soak::Move() {
    const QPoint at = PickPoint();
    const int n = CellAt(at);
    event_ = Say("move to (%1, %2), cell %3", at.x(), at.y(), n);
    const Records before = RecordsOf(s_);
    const int hover = n != 0 ? n : s_.hoverCell;
    const Slots<MaxCells> want = s_.cellTile;
    SendMouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    ExpectPlay(want, hover, before);
}

// An arrow, perhaps with modifiers, perhaps held so that the window system repeats it.
void Soak::Arrow() {
    static constexpr int Keys[] = {Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down};
    static constexpr Qt::KeyboardModifier Mods[] = {Qt::ShiftModifier, Qt::ControlModifier,
                                                    Qt::AltModifier, Qt::MetaModifier};
    const int key = Keys[pick_() % 4];
    Qt::KeyboardModifiers mods;
    if (pick_() % 10 < 4)
        for (Qt::KeyboardModifier m : Mods)
            if (pick_() % 2 == 0) mods |= m;
    const int repeats = pick_() % 4 == 0 ? 1 + static_cast<int>(pick_() % 6) : 0;
    const bool clockwise = key == Qt::Key_Up || key == Qt::Key_Right;
    event_ = QStringLiteral("key %1 mods %2 repeats %3 on hover %4")
                 .arg(key, 0, 16)
                 .arg(int(mods), 0, 16)
                 .arg(repeats)
                 .arg(s_.hoverCell);
    const Records before = RecordsOf(s_);
    const int hover = s_.hoverCell;
    const Slots<MaxCells> want = Turned(hover, 1 + repeats, clockwise);
    SendKey(key, mods, true, false);
    for (int i = 0; i < repeats; ++i) {
        SendKey(key, mods, false, true);
        SendKey(key, mods, true, true);
    }
    SendKey(key, mods, false, false);
    ExpectPlay(want, hover, before);
}

// Alt pressed and released alone is left out: it hands the keyboard to the menu bar, as
// every desktop does, and the arrows then walk the menus instead of turning pieces.
void Soak::OtherKey() {
    static constexpr int Keys[] = {Qt::Key_F4,     Qt::Key_Space,   Qt::Key_Return, Qt::Key_A,
                                   Qt::Key_Tab,    Qt::Key_Backtab, Qt::Key_PageUp, Qt::Key_Home,
                                   Qt::Key_Delete, Qt::Key_0,       Qt::Key_Shift,  Qt::Key_Control,
                                   Qt::Key_Insert, Qt::Key_F12};
    const int key = Keys[pick_() % std::size(Keys)];
    event_ = QStringLiteral("key %1 (none of the game's)").arg(key, 0, 16);
    const Records before = RecordsOf(s_);
    const int hover = s_.hoverCell;
    const Slots<MaxCells> want = s_.cellTile;
    SendKey(key, Qt::NoModifier, true, false);
    SendKey(key, Qt::NoModifier, false, false);
    ExpectPlay(want, hover, before);
}

void Soak::MenuCommand() {
    const unsigned roll = pick_() % 100;
    if (roll < 40) {
        // Hints in a row now and then, so that boards get solved and their refusals tried.
        const int hints = pick_() % 3 == 0 ? 1 + static_cast<int>(pick_() % 10) : 1;
        for (int i = 0; i < hints && (i == 0 || figures_.events < limit_); ++i) {
            if (i > 0) {
                QApplication::processEvents();
                CheckAll();
                ++figures_.events;
            }
            RunCommand(QStringLiteral("layOnePipe"), false);
        }
    } else if (roll < 45) {
        RunCommand(QStringLiteral("rescramble"), false);
    } else if (roll < 53) {
        RunCommand(QStringLiteral("grid"), false);
    } else if (roll < 61) {
        RunCommand(
            pick_() % 2 == 0 ? QStringLiteral("largePictures") : QStringLiteral("smallPictures"),
            false);
    } else if (roll < 65) {
        RunCommand(QStringLiteral("newGame"), false);
    } else if (roll < 68) {
        RunCommand(QStringLiteral("randomPipeCount"), false);
    } else if (roll < 78) {
        RunCommand(Say("pipes%1", 1 + pick_() % MaxPipes), false);
    } else if (roll < 94) {
        const BoardSize size = BoardSizes[pick_() % std::size(BoardSizes)];
        RunCommand(Say("size%1x%2", size.cols, size.rows), false);
    } else if (roll < 97) {
        RunCommand(QStringLiteral("shortPipes"), false);
    } else {
        RunCommand(QStringLiteral("tees"), false);
    }
}

void Soak::FunctionKey() {
    static const char* const Names[] = {"layOnePipe", "newGame", "randomPipeCount", "rescramble",
                                        "F4"};
    RunCommand(QString::fromLatin1(Names[pick_() % std::size(Names)]), true);
}

void Soak::RunCommand(const QString& name, bool byKey) {
    event_ = (byKey ? QStringLiteral("function key for ") : QStringLiteral("menu ")) + name;
    const auto rule = Commands().constFind(name);
    QAction* action =
        byKey || rule == Commands().cend() ? nullptr : w_.Action(MenuIndexOf(*rule->command));
    if (rule == Commands().cend() || (!byKey && action == nullptr)) {
        Fail(QStringLiteral("no menu item ") + name);
        return;
    }
    const Settings settings = SettingsOf(s_);
    const Records records = RecordsOf(s_);
    const Slots<MaxCells> tiles = s_.cellTile;
    const int complete = CompletePipes(s_);
    const Int16 hover = s_.hoverCell;
    const long draws = rng_.draws;

    if (byKey) {
        SendKey(rule->key, Qt::NoModifier, true, false);
        SendKey(rule->key, Qt::NoModifier, false, false);
    } else {
        action->trigger();
    }

    const Settings now = SettingsOf(s_);
    Settings want = settings;
    for (const auto& [field, value] : rule->sets) {
        if (value == AnyPipeCount && (now.*field < 1 || now.*field > MaxPipes))
            Fail(Say("random pipe count %1", now.*field));
        want.*field = value == Toggle         ? static_cast<Int16>(want.*field != 0 ? 0 : 1)
                      : value == AnyPipeCount ? now.*field
                                              : value;
    }
    if (!(now == want)) Fail(QStringLiteral("the settings changed where they should not"));
    if (s_.hoverCell != hover) Fail(QStringLiteral("a command moved hoverCell"));
    Outcome outcome = rule->outcome;
    if (outcome == Outcome::DealtIfChanged)
        outcome = want == settings ? Outcome::Kept : Outcome::Dealt;
    const bool recordsKept = RecordsOf(s_) == records;
    // Whether the command dealt, scrambled or hinted, told by the random numbers it drew.
    bool drawsWanted = false;
    switch (outcome) {
        case Outcome::Kept:
        case Outcome::DealtIfChanged:
            if (s_.cellTile != tiles) Fail(QStringLiteral("the board changed"));
            if (!recordsKept) Fail(QStringLiteral("the pipe records changed"));
            break;
        case Outcome::Dealt:
            drawsWanted = true;
            ++figures_.newGames;
            break;
        case Outcome::Rescrambled:
            if (!recordsKept) Fail(QStringLiteral("a re-scramble changed the records"));
            // One draw for each turnable piece; a board of sources alone draws nothing.
            for (int n = 1; n <= s_.CellCount(); ++n)
                drawsWanted = drawsWanted || IsTurnable(s_.cellTile[n]);
            break;
        case Outcome::Hinted:
            if (!recordsKept) Fail(QStringLiteral("the hint changed the records"));
            if (const int pipes = complete < s_.pipeCount ? complete + 1 : complete;
                CompletePipes(s_) != pipes)
                Fail(Say("the hint left %1 pipes complete, expected %2", CompletePipes(s_), pipes));
            if (complete == s_.pipeCount && s_.cellTile != tiles)
                Fail(QStringLiteral("a hint on a solved board changed it"));
            drawsWanted = complete < s_.pipeCount;
            break;
    }
    if ((rng_.draws != draws) != drawsWanted)
        Fail(drawsWanted ? QStringLiteral("the command did not run: it drew no random number")
                         : Say("the command drew %1 random numbers", rng_.draws - draws));
}

}  // namespace kov::soak
