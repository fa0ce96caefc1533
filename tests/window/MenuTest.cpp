// The menu bar built from the controller's table, its marks kept in step, and the caption.
#include <QMenu>
#include <QWindow>

#include "tests/window/WindowFixture.h"

namespace kov::test {
namespace {

void Walk(const QList<QAction*>& actions, int depth, std::vector<std::pair<int, QAction*>>* out) {
    for (QAction* a : actions) {
        out->emplace_back(depth, a);
        if (a->menu() != nullptr) Walk(a->menu()->actions(), depth + 1, out);
    }
}

using MenuTest = WindowTest;

TEST_F(MenuTest, TheBarIsTheTableEntryForEntry) {
    std::vector<std::pair<int, QAction*>> tree;
    Walk(w->menuBar()->actions(), 0, &tree);
    const std::span<const MenuEntry> entries = MenuEntries();
    ASSERT_EQ(tree.size(), entries.size());
    for (std::size_t i = 0; i < tree.size(); ++i) {
        const auto& [depth, a] = tree[i];
        const MenuEntry& e = entries[i];
        SCOPED_TRACE(std::string(e.id));
        EXPECT_EQ(a, w->Action(i));
        EXPECT_EQ(depth, e.depth);
        EXPECT_EQ(a->objectName().toStdString(), e.id);
        EXPECT_EQ(a->isSeparator(), e.IsSeparator());
        // The function key is shown after a tab, where Qt's menus put a shortcut's text.
        if (!e.IsSeparator()) {
            std::string text(e.caption);
            if (!e.shortcutLabel.empty()) text.append(1, '\t').append(e.shortcutLabel);
            EXPECT_EQ(a->text().toStdString(), text);
        }
        EXPECT_EQ(a->isCheckable(), e.checkable);
        EXPECT_EQ(a->isChecked(), w->Game().Checked(i));
        // No access keys: Qt would read one from an ampersand.
        EXPECT_TRUE(QKeySequence::mnemonic(a->text()).isEmpty());
        EXPECT_TRUE(a->isEnabled());
    }
    // No action of the window has a shortcut of Qt's: the game alone decides what a key runs.
    for (QAction* a : w->findChildren<QAction*>())
        EXPECT_TRUE(a->shortcuts().isEmpty()) << a->objectName().toStdString();
}

// Qt flips a checkable item's mark on its own when it is chosen; after every command each mark
// is the controller's again, whether the command changed it or not.
TEST_F(MenuTest, MarksAndCaptionFollowTheController) {
    Show();
    const Command other = S().wantedPipes == 5 ? Command::Pipes6 : Command::Pipes5;
    for (Command c : {other, other, Command::Size5x5, Command::Size5x5, Command::LargePictures,
                      Command::LargePictures, Command::ToggleGrid, Command::ToggleShortPipes,
                      Command::ToggleTees, Command::RandomPipeCount, Command::SmallPictures}) {
        Item(c).trigger();
        for (std::size_t i = 0; i < MenuEntries().size(); ++i)
            ASSERT_EQ(w->Action(i)->isChecked(), w->Game().Checked(i))
                << MenuEntries()[i].id << " after " << static_cast<int>(c);
        ASSERT_EQ(w->windowTitle().toStdString(), w->Game().Caption());
    }
    // Whatever the window system makes of it, nothing is added to the caption.
    EXPECT_EQ(w->windowHandle()->title(), w->windowTitle());
}

}  // namespace
}  // namespace kov::test
