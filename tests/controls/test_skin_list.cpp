// The skinned list in a hidden host that reflects its notifications: rows and blank rows painted
// by custom draw (read back from a DIB), the flat header, and columns that keep their widths.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "controls/skin_scrollbar.h"
#include "resources/scrollbar_skin.h"
#include "skin_test_windows.h"
#include "support/canvas.h"
#include "winlayer/gdi_objects.h"
#include "winlayer/geometry.h"

namespace {

constexpr COLORREF kRow = CSkinListCtrlEx::kRowColour;
constexpr COLORREF kText = CSkinListCtrlEx::kTextColour;
constexpr int kWidth = 520;
constexpr int kHeight = 300;

class SkinListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&init);
    ASSERT_TRUE(host.Create(nullptr, CRect(0, 0, kWidth, kHeight), L"host"));
    ASSERT_TRUE(list.Create(host, CRect(0, 0, kWidth, kHeight), nullptr,
                            WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS));
    list.SetExtendedListViewStyle(LVS_EX_FULLROWSELECT);
    list.InitColumns();
  }
  void TearDown() override { host.DestroyWindow(); }

  void AddRows(int count) {
    for (int i = 0; i < count; ++i) list.InsertItem(i, L"雨后彩虹");
  }
  // The window painted into the canvas (the list's custom draw runs through the host).
  void Paint(CWindow window) {
    canvas.Fill(RGB(255, 255, 255));
    window.SendMessage(window.m_hWnd == list.m_hWnd ? WM_PRINTCLIENT : WM_PAINT,
                       reinterpret_cast<WPARAM>(canvas.hdc()), PRF_CLIENT);
  }
  CRect Row(int item) {
    CRect rect;
    list.GetItemRect(item, &rect, LVIR_BOUNDS);
    return rect;
  }
  // The bounding box of the pixels of a colour inside an area (empty when there are none).
  CRect Ink(COLORREF colour, const CRect& area) {
    CRect box;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        if (canvas.at(x, y) == colour) box |= CRect(x, y, x + 1, y + 1);
      }
    }
    return box;
  }

  ReflectingHost host;
  LibraryList list;
  testsupport::Canvas canvas{kWidth, kHeight};
};

}  // namespace

TEST_F(SkinListTest, RowsOfSeventyFivePixelsArePaintedInTheRowColoursDownToTheBottom) {
  AddRows(2);
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  const CRect first = Row(0), second = Row(1);
  EXPECT_EQ(27, first.top) << "below the flat header";
  EXPECT_NEAR(75, second.top - first.top, 1);  // the substitute face rounds its cell
  Paint(list);
  // Cells: the row colour, the selection colour, texts in the accent colour.
  EXPECT_EQ(kRow, canvas.at(2, first.top + 2));
  EXPECT_EQ(CSkinListCtrlEx::kSelectedColour, canvas.at(400, second.top + 2));
  EXPECT_GT(canvas.Count(kText, first), 20);
  // Right of the last column and below the last row: the row colour, never striped.
  EXPECT_EQ(kRow, canvas.at(kWidth - 3, second.top + 2));
  CRect below(0, second.bottom, kWidth, kHeight);
  EXPECT_EQ(below.Width() * below.Height(), canvas.Count(kRow, below));
  // An empty list is blank rows from the header down.
  list.RemoveAllItems();
  Paint(list);
  CRect rows(0, 27, kWidth, kHeight);
  EXPECT_EQ(rows.Width() * rows.Height(), canvas.Count(kRow, rows));
}

TEST_F(SkinListTest, HeaderPaintsItsPicturesAndItsOwnThirteenPixelFont) {
  Paint(list.m_header);
  CRect first, second;
  list.m_header.GetItemRect(0, &first);
  list.m_header.GetItemRect(1, &second);
  // Background picture (top line, bottom line) and a separator at the first item's right.
  EXPECT_EQ(0x574D55u, canvas.at(first.left + 10, 0));
  EXPECT_EQ(0x191418u, canvas.at(first.left + 10, 26));
  EXPECT_EQ(0x1D181Cu, canvas.at(first.right, 13));
  // Texts in the header's own 13 px font (the list hands its 74 px font to its header too):
  // "名称" is two glyphs of at most 13 x 13.
  const CRect name = Ink(kText, first);
  EXPECT_GE(name.Height(), 9);
  EXPECT_LE(name.Height(), 13);
  EXPECT_GE(name.Width(), 20);
  EXPECT_LE(name.Width(), 26);
  // A centred item's text is centred in what is left of the item after a 20 px indent.
  const CRect listen = Ink(kText, second);
  EXPECT_NEAR(listen.CenterPoint().x, (second.left + 20 + second.right - 5) / 2, 2);
}

TEST_F(SkinListTest, PaintersLeaveTheDCWithWhatWasSelectedInIt) {
  // What a painter selects goes back out before it is deleted, and the DC it was given keeps
  // its own font, brush, pen and mode.
  AddRows(1);
  const HDC dc = canvas.hdc();
  const HGDIOBJ font = ::GetCurrentObject(dc, OBJ_FONT);
  const HGDIOBJ brush = ::GetCurrentObject(dc, OBJ_BRUSH);
  const HGDIOBJ pen = ::GetCurrentObject(dc, OBJ_PEN);
  Paint(list);
  Paint(list.m_header);
  EXPECT_EQ(font, ::GetCurrentObject(dc, OBJ_FONT));
  EXPECT_EQ(brush, ::GetCurrentObject(dc, OBJ_BRUSH));
  EXPECT_EQ(pen, ::GetCurrentObject(dc, OBJ_PEN));
  EXPECT_EQ(OPAQUE, ::GetBkMode(dc));
}

TEST_F(SkinListTest, ColumnsCannotBeResizedByTheUser) {
  CRect first;
  list.m_header.GetItemRect(0, &first);
  const int width = list.GetColumnWidth(0);
  const LPARAM divider = MAKELPARAM(first.right - 1, 10), dragged = MAKELPARAM(first.right + 60, 10);
  list.m_header.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, divider);
  list.m_header.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, dragged);
  list.m_header.SendMessage(WM_LBUTTONUP, 0, dragged);
  list.m_header.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, divider);
  EXPECT_EQ(width, list.GetColumnWidth(0));
}

TEST_F(SkinListTest, ScrollsUnderSkinnedBarsAndPaintsTheRowsItScrolledTo) {
  // As in the program's windows: the redirections stay for the rest of the test program.
  ASSERT_TRUE(SkinSB_InstallApiHooks());
  CBitmap skin(static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                 MAKEINTRESOURCEW(IDB_SCROLLBAR_SKIN), IMAGE_BITMAP,
                                                 0, 0, LR_CREATEDIBSECTION)));
  AddRows(12);
  list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
  ASSERT_TRUE(SkinSB_AttachWindow(list, skin));
  // Two clicks on the down arrow, as the skinned bar sends them.
  list.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
  list.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(2, list.GetTopIndex());
  EXPECT_EQ(2, list.GetScrollPos(SB_VERT)) << "the skinned bar follows the list";
  Paint(list);
  EXPECT_EQ(27, Row(2).top);
  EXPECT_EQ(CSkinListCtrlEx::kSelectedColour, canvas.at(400, Row(2).top + 2));
  EXPECT_EQ(kRow, canvas.at(400, Row(3).top + 2));
  // Made taller (the list swallows WM_SIZE): rows and the bar's page follow the new size.
  const int before = list.GetCountPerPage();
  list.SetWindowPos(nullptr, 0, 0, kWidth, kHeight + 150, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(before + 2, list.GetCountPerPage());
  SCROLLINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = SIF_PAGE;
  ASSERT_TRUE(list.GetScrollInfo(SB_VERT, &info));
  EXPECT_EQ(static_cast<UINT>(list.GetCountPerPage()), info.nPage);
}
