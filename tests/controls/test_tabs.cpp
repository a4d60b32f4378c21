// The tab strips on real tab controls: the gap at the right end of each tab swallows clicks,
// the hot tab of the main frame's strip follows the pointer until it leaves, and the painting
// (read back from a DIB through WM_PAINT with a DC).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "controls/info_tab_ctrl.h"
#include "controls/sub_tab.h"
#include "support/canvas.h"
#include "winlayer/geometry.h"

using testsupport::Canvas;

namespace {

constexpr COLORREF kBackground = 0x322B32;
constexpr COLORREF kAccent = 0x0C5EE9;
constexpr COLORREF kHot = 0x646464;
constexpr COLORREF kSelectedText = 0x4369C9;
constexpr COLORREF kText = 0x888888;

// The strip's parent; it records the selection notifications.
class Host : public CWindowImpl<Host, CWindow, CWinTraits<WS_POPUP | WS_CLIPCHILDREN>> {
 public:
  std::vector<UINT> notifications;

  BEGIN_MSG_MAP(Host)
  MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
  END_MSG_MAP()

  LRESULT OnNotify(UINT, WPARAM, LPARAM lParam, BOOL&) {
    UINT code = reinterpret_cast<NMHDR*>(lParam)->code;
    if (code == TCN_SELCHANGING || code == TCN_SELCHANGE) notifications.push_back(code);
    return 0;
  }
};

class TabStripTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&init);
  }
  void SetUp() override { ASSERT_TRUE(host.Create(nullptr, CRect(0, 0, 400, 80))); }
  void TearDown() override { host.DestroyWindow(); }

  // The main frame's strip: two tabs with a 10 px gap.
  void MakeStrip(CSubTab& strip, bool withTabs = true) {
    ASSERT_TRUE(strip.Create(host, CRect(0, 0, 350, 40), nullptr, WS_CHILD | WS_VISIBLE));
    if (!withTabs) return;
    ASSERT_EQ(0, strip.InsertItem(0, L"最新流行专辑"));
    ASSERT_EQ(1, strip.InsertItem(1, L"编辑歌词"));
    strip.SetTabSpacing(10);
  }
  static LRESULT Mouse(HWND window, UINT message, POINT point) {
    return ::SendMessageW(window, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                          MAKELPARAM(point.x, point.y));
  }
  static CRect TabRect(const CTabCtrl& strip, int index) {
    CRect rect;
    EXPECT_TRUE(strip.GetItemRect(index, &rect));
    return rect;
  }
  static void PaintInto(HWND strip, Canvas& canvas) {
    ::SendMessageW(strip, WM_PAINT, reinterpret_cast<WPARAM>(canvas.hdc()), 0);
  }

  Host host;
};

}  // namespace

TEST_F(TabStripTest, AClickInTheGapAtTheRightEndOfATabSelectsNothing) {
  CSubTab strip;
  MakeStrip(strip);
  ASSERT_EQ(0, strip.GetCurSel());
  CRect second = TabRect(strip, 1);
  int middle = (second.top + second.bottom) / 2 - 2;  // the gap sits 2 px higher than the tab

  Mouse(strip, WM_LBUTTONDOWN, CPoint(second.right - 5, middle));
  Mouse(strip, WM_LBUTTONUP, CPoint(second.right - 5, middle));
  EXPECT_EQ(0, strip.GetCurSel());
  EXPECT_TRUE(host.notifications.empty());

  Mouse(strip, WM_LBUTTONDOWN, CPoint(second.right - 11, middle));
  Mouse(strip, WM_LBUTTONUP, CPoint(second.right - 11, middle));
  EXPECT_EQ(1, strip.GetCurSel());
  EXPECT_EQ(
      (std::vector<UINT>{static_cast<UINT>(TCN_SELCHANGING), static_cast<UINT>(TCN_SELCHANGE)}),
      host.notifications);
}

TEST_F(TabStripTest, TheGapRuleAlsoHoldsOverASubclassedTabControl) {
  CTabCtrl plain;
  ASSERT_TRUE(plain.Create(host, CRect(0, 0, 350, 40), nullptr, WS_CHILD | WS_VISIBLE));
  plain.InsertItem(0, L"one");
  plain.InsertItem(1, L"two");
  CInfoTabCtrl strip(12);
  ASSERT_TRUE(strip.SubclassWindow(plain));
  strip.SetTabSpacing(10);
  CRect second = TabRect(strip, 1);
  Mouse(strip, WM_LBUTTONDOWN, CPoint(second.right - 1, second.top));
  EXPECT_EQ(0, strip.GetCurSel());
  Mouse(strip, WM_LBUTTONDOWN, CPoint(second.left + 2, second.top + 2));
  EXPECT_EQ(1, strip.GetCurSel());
}

TEST_F(TabStripTest, TheHotTabStaysHighlightedOverEmptySpaceUntilThePointerLeaves) {
  CSubTab strip;
  MakeStrip(strip);
  strip.SetCurSel(1);  // only tabs that are not selected show the highlight
  CRect first = TabRect(strip, 0);
  CRect second = TabRect(strip, 1);
  Canvas canvas(350, 40);

  Mouse(strip, WM_MOUSEMOVE, first.CenterPoint());
  EXPECT_EQ(0, strip.m_nHotItem);
  PaintInto(strip, canvas);
  int highlighted = canvas.Count(kHot, first);
  EXPECT_GT(highlighted, first.Width() * first.Height() / 3);

  Mouse(strip, WM_MOUSEMOVE, CPoint(second.right + 30, first.top + 4));  // right of every tab
  EXPECT_EQ(0, strip.m_nHotItem);
  PaintInto(strip, canvas);
  EXPECT_EQ(highlighted, canvas.Count(kHot, first));

  ::SendMessageW(strip, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(-1, strip.m_nHotItem);
  EXPECT_FALSE(strip.m_bTracking);
  PaintInto(strip, canvas);
  EXPECT_EQ(0, canvas.Count(kHot));

  // Over the selected tab it becomes hot, but a selected tab is never highlighted.
  Mouse(strip, WM_MOUSEMOVE, second.CenterPoint());
  EXPECT_EQ(1, strip.m_nHotItem);
  PaintInto(strip, canvas);
  EXPECT_EQ(0, canvas.Count(kHot));
}

TEST_F(TabStripTest, PaintsTheSelectedTabWithItsAccentBarAndTheOthersGrey) {
  CSubTab strip;
  MakeStrip(strip);
  CRect first = TabRect(strip, 0);
  CRect second = TabRect(strip, 1);
  Canvas canvas(350, 40);
  PaintInto(strip, canvas);

  // The bar: 4 px wide around the selected tab's left edge, 22 px up from 1 px below it.
  EXPECT_EQ(kAccent, canvas.at(first.left - 2, first.bottom));
  EXPECT_EQ(kAccent, canvas.at(first.left + 1, first.bottom - 20));
  EXPECT_EQ(kBackground, canvas.at(first.left + 2, first.bottom - 10));
  EXPECT_EQ(0, canvas.Count(kAccent, second));

  EXPECT_GT(canvas.Count(kSelectedText, first), 10);
  EXPECT_EQ(0, canvas.Count(kText, first));
  EXPECT_GT(canvas.Count(kText, second), 10);
  EXPECT_EQ(0, canvas.Count(kSelectedText, second));
  // The right-hand corner of the client area lies beyond every tab.
  EXPECT_EQ(kBackground, canvas.at(349, 39));
}

TEST_F(TabStripTest, AStripWithoutTabsPaintsOnlyItsBackground) {
  CSubTab strip;
  MakeStrip(strip, false);
  Canvas canvas(350, 40);
  PaintInto(strip, canvas);
  EXPECT_EQ(350 * 40, canvas.Count(kBackground));
}

namespace {

// The base painting ends in the hook of derived strips.
class CountingStrip : public CInfoTabCtrl {
 public:
  CountingStrip() : CInfoTabCtrl(12) {}
  void DrawExtra(CDCHandle) override { ++extras; }
  int extras = 0;
};

}  // namespace

TEST_F(TabStripTest, TheBasePaintingEndsInDrawExtra) {
  CountingStrip strip;
  ASSERT_TRUE(strip.Create(host, CRect(0, 0, 200, 30), nullptr, WS_CHILD | WS_VISIBLE));
  strip.InsertItem(0, L"one");
  Canvas canvas(200, 30);
  PaintInto(strip, canvas);
  EXPECT_EQ(1, strip.extras);
  EXPECT_EQ(1, ::SendMessageW(strip, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.hdc()), 0));
}
