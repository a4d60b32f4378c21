// The window handle wrapper where it does more than forward: style changes, texts of any length
// (its own and a child's), centring.
#include <gtest/gtest.h>

#include "support/gtest_cstring.h"
#include "winlayer/window.h"

namespace {

TEST(Window, StyleTextAndCentring) {
  CWindow top;
  RECT rect = {100, 100, 500, 400};
  ASSERT_NE(nullptr, top.Create(L"STATIC", nullptr, rect, L"top", WS_OVERLAPPEDWINDOW));

  EXPECT_FALSE(top.ModifyStyle(0, WS_CAPTION));  // already there: nothing changed
  EXPECT_TRUE(top.ModifyStyle(WS_THICKFRAME, WS_CLIPCHILDREN, SWP_FRAMECHANGED));
  EXPECT_EQ(static_cast<DWORD>(WS_CLIPCHILDREN),
            top.GetStyle() & (WS_THICKFRAME | WS_CLIPCHILDREN));

  CString longText(L'\x6b4c', 3000);  // beyond any fixed buffer
  ASSERT_TRUE(top.SetWindowText(longText));
  CString text;
  EXPECT_EQ(3000, top.GetWindowText(text));
  EXPECT_EQ(longText, text);

  CWindow child;
  RECT childRect = {0, 0, 100, 50};
  ASSERT_NE(nullptr, child.Create(L"STATIC", top, childRect, nullptr, WS_CHILD, 0, 7));
  child.SetWindowText(longText);
  text = L"old";
  EXPECT_EQ(3000, top.GetDlgItemText(7, text));
  EXPECT_EQ(longText, text);
  EXPECT_EQ(0, top.GetDlgItemText(8, text));  // no such child
  EXPECT_TRUE(text.IsEmpty());
  ASSERT_TRUE(child.CenterWindow());
  RECT client, placed;
  top.GetClientRect(&client);
  child.GetWindowRect(&placed);
  top.ScreenToClient(&placed);
  EXPECT_EQ((client.right - 100) / 2, placed.left);
  EXPECT_EQ((client.bottom - 50) / 2, placed.top);

  // Far off screen and without an owner: centred on the work area of the nearest monitor.
  top.MoveWindow(-5000, -5000, 200, 100);
  ASSERT_TRUE(top.CenterWindow());
  RECT work;
  top.GetWindowRect(&placed);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ((work.left + work.right - 200) / 2, placed.left);
  EXPECT_EQ((work.top + work.bottom - 100) / 2, placed.top);

  EXPECT_TRUE(top.DestroyWindow());
  EXPECT_EQ(nullptr, top.m_hWnd);
}

}  // namespace
