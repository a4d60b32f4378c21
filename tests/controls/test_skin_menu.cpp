// The skinned menu: items turned into owner-drawn records with their sub-menus kept, measuring,
// images, painting (read back from a DIB), and the menu it holds when callers destroy theirs.
#include <gtest/gtest.h>

#include <windows.h>

#include "controls/skin_menu.h"
#include "resources/skin_controls.h"
#include "support/canvas.h"
#include "winlayer/geometry.h"

using testsupport::Canvas;

namespace {

constexpr int kImageWidth = 10;
constexpr int kImageHeight = 24;
constexpr COLORREF kFace = 0xFFFFFF;
constexpr COLORREF kSelectedFace = 0xC8C8C8;
constexpr COLORREF kGrey = 0x787878;
constexpr COLORREF kBlack = 0x000000;

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

std::vector<int> Ids(const CSkinMenu& skin) {
  std::vector<int> ids;
  for (const MenuItemRecord* record : skin.GetItems()) ids.push_back(record->nID);
  return ids;
}

// Paints one item of the record at index into a fresh canvas, as the menu would.
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

}  // namespace

TEST(SkinMenu, AttachingTurnsEveryItemOwnerDrawnAndKeepsTheSubMenu) {
  for (BOOL flag : {FALSE, TRUE}) {
    CSkinMenu skin;
    HMENU menu = MakeMenu();
    skin.AttachMenu(menu, flag, 0, 0, 0);
    EXPECT_EQ((std::vector<int>{32800, 32798, 0, 32802, flag ? -2 : -1, 32808, 32810}), Ids(skin));
    EXPECT_EQ(CString(L"编辑歌词"), skin.GetItems()[1]->strText);
    EXPECT_EQ(CString(L"更多"), skin.GetItems()[4]->strText);
    HMENU more = ::GetSubMenu(menu, 4);
    ASSERT_NE(nullptr, more) << "the sub-menu stays attached";
    for (HMENU each : {menu, more}) {
      for (int i = 0; i < ::GetMenuItemCount(each); ++i) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID;
        ASSERT_TRUE(::GetMenuItemInfoW(each, i, TRUE, &info));
        EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
        EXPECT_NE(0u, info.dwItemData);
      }
    }
    EXPECT_EQ(32808u, ::GetMenuItemID(more, 0)) << "command ids stay";
  }
}

TEST(SkinMenu, ItemsMeasureByTheirTextAndSeparatorsOnePixel) {
  CSkinMenu skin;
  HMENU menu = ::CreatePopupMenu();
  ::AppendMenuW(menu, MF_STRING, 1, L"一二三四五六七八九十一二三四五六七八九十");
  ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(::CreatePopupMenu()), L"更多");
  skin.AttachMenu(menu, FALSE, 0, 0, 0);
  struct Case {
    int index;
    UINT height, width;
  } cases[] = {
      {0, 24, 14u * 20 + skin.GetExtraWidth()},
      {1, 1, 0},  // width left as the system gave it
      {2, 24, 14u * 2 + skin.GetExtraWidth()},
  };
  for (const Case& c : cases) {
    MEASUREITEMSTRUCT measure = {};
    measure.CtlType = ODT_MENU;
    measure.itemData = reinterpret_cast<ULONG_PTR>(skin.GetItems()[c.index]);
    skin.MeasureItem(measure);
    EXPECT_EQ(c.height, measure.itemHeight) << c.index;
    EXPECT_EQ(c.width, measure.itemWidth) << c.index;
  }
  EXPECT_EQ(10, skin.GetExtraWidth()) << "Wine reports a system newer than XP";
}

TEST(SkinMenu, ItemImagesMustExistAndBelongToACommand) {
  CSkinMenu skin;
  skin.AttachMenu(MakeMenu(), FALSE, 0, 0, 0);
  EXPECT_FALSE(skin.SetItemImage(32800, 0)) << "no images loaded";
  ASSERT_TRUE(skin.LoadImages(IDB_MENU_IMAGES, kImageWidth, kImageHeight));
  struct Case {
    UINT id;
    int image;
    bool set;
  } cases[] = {
      {32800, 0, true},   {32808, 4, true},  {32802, 5, false},  // 5 images: index 5 is none
      {32800, -1, false}, {12345, 1, false}, {0, 1, false},      // a separator is no command
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.set, skin.SetItemImage(c.id, c.image)) << c.id << " " << c.image;
  }
  EXPECT_EQ(4, skin.GetItems()[5]->nImage);
}

TEST(SkinMenu, ItemsArePaintedOnTheirFacesWithImageCheckMarkAndGreyText) {
  CSkinMenu skin;
  skin.AttachMenu(MakeMenu(), FALSE, IDB_MENU_IMAGES, kImageWidth, kImageHeight);
  ASSERT_TRUE(skin.SetItemImage(32800, 0));
  Canvas canvas(160, 24);

  Paint(skin, 1, 0, canvas);
  EXPECT_EQ(kFace, canvas.at(150, 2));
  const int plainBlack = canvas.Count(kBlack);
  EXPECT_GT(plainBlack, 10);
  int plainLeft = 160;
  for (int x = 0; x < 160 && plainLeft == 160; ++x) {
    if (canvas.Count(kBlack, CRect(x, 0, x + 1, 24))) plainLeft = x;
  }
  EXPECT_GE(plainLeft, 8) << "the text starts right of the image column";

  Paint(skin, 1, ODS_SELECTED | ODS_CHECKED, canvas);
  EXPECT_EQ(kSelectedFace, canvas.at(150, 2));
  EXPECT_GT(canvas.Count(kBlack, CRect(0, 0, 16, 24)), 3) << "the check mark at the left";

  Paint(skin, 1, ODS_GRAYED, canvas);
  EXPECT_EQ(0, canvas.Count(kBlack));
  EXPECT_GT(canvas.Count(kGrey), plainBlack / 2);

  // The separator: one line of its colour across the middle, 2 px in from both ends.
  Paint(skin, 2, 0, canvas);
  EXPECT_EQ(160 - 4, canvas.Count(0x302B31));
  EXPECT_EQ(0x302B31u, canvas.at(2, 12));
  EXPECT_EQ(kFace, canvas.at(1, 12));

  // The image in the top-left corner, half faded for a greyed item.
  constexpr COLORREF kAccent = RGB(0xE2, 0x6A, 0x1E);
  const CRect image(0, 0, kImageWidth, kImageHeight);
  Paint(skin, 0, 0, canvas);
  const int bright = canvas.Count(kAccent, image);
  EXPECT_GT(bright, 10);
  EXPECT_EQ(kFace, canvas.at(1, 1)) << "red is transparent";
  Paint(skin, 0, ODS_GRAYED, canvas);
  EXPECT_LT(canvas.Count(kAccent, image), bright * 2 / 3);
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

  // What it still holds as converted goes with it; attaching the same menu again keeps it.
  HMENU kept = MakeMenu();
  {
    CSkinMenu skin;
    skin.AttachMenu(kept, FALSE, 0, 0, 0);
    skin.AttachMenu(kept, TRUE, 0, 0, 0);
    EXPECT_TRUE(::IsMenu(kept));
    EXPECT_EQ(-2, skin.GetItems()[4]->nID);
    EXPECT_EQ(CString(L"编辑歌词"), skin.GetItems()[1]->strText) << "texts survive the rebuild";
  }
  EXPECT_FALSE(::IsMenu(kept));
}
