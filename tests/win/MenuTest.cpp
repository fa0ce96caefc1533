// The menu bar as Windows holds it, built from the game's table: captions in UTF-16 with the
// function key after a tab, separators, submenus, the controller's marks and the commands.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "generator/Random.h"
#include "win/Menu.h"

namespace kov::win {
namespace {

std::wstring Text(HMENU menu, int position) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    return text;
}

class MenuBar : public ::testing::Test {
  protected:
    void SetUp() override { bar_ = BuildMenuBar(game_); }
    void TearDown() override { DestroyMenu(bar_); }

    // The item of `menu` with that text, by position; -1 when there is none.
    static int Find(HMENU menu, const std::wstring& text) {
        for (int i = 0; i < GetMenuItemCount(menu); ++i)
            if (Text(menu, i) == text) return i;
        return -1;
    }

    GameController game_{std::make_unique<SeededRandom>(7)};
    HMENU bar_ = nullptr;
};

TEST_F(MenuBar, TheBarHoldsTheThreeMenusInOrder) {
    ASSERT_EQ(GetMenuItemCount(bar_), 3);
    EXPECT_EQ(Text(bar_, 0), L"Игра");
    EXPECT_EQ(Text(bar_, 1), L"Настройки");
    EXPECT_EQ(Text(bar_, 2), L"Помощь");
}

TEST_F(MenuBar, AnItemShowsItsFunctionKeyAfterATabAndRunsItsCommand) {
    HMENU game = GetSubMenu(bar_, 0);
    ASSERT_EQ(GetMenuItemCount(game), 3);
    EXPECT_EQ(Text(game, 0), L"Новая\tF2");
    EXPECT_NE(GetMenuState(game, 1, MF_BYPOSITION) & MF_SEPARATOR, 0u);
    EXPECT_EQ(Text(game, 2), L"Перемешать\tF5");
    EXPECT_EQ(MenuCommand(GetMenuItemID(game, 0)), Command::NewGame);
    EXPECT_EQ(MenuCommand(GetMenuItemID(game, 2)), Command::Rescramble);
    EXPECT_EQ(Text(GetSubMenu(bar_, 2), 0), L"Проложить 1 ковелинт\tF1");
}

TEST_F(MenuBar, SubmenusNestAndCarryTheControllersMarks) {
    HMENU settings = GetSubMenu(bar_, 1);
    const int sizes = Find(settings, L"Размер поля");
    ASSERT_GE(sizes, 0);
    HMENU sizeMenu = GetSubMenu(settings, sizes);
    ASSERT_NE(sizeMenu, nullptr);
    ASSERT_EQ(GetMenuItemCount(sizeMenu), 9);  // eight sizes and a separator
    const int start = Find(sizeMenu, L"10 x 9"), small = Find(sizeMenu, L"5 x 5");
    EXPECT_NE(GetMenuState(sizeMenu, static_cast<UINT>(start), MF_BYPOSITION) & MF_CHECKED, 0u);
    EXPECT_EQ(GetMenuState(sizeMenu, static_cast<UINT>(small), MF_BYPOSITION) & MF_CHECKED, 0u);
    EXPECT_EQ(MenuCommand(GetMenuItemID(sizeMenu, small)), Command::Size5x5);
    const int grid = Find(settings, L"Сетка");
    EXPECT_EQ(GetMenuState(settings, static_cast<UINT>(grid), MF_BYPOSITION) & MF_CHECKED, 0u);
}

TEST_F(MenuBar, AMarkChangeReachesTheItemInItsSubmenu) {
    game_.TakeChanges();
    game_.Run(Command::Size5x5);
    const Changes changes = game_.TakeChanges();
    ASSERT_FALSE(changes.marks.empty());
    for (const MarkChange& m : changes.marks)
        SetMark(bar_, m.entry, m.checked);
    HMENU sizeMenu = GetSubMenu(GetSubMenu(bar_, 1), Find(GetSubMenu(bar_, 1), L"Размер поля"));
    EXPECT_NE(GetMenuState(sizeMenu, static_cast<UINT>(Find(sizeMenu, L"5 x 5")), MF_BYPOSITION) &
                  MF_CHECKED,
              0u);
    EXPECT_EQ(GetMenuState(sizeMenu, static_cast<UINT>(Find(sizeMenu, L"10 x 9")), MF_BYPOSITION) &
                  MF_CHECKED,
              0u);
}

}  // namespace
}  // namespace kov::win
