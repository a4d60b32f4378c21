// The skinned tree (item height, painting through its buffer), the splitter dragged within and
// past its limits, and the pager's clicks, notification, pointer and whole texts.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <utility>
#include <vector>

#include "app/main_frame.h"
#include "controls/rc_splitter.h"
#include "controls/select_ctrl.h"
#include "controls/skin_font.h"
#include "skin_test_windows.h"
#include "support/canvas.h"
#include "winlayer/geometry.h"

using testsupport::Canvas;

namespace {

class PanesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&init);
    ASSERT_TRUE(host.Create(nullptr, CRect(0, 0, 600, 300), L"host"));
  }
  void TearDown() override { host.DestroyWindow(); }

  ReflectingHost host;
};

void RecordMove(int left, int top, int right, int bottom, void* context) {
  static_cast<std::vector<CRect>*>(context)->emplace_back(left, top, right, bottom);
}

// Presses on the bar, moves the mouse by `by` (in two steps) and releases it there.
void Drag(CRCSplitter& bar, POINT by) {
  bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
  const CRect start = bar.GetRectInParent();
  for (int step = 1; step <= 2; ++step) {
    // The mouse's position relative to where the bar is now, as the system reports it.
    const CRect now = bar.GetRectInParent();
    const int x = start.left + 1 + by.x * step / 2 - now.left;
    const int y = start.top + 1 + by.y * step / 2 - now.top;
    bar.SendMessage(step == 1 ? WM_MOUSEMOVE : WM_LBUTTONUP, step == 1 ? MK_LBUTTON : 0,
                    MAKELPARAM(x, y));
  }
}

}  // namespace

TEST_F(PanesTest, TreeItemsHaveTheirHeightAndTheDerivedTreesPaintingReachesTheWindow) {
  CategoryTree tree(30);
  ASSERT_TRUE(tree.Create(host, CRect(0, 0, 120, 200), nullptr, WS_CHILD | WS_VISIBLE));
  EXPECT_EQ(30, tree.GetItemHeight());
  tree.InsertItem(L"华语流行", TVI_ROOT, TVI_LAST);
  tree.SelectItem(tree.InsertItem(L"欧美金曲", TVI_ROOT, TVI_LAST));
  Canvas canvas(120, 200);
  tree.SendMessage(WM_PAINT, reinterpret_cast<WPARAM>(canvas.hdc()));
  EXPECT_GT(canvas.Count(CategoryTree::kSelectedText, CRect(0, 30, 120, 60)), 20);
  EXPECT_EQ(120 * 100, canvas.Count(CategoryTree::kBackground, CRect(0, 100, 120, 200)));
}

TEST_F(PanesTest, SplitterMovesWithinItsLimitsAndReportsEveryMove) {
  // A vertical bar 3 px wide in a 600 px wide parent; the lyric workspace's limits.
  const std::pair<POINT, CRect> cases[] = {
      {{-120, 40}, {180, 0, 183, 300}},  // only across: the bar keeps its top
      {{-250, 0}, {100, 0, 103, 300}},   // 100 px from the left edge at least
      {{+200, 0}, {397, 0, 400, 300}},   // its right side 200 px from the right edge
  };
  for (const auto& [by, end] : cases) {
    CRCSplitter bar;
    ASSERT_TRUE(bar.Create(host, CRect(300, 0, 303, 300), nullptr, WS_CHILD | WS_VISIBLE));
    std::vector<CRect> moves;
    bar.SetLimits(true, 100, 200);
    bar.SetCallback(RecordMove, &moves);
    Drag(bar, by);
    ASSERT_EQ(2u, moves.size()) << "one report for the move and one for the release";
    EXPECT_EQ(end, moves.back()) << by.x;
    EXPECT_EQ(nullptr, ::GetCapture());
    bar.DestroyWindow();
  }

  CRCSplitter horizontal;  // up and down, without a callback
  ASSERT_TRUE(horizontal.Create(host, CRect(0, 150, 600, 153), nullptr, WS_CHILD | WS_VISIBLE));
  horizontal.SetLimits(false, 20, 20);
  Drag(horizontal, {30, -200});
  EXPECT_EQ(CRect(0, 20, 600, 23), horizontal.GetRectInParent());
}

TEST_F(PanesTest, PagerStepsWithinItsPagesAndNotifiesEveryStepClick) {
  CSelectCtrl pager;
  ASSERT_TRUE(pager.Create(host, CRect(10, 10, 210, 25), nullptr, WS_CHILD | WS_VISIBLE, 0, 77));
  // Areas of a 200 x 15 pager: previous 0-66, page text 70-136, next 140-206.
  struct {
    int x, page;
    bool notified;
  } cases[] = {
      {10, 0, true},  // previous on the first page: stays, still notifies
      {150, 1, true},  {150, 2, true},
      {150, 2, true},   // next on the last page: stays, still notifies
      {100, 2, false},  // the page text
      {68, 2, false},   // between two areas
      {30, 1, true},
  };
  pager.SetPageInfo(0, 3);
  for (const auto& c : cases) {
    host.notices.clear();
    pager.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, 7));
    EXPECT_EQ(c.page, pager.GetCurPage()) << c.x;
    ASSERT_EQ(c.notified ? 1u : 0u, host.notices.size()) << c.x;
    if (c.notified) {
      EXPECT_EQ(pager.m_hWnd, host.notices[0].hwndFrom);
      EXPECT_EQ(77u, host.notices[0].idFrom);
      EXPECT_EQ(7559u, host.notices[0].code);
    }
  }

  pager.SetPageInfo(5, 3);
  EXPECT_EQ(5, pager.GetPageCount());
  EXPECT_EQ(5, pager.GetCurPage());

  // The pointer is a hand over the three areas and an arrow between them.
  CMainFrame* frame = CMainFrame::GetInstance();
  for (int x : {30, 68, 100, 138, 150}) {
    pager.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x, 7));
    EXPECT_EQ(x == 68 || x == 138 ? 2 : 3, frame->GetCursorState()) << x;
  }
}

// Ink per pixel column of what differs from the background, without the blank columns around.
std::vector<int> InkColumns(const Canvas& canvas, const CRect& area, COLORREF background) {
  std::vector<int> columns;
  for (int x = area.left; x < area.right; ++x) {
    columns.push_back(area.Height() -
                      canvas.Count(background, CRect(x, area.top, x + 1, area.bottom)));
  }
  while (!columns.empty() && columns.back() == 0) columns.pop_back();
  while (!columns.empty() && columns.front() == 0) columns.erase(columns.begin());
  return columns;
}

TEST_F(PanesTest, PagerTextsAreWholeInTheirFifteenPixelStrip) {
  // The frame's pager is 15 px high and its font 14: a face with leading stands in for "宋体"
  // here, and its characters must still fit ("下一页" read as "卜一贝" when their tops were cut).
  CSelectCtrl pager;
  ASSERT_TRUE(pager.Create(host, CRect(10, 10, 210, 25), nullptr, WS_CHILD | WS_VISIBLE));
  const COLORREF background = 0x282128;
  pager.SetBkColor(background);
  pager.SetPageInfo(0, 1959);
  Canvas canvas(200, 15);
  pager.SendMessage(WM_PAINT, reinterpret_cast<WPARAM>(canvas.hdc()), 0);

  CFont font;
  CreateSkinFont(font, 14, FW_NORMAL, DEFAULT_CHARSET, FF_SWISS, ANTIALIASED_QUALITY);
  const std::pair<const wchar_t*, CRect> texts[] = {{L"上一页", CRect(0, 0, 66, 15)},
                                                    {L"下一页", CRect(140, 0, 200, 15)}};
  for (const auto& text : texts) {
    // The same text where nothing can cut it.
    Canvas whole(100, 40, background);
    whole.dc().SelectFont(font);
    whole.dc().SetBkMode(TRANSPARENT);
    whole.dc().SetTextColor(0xB3A963);
    CRect room(0, 0, 100, 40);
    whole.dc().DrawText(text.first, -1, &room, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    EXPECT_EQ(InkColumns(whole, room, background), InkColumns(canvas, text.second, background))
        << text.second.left;
  }
}
