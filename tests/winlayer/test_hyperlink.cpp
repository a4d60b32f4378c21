// The hyperlink: a static that becomes clickable, takes its label and address from its text,
// draws itself underlined in the link colour, shows the hand and opens only on a click that
// starts and ends on the label.
#include <gtest/gtest.h>

#include <windows.h>

#include "support/canvas.h"
#include "support/gtest_cstring.h"
#include "winlayer/geometry.h"
#include "winlayer/hyperlink.h"

namespace {

// A link that counts its navigations instead of starting a browser.
class TestLink : public CHyperLinkImpl<TestLink> {
 public:
  int navigations = 0;
  bool Navigate() {
    ++navigations;
    return true;
  }
};

class HyperLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(nullptr, parent.Create(L"STATIC", nullptr, CRect(100, 100, 500, 300), L"",
                                     WS_OVERLAPPEDWINDOW));
    ASSERT_NE(nullptr, label.Create(L"STATIC", parent, CRect(10, 10, 310, 40),
                                    L"http://127.0.0.1/update", WS_CHILD | WS_VISIBLE));
    font.CreateFont(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"宋体");
    label.SetFont(font);
  }
  void TearDown() override { parent.DestroyWindow(); }

  void Click(POINT down, POINT up) {
    link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
    link.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
  }
  // How many pixels of a colour the link paints.
  int CountPainted(COLORREF colour) {
    CRect client;
    link.GetClientRect(&client);
    testsupport::Canvas canvas(client.Width(), client.Height());
    link.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.hdc()), PRF_CLIENT);
    return canvas.Count(colour);
  }

  CWindow parent;
  CWindow label;
  CFont font;
  TestLink link;
};

}  // namespace

TEST_F(HyperLinkTest, SubclassingMakesTheStaticAClickableUnderlinedLink) {
  ASSERT_EQ(0u, label.GetStyle() & SS_NOTIFY);
  ASSERT_TRUE(link.SubclassWindow(label));
  EXPECT_NE(0u, link.GetStyle() & SS_NOTIFY);  // or the static would never see the mouse
  EXPECT_STREQ(L"http://127.0.0.1/update", link.GetLabel());
  EXPECT_STREQ(L"http://127.0.0.1/update", link.GetHyperLink());

  LOGFONTW logFont = {};
  ASSERT_TRUE(CFontHandle(link.GetLinkFont()).GetLogFont(logFont));
  EXPECT_TRUE(logFont.lfUnderline);
  EXPECT_EQ(-13, logFont.lfHeight);  // the static's font, underlined

  // The address stays when the label changes; the label becomes the window text.
  link.SetLabel(L"下载新版本");
  CString text;
  link.GetWindowText(text);
  EXPECT_EQ(L"下载新版本", text);
  EXPECT_STREQ(L"http://127.0.0.1/update", link.GetHyperLink());

  EXPECT_GT(CountPainted(link.m_clrLink), 0);
  link.m_bVisited = true;
  EXPECT_EQ(0, CountPainted(link.m_clrLink));
  EXPECT_GT(CountPainted(link.m_clrVisited), 0);
}

TEST_F(HyperLinkTest, OnlyAClickOnTheLabelNavigates) {
  ASSERT_TRUE(link.SubclassWindow(label));
  link.SetLabel(L"下载");
  CRect text = link.GetLabelRect();
  ASSERT_FALSE(text.IsRectEmpty());
  CRect client;
  link.GetClientRect(&client);
  EXPECT_LT(text.right, client.right);  // a short label does not fill the static

  Click(text.CenterPoint(), text.CenterPoint());
  EXPECT_EQ(1, link.navigations);
  EXPECT_EQ(nullptr, ::GetCapture());
  Click(CPoint(text.right + 20, 5), CPoint(text.right + 20, 5));  // beside the label
  Click(text.CenterPoint(), CPoint(text.right + 20, 5));          // dragged off
  EXPECT_EQ(1, link.navigations);

  // The hand shows over the label only.
  CPoint over = text.CenterPoint();
  link.ClientToScreen(&over);
  ::SetCursorPos(over.x, over.y);
  EXPECT_TRUE(link.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(link.m_hWnd),
                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(::LoadCursorW(nullptr, IDC_HAND), ::GetCursor());
}

TEST(HyperLink, ACreatedLinkIsClickableAndAnEmptyAddressOpensNothing) {
  CWindow parent;
  ASSERT_NE(nullptr,
            parent.Create(L"STATIC", nullptr, CRect(0, 0, 200, 100), L"", WS_OVERLAPPEDWINDOW));
  CHyperLink link;
  ASSERT_NE(nullptr, link.Create(parent, CRect(0, 0, 100, 20), L"", WS_CHILD | WS_VISIBLE));
  EXPECT_NE(0u, link.GetStyle() & SS_NOTIFY);
  EXPECT_FALSE(link.Navigate());  // no address: no shell call, and it says so
  EXPECT_FALSE(link.m_bVisited);
  parent.DestroyWindow();
}
