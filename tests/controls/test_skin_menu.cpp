// The skinned menu: items turned into owner-drawn records with their sub-menus kept, measuring,
// images, painting (read back from a DIB), and the menu it holds when callers destroy theirs.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "controls/skin_menu.h"
#include "resources/skin_controls.h"
#include "support/canvas.h"
#include "winlayer/geometry.h"

using testsupport::Canvas;

namespace {

constexpr COLORREF kFace = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kImageAccent = RGB(0xE2, 0x6A, 0x1E);

// 播放 32800, 编辑歌词 32798, separator, 上传 32802, 更多 > (删除 32808, 打开 32810)
HMENU MakeMenu() {
  HMENU more = ::CreatePopupMenu();
  ::AppendMenuW(more, MF_STRING, 32808, L"删除");
  ::AppendMenuW(more, MF_STRING, 32810, L"打开");
  HMENU menu = ::CreatePopupMenu();
  ::AppendMenuW(menu, MF_STRING, 32800, L"播放");
  ::AppendMenuW(menu, MF_STRING, 32798, L"编辑歌词");
  ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(menu, MF_STRING, 32802, L"上传");
  ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(more), L"更多");
  return menu;
}

// The item of the record at index painted into the canvas, as the menu would.
void Paint(CSkinMenu& skin, int index, UINT state, Canvas& canvas) {
  canvas.Fill(RGB(0, 255, 0));
  DRAWITEMSTRUCT draw = {};
  draw.CtlType = ODT_MENU;
  draw.itemState = state;
  draw.hDC = canvas.hdc();
  draw.rcItem = CRect(0, 0, canvas.width(), canvas.height());
  draw.itemData = reinterpret_cast<ULONG_PTR>(skin.GetItems()[index]);
  skin.DrawItem(draw);
}

SIZE Measure(CSkinMenu& skin, int index) {
  MEASUREITEMSTRUCT measure = {};
  measure.CtlType = ODT_MENU;
  measure.itemData = reinterpret_cast<ULONG_PTR>(skin.GetItems()[index]);
  skin.MeasureItem(measure);
  return {static_cast<LONG>(measure.itemWidth), static_cast<LONG>(measure.itemHeight)};
}

}  // namespace

TEST(SkinMenu, ItemsBecomeOwnerDrawnRecordsMeasuredByTheirTexts) {
  CSkinMenu skin;
  HMENU menu = MakeMenu();
  auto ids = [&skin] {
    std::vector<int> ids;
    for (const MenuItemRecord* record : skin.GetItems()) ids.push_back(record->nID);
    return ids;
  };
  skin.AttachMenu(menu, FALSE, 0, 0, 0);
  EXPECT_EQ((std::vector<int>{32800, 32798, 0, 32802, -1, 32808, 32810}), ids());
  // The sub-menu stays, with its ids, its items owner-drawn with their records.
  HMENU more = ::GetSubMenu(menu, 4);
  ASSERT_NE(nullptr, more);
  EXPECT_EQ(32808u, ::GetMenuItemID(more, 0));
  MENUITEMINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE | MIIM_DATA;
  ASSERT_TRUE(::GetMenuItemInfoW(more, 1, TRUE, &info));
  EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
  EXPECT_EQ(reinterpret_cast<ULONG_PTR>(skin.GetItems()[6]), info.dwItemData);
  // 14 px a character and the extra width (10: Wine reports a system newer than XP); a
  // separator is 1 px high.
  EXPECT_EQ(10, skin.GetExtraWidth());
  EXPECT_EQ(14 * 4 + 10, Measure(skin, 1).cx);
  EXPECT_EQ(24, Measure(skin, 1).cy);
  EXPECT_EQ(1, Measure(skin, 2).cy);

  // Attached again (the flag marks the sub-menu's item -2): the menu is kept, the records
  // rebuilt from the items' texts.
  skin.AttachMenu(menu, TRUE, 0, 0, 0);
  EXPECT_TRUE(::IsMenu(menu));
  EXPECT_EQ((std::vector<int>{32800, 32798, 0, 32802, -2, 32808, 32810}), ids());
  EXPECT_EQ(CString(L"编辑歌词"), skin.GetItems()[1]->strText);
}

TEST(SkinMenu, ItemsArePaintedOnTheirFacesWithImageCheckMarkAndGreyText) {
  CSkinMenu skin;
  skin.AttachMenu(MakeMenu(), FALSE, IDB_MENU_IMAGES, 10, 24);
  ASSERT_TRUE(skin.SetItemImage(32800, 0));
  EXPECT_FALSE(skin.SetItemImage(32802, 5)) << "five images: there is no image 5";
  EXPECT_FALSE(skin.SetItemImage(0, 1)) << "a separator is no command";
  Canvas canvas(160, 24);
  const CRect imageColumn(0, 0, 8, 24);
  const HGDIOBJ font = ::GetCurrentObject(canvas.hdc(), OBJ_FONT);

  Paint(skin, 1, 0, canvas);
  EXPECT_EQ(kFace, canvas.at(150, 2));
  const int black = canvas.Count(kBlack);
  EXPECT_GT(black, 10);
  EXPECT_EQ(0, canvas.Count(kBlack, imageColumn)) << "the text starts right of the images";

  Paint(skin, 1, ODS_SELECTED | ODS_CHECKED, canvas);
  EXPECT_EQ(0xC8C8C8u, canvas.at(150, 2));
  EXPECT_GT(canvas.Count(kBlack, imageColumn), 3) << "the check mark in the image column";

  Paint(skin, 1, ODS_GRAYED, canvas);
  EXPECT_EQ(0, canvas.Count(kBlack));
  EXPECT_GT(canvas.Count(0x787878), black / 2);

  Paint(skin, 2, 0, canvas);  // the separator: a line across the middle, 2 px in from the ends
  EXPECT_EQ(160 - 4, canvas.Count(0x302B31));
  EXPECT_EQ(0x302B31u, canvas.at(2, 12));

  Paint(skin, 0, 0, canvas);  // the image in the top-left corner, half faded when greyed
  const int bright = canvas.Count(kImageAccent, imageColumn);
  EXPECT_GT(bright, 4);
  EXPECT_EQ(kFace, canvas.at(1, 1)) << "red is transparent";
  Paint(skin, 0, ODS_GRAYED, canvas);
  EXPECT_LT(canvas.Count(kImageAccent, imageColumn), bright);
  EXPECT_EQ(font, ::GetCurrentObject(canvas.hdc(), OBJ_FONT)) << "the menu's font is taken out";
}

TEST(SkinMenu, AMenuThatIsNoLongerTheOneConvertedIsNeverDestroyed) {
  // Callers destroy the menus they track; the handle may then come back naming another menu.
  // Here `other` stands for such a menu under the old handle.
  HMENU other = ::CreatePopupMenu();
  {
    CSkinMenu skin;
    HMENU tracked = MakeMenu();
    skin.AttachMenu(tracked, FALSE, 0, 0, 0);
    ::DestroyMenu(tracked);
    skin.m_hMenu = other;
    HMENU next = MakeMenu();
    skin.AttachMenu(next, FALSE, 0, 0, 0);
    EXPECT_TRUE(::IsMenu(other));
    ::DestroyMenu(next);
    skin.m_hMenu = other;
  }  // the destructor
  EXPECT_TRUE(::IsMenu(other));
  ::DestroyMenu(other);

  HMENU held = MakeMenu();
  {
    CSkinMenu skin;
    skin.AttachMenu(held, FALSE, 0, 0, 0);
  }
  EXPECT_FALSE(::IsMenu(held)) << "what it still holds as converted goes with it";
}
