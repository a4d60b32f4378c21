// The main frame's tab strip on a real tab control: the gap at the right end of each tab
// swallows clicks, the hot tab follows the pointer until it leaves, and the painting (read back
// from a DIB through WM_PAINT with a DC).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "controls/sub_tab.h"
#include "support/canvas.h"
#include "winlayer/geometry.h"

using testsupport::Canvas;

namespace {

constexpr COLORREF kBackground = 0x322B32;
constexpr COLORREF kHot = 0x646464;

class SubTabTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&init);
    ASSERT_TRUE(host.Create(L"STATIC", nullptr, CRect(0, 0, 400, 80), L"", WS_POPUP));
    ASSERT_TRUE(strip.Create(host, CRect(0, 0, 350, 40), nullptr, WS_CHILD | WS_VISIBLE));
  }
  void TearDown() override { host.DestroyWindow(); }

  // As the main frame has it: two tabs with a 10 px gap.
  void AddTabs() {
    ASSERT_EQ(0, strip.InsertItem(0, L"最新流行专辑"));
    ASSERT_EQ(1, strip.InsertItem(1, L"编辑歌词"));
    strip.SetTabSpacing(10);
    ASSERT_TRUE(strip.GetItemRect(0, &first));
    ASSERT_TRUE(strip.GetItemRect(1, &second));
  }
  void Mouse(UINT message, int x, int y) { strip.SendMessage(message, 0, MAKELPARAM(x, y)); }
  void Paint() { strip.SendMessage(WM_PAINT, reinterpret_cast<WPARAM>(canvas.hdc())); }

  CWindow host;
  CSubTab strip;
  CRect first, second;
  Canvas canvas{350, 40};
};

}  // namespace

TEST_F(SubTabTest, AClickInTheGapAtTheRightEndOfATabSelectsNothing) {
  AddTabs();
  int y = second.CenterPoint().y - 2;  // the gap sits 2 px higher than the tab
  Mouse(WM_LBUTTONDOWN, second.right - 5, y);
  EXPECT_EQ(0, strip.GetCurSel());
  Mouse(WM_LBUTTONDOWN, second.right - 11, y);
  EXPECT_EQ(1, strip.GetCurSel());
}

TEST_F(SubTabTest, TheHotTabStaysHighlightedOverEmptySpaceUntilThePointerLeaves) {
  AddTabs();
  strip.SetCurSel(1);  // only tabs that are not selected show the highlight
  Mouse(WM_MOUSEMOVE, first.CenterPoint().x, first.CenterPoint().y);
  Paint();
  int highlighted = canvas.Count(kHot, first);
  EXPECT_GT(highlighted, first.Width() * first.Height() / 3);

  Mouse(WM_MOUSEMOVE, second.right + 30, first.top + 4);  // right of every tab
  Paint();
  EXPECT_EQ(highlighted, canvas.Count(kHot, first));

  strip.SendMessage(WM_MOUSELEAVE);
  EXPECT_EQ(-1, strip.m_nHotItem);
  Paint();
  EXPECT_EQ(0, canvas.Count(kHot));

  Mouse(WM_MOUSEMOVE, second.CenterPoint().x, second.CenterPoint().y);
  EXPECT_EQ(1, strip.m_nHotItem);  // hot, but a selected tab is never highlighted
  Paint();
  EXPECT_EQ(0, canvas.Count(kHot));
}

TEST_F(SubTabTest, TheSelectedTabHasItsAccentBarAndColourTheOthersAreGrey) {
  AddTabs();
  Paint();
  // The bar: 4 px wide around the selected tab's left edge, 22 px up from 1 px below it.
  EXPECT_EQ(0x0C5EE9u, canvas.at(first.left - 2, first.bottom));
  EXPECT_EQ(0x0C5EE9u, canvas.at(first.left + 1, first.bottom - 20));
  EXPECT_EQ(kBackground, canvas.at(first.left + 2, first.bottom - 10));
  EXPECT_GT(canvas.Count(0x4369C9, first), 10);
  EXPECT_EQ(0, canvas.Count(0x888888, first));
  EXPECT_GT(canvas.Count(0x888888, second), 10);
  EXPECT_EQ(0, canvas.Count(0x0C5EE9, second));
}

TEST_F(SubTabTest, AStripWithoutTabsPaintsOnlyItsBackground) {
  canvas.Fill(RGB(255, 255, 255));
  Paint();
  EXPECT_EQ(350 * 40, canvas.Count(kBackground));
}
