// The long run of re-lays: the grid, the picture size and the board size changed through the
// menus again and again, with resident memory measured.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <cstdio>
#include <fstream>
#include <string>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "app/MainWindow.h"
#include "tests/soak/Soak.h"

namespace kov::soak {

namespace {

// The sanitizers' shadow memory and quarantine make resident figures meaningless.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KOVELINT_SANITIZED
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(KOVELINT_SANITIZED)
constexpr bool Sanitized = true;
#else
constexpr bool Sanitized = false;
#endif

// What the game holds: glibc keeps freed heap pages at will (the backing store of a large window
// is several megabytes), so they are handed back before each reading.
long ResidentKb() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// The menus on the way to `action` are drawn as the player sees them, each with the entry it
// opens next highlighted: that drawing is what grew. Drawn rather than popped up, since each
// popup costs Qt itself about 0.1 KB of signal bookkeeping that no code of ours can return.
// The way is the game's own menus, each the child of the one that opens it, up to the bar. Not
// whatever menu holds the entry: Qt's overflow menu keeps the top-level menus it once held
// while the bar was too narrow, long after they all fit, and drawn as if open (which no player
// can do while its button is hidden) each of its highlighted arrows filled the pixmap cache.
bool Change(MainWindow& w, Command command) {
    QAction* action = w.Action(MenuIndexOf(command));
    QAction* entry = action;
    for (auto* menu = qobject_cast<QMenu*>(action->parent()); menu != nullptr;
         menu = qobject_cast<QMenu*>(menu->parentWidget())) {
        menu->adjustSize();
        menu->setActiveAction(entry);
        menu->grab();
        entry = menu->menuAction();
    }
    const bool was = action->isChecked();
    action->trigger();
    QApplication::processEvents();
    return command == Command::ToggleGrid ? action->isChecked() != was : action->isChecked();
}

}  // namespace

bool MemoryStaysFlat(MainWindow& w) {
    constexpr int Rounds = 2000, Warm = 100;
    constexpr long AllowedKb = 1024;
    long boards = 0, failed = 0, warmKb = 0;
    for (int round = 1; round <= Rounds; ++round) {
        const bool large = w.Action(MenuIndexOf(Command::LargePictures))->isChecked();
        failed += Change(w, Command::ToggleGrid) ? 0 : 1;
        failed += Change(w, large ? Command::SmallPictures : Command::LargePictures) ? 0 : 1;
        // Every round of the first hundred, then four in nineteen: 500 board sizes in all.
        if (round <= Warm || (round - Warm) % 19 < 4)
            failed += Change(w, SizeCommand(static_cast<int>(boards++ % 8))) ? 0 : 1;
        // Both readings find the same grid, pictures and board (10 x 9), and every window size
        // has been met before the first.
        if (round == Warm) warmKb = ResidentKb();
    }
    const long endKb = ResidentKb();
    std::printf(
        "memory: %d grid toggles, %d picture sizes, %ld board sizes; resident %ld kB after the "
        "first hundred of each, %ld kB at the end (%+ld kB)%s\n",
        Rounds, Rounds, boards, warmKb, endKb, endKb - warmKb,
        Sanitized ? ", not judged under the sanitizers" : "");
    if (failed > 0) std::fprintf(stderr, "memory: %ld changes did not take\n", failed);
    const bool flat = Sanitized || endKb - warmKb <= AllowedKb;
    if (!flat) std::fprintf(stderr, "memory: grew by more than %ld kB\n", AllowedKb);
    return failed == 0 && flat;
}

}  // namespace kov::soak
