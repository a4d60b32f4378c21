// The window handle wrapper: style changes, text of any length, rectangles between client and
// screen coordinates, and centring.
#include <gtest/gtest.h>

#include "support/gtest_cstring.h"
#include "winlayer/window.h"

namespace {

// A real top-level window of the system's static class, destroyed at the end of each test.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RECT rect = {100, 100, 500, 400};
    ASSERT_NE(nullptr, top.Create(L"STATIC", nullptr, rect, L"top", WS_OVERLAPPEDWINDOW));
  }
  void TearDown() override {
    if (top.IsWindow()) top.DestroyWindow();
  }
  CWindow top;
};

TEST_F(WindowTest, ModifyStyleReportsWhetherAnythingChanged) {
  EXPECT_FALSE(top.ModifyStyle(0, WS_CAPTION));  // already there
  EXPECT_TRUE(top.ModifyStyle(WS_THICKFRAME, WS_CLIPCHILDREN, SWP_FRAMECHANGED));
  EXPECT_EQ(0u, top.GetStyle() & WS_THICKFRAME);
  EXPECT_NE(0u, top.GetStyle() & WS_CLIPCHILDREN);
  EXPECT_TRUE(top.ModifyStyleEx(0, WS_EX_TOOLWINDOW));
  EXPECT_NE(0u, top.GetExStyle() & WS_EX_TOOLWINDOW);
}

TEST_F(WindowTest, TextOfAnyLengthComesBackWhole) {
  CString longText(L'\x6b4c', 3000);  // far beyond any fixed buffer
  longText += L"end";
  ASSERT_TRUE(top.SetWindowText(longText));
  CString text;
  EXPECT_EQ(longText.GetLength(), top.GetWindowText(text));
  EXPECT_EQ(longText, text);

  top.SetWindowText(L"");
  EXPECT_EQ(0, top.GetWindowText(text));
  EXPECT_TRUE(text.IsEmpty());
}

TEST_F(WindowTest, RectanglesMapBetweenClientAndScreen) {
  RECT client;
  top.GetClientRect(&client);
  RECT onScreen = client;
  ASSERT_TRUE(top.ClientToScreen(&onScreen));
  POINT origin = {0, 0};
  top.ClientToScreen(&origin);
  EXPECT_EQ(origin.x, onScreen.left);
  EXPECT_EQ(origin.y + client.bottom, onScreen.bottom);
  ASSERT_TRUE(top.ScreenToClient(&onScreen));
  EXPECT_TRUE(EqualRect(&client, &onScreen));
}

TEST_F(WindowTest, ChildIsCentredInItsParent) {
  CWindow child;
  RECT rect = {0, 0, 100, 50};
  ASSERT_NE(nullptr, child.Create(L"STATIC", top, rect, nullptr, WS_CHILD | WS_VISIBLE, 0, 7));
  EXPECT_EQ(7, child.GetDlgCtrlID());
  EXPECT_EQ(top.m_hWnd, child.GetParent().m_hWnd);
  ASSERT_TRUE(child.CenterWindow());

  RECT client, placed;
  top.GetClientRect(&client);
  child.GetWindowRect(&placed);
  top.ScreenToClient(&placed);
  EXPECT_EQ((client.right - 100) / 2, placed.left);
  EXPECT_EQ((client.bottom - 50) / 2, placed.top);
}

TEST_F(WindowTest, TopLevelWindowStaysOnTheWorkArea) {
  // Far off screen: centring over nothing centres on the work area of the nearest monitor.
  top.MoveWindow(-5000, -5000, 200, 100);
  ASSERT_TRUE(top.CenterWindow());
  RECT placed, work;
  top.GetWindowRect(&placed);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_GE(placed.left, work.left);
  EXPECT_GE(placed.top, work.top);
  EXPECT_LE(placed.right, work.right);
  EXPECT_EQ((work.left + work.right - 200) / 2, placed.left);
}

TEST(Window, DetachLeavesTheWindowAlive) {
  CWindow w;
  ASSERT_NE(nullptr, w.Create(L"STATIC", nullptr, nullptr, L"x", WS_POPUP));
  HWND hWnd = w.Detach();
  EXPECT_EQ(nullptr, w.m_hWnd);
  EXPECT_TRUE(IsWindow(hWnd));
  CWindow again;
  again.Attach(hWnd);
  EXPECT_TRUE(again.DestroyWindow());
  EXPECT_EQ(nullptr, again.m_hWnd);
  EXPECT_FALSE(IsWindow(hWnd));
}

}  // namespace
