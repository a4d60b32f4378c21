// Menus and image lists: ownership, item queries and changes, masked images.
#include <gtest/gtest.h>

#include <string>

#include "support/gtest_cstring.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/image.h"
#include "winlayer/imagelist.h"
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

TEST(Menu, ItemsAreReadAndChangedByPositionAndById) {
  CMenu menu(MakeMenu());
  EXPECT_EQ(3, menu.GetMenuItemCount());
  EXPECT_EQ(101u, menu.GetMenuItemID(0));
  EXPECT_EQ(0u, menu.GetMenuItemID(1));
  EXPECT_EQ(static_cast<UINT>(-1), menu.GetMenuItemID(2));  // opens a sub-menu

  CString text;
  EXPECT_EQ(6, menu.GetMenuString(2, text, MF_BYPOSITION));
  EXPECT_EQ(L"Recent", text);
  EXPECT_EQ(5, menu.GetSubMenu(2).GetMenuString(201, text, MF_BYCOMMAND));
  EXPECT_EQ(L"最近的歌曲", text);
  EXPECT_EQ(0, menu.GetMenuString(999, text, MF_BYCOMMAND));
  EXPECT_TRUE(text.IsEmpty());

  menu.CheckMenuItem(101, MF_BYCOMMAND | MF_CHECKED);
  menu.EnableMenuItem(101, MF_BYCOMMAND | MF_GRAYED);
  UINT state = menu.GetMenuState(101, MF_BYCOMMAND);
  EXPECT_TRUE(state & MF_CHECKED);
  EXPECT_TRUE(state & MF_GRAYED);
  EXPECT_EQ(static_cast<DWORD>(-1), menu.CheckMenuItem(999, MF_BYCOMMAND | MF_CHECKED));

  // Turning the sub-menu item into an owner-drawn one keeps its sub-menu when the popup is
  // passed along; the item data is what the owner gets back when drawing.
  HMENU recent = menu.GetSubMenu(2);
  static int record = 7;
  ASSERT_TRUE(
      menu.ModifyMenu(2, MF_BYPOSITION | MF_OWNERDRAW, recent, reinterpret_cast<LPCWSTR>(&record)));
  EXPECT_EQ(recent, static_cast<HMENU>(menu.GetSubMenu(2)));
  MENUITEMINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_DATA | MIIM_FTYPE;
  ASSERT_TRUE(menu.GetMenuItemInfo(2, TRUE, &info));
  EXPECT_EQ(reinterpret_cast<ULONG_PTR>(&record), info.dwItemData);
  EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
}

TEST(ImageList, MaskedStripBecomesImagesThatDrawTransparently) {
  // A strip of three 4 x 4 images: red, green, blue, each with a mask-coloured top-left pixel.
  const COLORREF mask = RGB(1, 0, 0);
  CImage strip;
  ASSERT_TRUE(strip.Create(12, 4, 24));
  CDCHandle dc(strip.GetDC());
  const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
  for (int i = 0; i < 3; ++i) {
    dc.FillSolidRect(i * 4, 0, 4, 4, colours[i]);
    dc.SetPixel(i * 4, 0, mask);
  }
  strip.ReleaseDC();

  CImageListManaged list;
  ASSERT_TRUE(list.Create(4, 4, ILC_COLOR24 | ILC_MASK, 3, 3));
  EXPECT_EQ(0, list.Add(static_cast<HBITMAP>(strip), mask));
  EXPECT_EQ(3, list.GetImageCount());
  SIZE size = {};
  list.GetIconSize(size);
  EXPECT_EQ(4, size.cx);

  CImage canvas;
  canvas.Create(10, 10, 32);
  CDCHandle target(canvas.GetDC());
  target.FillSolidRect(0, 0, 10, 10, RGB(255, 255, 255));
  EXPECT_TRUE(list.Draw(target, 1, 2, 2, ILD_TRANSPARENT));
  EXPECT_EQ(RGB(0, 255, 0), target.GetPixel(3, 3));
  EXPECT_EQ(RGB(255, 255, 255), target.GetPixel(2, 2));  // the masked pixel
  // (How ILD_BLEND50 mixes the colours is the system's affair; Wine does not blend here.)
  EXPECT_TRUE(list.DrawEx(2, target, CRect(5, 5, 9, 9), CLR_NONE, CLR_DEFAULT, ILD_BLEND50));
  EXPECT_NE(RGB(255, 255, 255), target.GetPixel(7, 7));
  canvas.ReleaseDC();

  // The borrowing form leaves the list alone; Destroy frees it.
  HIMAGELIST handle = list.Detach();
  { CImageList borrowed(handle); }
  EXPECT_EQ(3, ::ImageList_GetImageCount(handle));
  CImageList(handle).Destroy();
}
