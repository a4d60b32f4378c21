// Menus: ownership and texts of any length.
#include <gtest/gtest.h>

#include <string>

#include "support/gtest_cstring.h"
#include "winlayer/menu.h"

namespace {

// A popup "File" with Open (101), a separator and a sub-menu "Recent" holding one item (201).
HMENU MakeMenu() {
  CMenuHandle recent;
  recent.CreatePopupMenu();
  recent.AppendMenu(MF_STRING, 201, L"最近的歌曲");
  CMenuHandle file;
  file.CreatePopupMenu();
  file.AppendMenu(MF_STRING, 101, L"Open");
  file.AppendMenu(MF_SEPARATOR);
  file.AppendMenu(MF_STRING, recent, L"Recent");
  return file.Detach();
}

}  // namespace

TEST(Menu, ManagedMenuIsDestroyedOnceAndBorrowedOnesNever) {
  HMENU handle = MakeMenu();
  HMENU sub = nullptr;
  {
    CMenu menu(handle);
    CMenuHandle borrowed = menu.GetSubMenu(2);
    sub = borrowed;
    ASSERT_TRUE(borrowed.IsMenu());
  }
  EXPECT_FALSE(::IsMenu(handle));
  EXPECT_FALSE(::IsMenu(sub));  // sub-menus go with their menu

  // A menu its user destroyed already is left alone, not destroyed a second time (by then its
  // handle may belong to another menu).
  CMenu stale(MakeMenu());
  ::DestroyMenu(stale);
  HMENU other = MakeMenu();
  stale.Attach(other);  // must not touch the dead handle
  EXPECT_TRUE(::IsMenu(other));
  EXPECT_EQ(other, stale.Detach());
  ::DestroyMenu(other);
}

TEST(Menu, TextsOfItemsAndSubMenus) {
  CMenu menu(MakeMenu());
  CString text;
  EXPECT_EQ(6, menu.GetMenuString(2, text, MF_BYPOSITION));
  EXPECT_EQ(L"Recent", text);
  EXPECT_EQ(5, menu.GetSubMenu(2).GetMenuString(201, text, MF_BYCOMMAND));
  EXPECT_EQ(L"最近的歌曲", text);
  EXPECT_EQ(0, menu.GetMenuString(999, text, MF_BYCOMMAND));
  EXPECT_TRUE(text.IsEmpty());
}
