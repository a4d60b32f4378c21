// The bitmap button: which image each state shows, clicks that reach the parent without moving
// the keyboard focus, the background behind transparent pixels, and its tooltip.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "support/canvas.h"
#include "winlayer/bitmap_button.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/geometry.h"
#include "winlayer/image.h"

namespace {

constexpr COLORREF kMask = RGB(1, 0, 0);
constexpr COLORREF kNormal = RGB(255, 0, 0);
constexpr COLORREF kPushed = RGB(0, 255, 0);
constexpr COLORREF kHover = RGB(0, 0, 255);
constexpr COLORREF kDisabled = RGB(128, 128, 128);
constexpr COLORREF kBackground = RGB(0x29, 0x22, 0x29);  // the shell's 0x292229
constexpr COLORREF kParentBrush = RGB(10, 200, 30);
constexpr int kButtonId = 1011;

// Records the buttons' clicks and gives buttons without a colour of their own a brush.
class Parent : public CWindowImpl<Parent, CWindow, CWinTraits<WS_OVERLAPPEDWINDOW>> {
 public:
  int clicks = 0;
  CBrush brush;

  BEGIN_MSG_MAP(Parent)
  COMMAND_HANDLER(kButtonId, BN_CLICKED, OnClicked)
  MESSAGE_HANDLER(WM_CTLCOLORBTN, OnCtlColor)
  END_MSG_MAP()

  LRESULT OnClicked(WORD, WORD, HWND, BOOL&) {
    ++clicks;
    return 0;
  }
  LRESULT OnCtlColor(UINT, WPARAM, LPARAM, BOOL&) {
    if (brush.IsNull()) brush.CreateSolidBrush(kParentBrush);
    return reinterpret_cast<LRESULT>(static_cast<HBRUSH>(brush));
  }
};

// Four 8 x 8 images (normal, pushed, hover, disabled), each with a transparent top-left pixel.
HIMAGELIST MakeImages() {
  CImage strip;
  strip.Create(32, 8, 24);
  CDCHandle dc(strip.GetDC());
  const COLORREF colours[] = {kNormal, kPushed, kHover, kDisabled};
  for (int i = 0; i < 4; ++i) {
    dc.FillSolidRect(i * 8, 0, 8, 8, colours[i]);
    dc.SetPixel(i * 8, 0, kMask);
  }
  strip.ReleaseDC();
  CImageList list;
  list.Create(8, 8, ILC_COLOR24 | ILC_MASK, 4, 0);
  list.Add(static_cast<HBITMAP>(strip), kMask);
  return list;
}

class BitmapButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(nullptr, parent.Create(nullptr, CRect(0, 0, 300, 200)));
    edit.Create(L"Edit", parent, CRect(0, 100, 200, 120), L"song url", WS_CHILD | WS_VISIBLE);
    button.SetImageList(MakeImages());
    button.SetImages(0, 1, 2, 3);
    button.SetBkColor(kBackground);
    ASSERT_NE(nullptr, button.Create(parent, CRect(10, 10, 50, 50), nullptr, WS_CHILD | WS_VISIBLE,
                                     0, kButtonId));
  }
  void TearDown() override { parent.DestroyWindow(); }

  // What the button paints at a point (middle by default).
  COLORREF Shown(int x = 4, int y = 4) {
    testsupport::Canvas canvas(8, 8);
    button.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.hdc()), PRF_CLIENT);
    return canvas.at(x, y);
  }
  void Mouse(UINT message, int x, int y) { button.SendMessage(message, 0, MAKELPARAM(x, y)); }

  Parent parent;
  CWindow edit;
  CBitmapButton button{BMPBTN_HOVER | BMPBTN_AUTOSIZE};
};

}  // namespace

TEST_F(BitmapButtonTest, ShowsTheImageOfEachState) {
  CRect client;
  button.GetClientRect(&client);
  EXPECT_EQ(CSize(8, 8), client.Size());  // sized to its images
  EXPECT_NE(0u, button.GetStyle() & BS_OWNERDRAW);

  EXPECT_EQ(kNormal, Shown());
  EXPECT_EQ(kBackground, Shown(0, 0));  // the transparent pixel shows the background colour
  Mouse(WM_MOUSEMOVE, 4, 4);
  EXPECT_EQ(kHover, Shown());
  button.SendMessage(WM_MOUSELEAVE);
  EXPECT_EQ(kNormal, Shown());

  Mouse(WM_LBUTTONDOWN, 4, 4);
  EXPECT_EQ(kPushed, Shown());
  Mouse(WM_MOUSEMOVE, 20, 20);  // dragged off: neither pushed nor hovered
  EXPECT_EQ(kNormal, Shown());
  Mouse(WM_MOUSEMOVE, 3, 3);
  EXPECT_EQ(kPushed, Shown());
  Mouse(WM_LBUTTONUP, 3, 3);
  EXPECT_EQ(kHover, Shown());  // released over it: hovered again

  button.EnableWindow(FALSE);
  EXPECT_EQ(kDisabled, Shown());
  button.EnableWindow(TRUE);

  // Without a pushed image the normal one shows while pressed.
  button.SetImages(0);
  Mouse(WM_LBUTTONDOWN, 4, 4);
  EXPECT_EQ(kNormal, Shown());
  Mouse(WM_LBUTTONUP, 4, 4);

  // Without a colour of its own the button asks its parent.
  button.SetBkColor(CLR_NONE);
  EXPECT_EQ(kParentBrush, Shown(0, 0));
}

TEST_F(BitmapButtonTest, ClicksReachTheParentAndLeaveTheFocusAlone) {
  ::SetFocus(edit);
  ASSERT_EQ(static_cast<HWND>(edit), ::GetFocus());

  Mouse(WM_LBUTTONDOWN, 4, 4);
  EXPECT_EQ(static_cast<HWND>(button), ::GetCapture());
  Mouse(WM_LBUTTONUP, 4, 4);
  EXPECT_EQ(1, parent.clicks);
  EXPECT_EQ(nullptr, ::GetCapture());
  EXPECT_EQ(static_cast<HWND>(edit), ::GetFocus());

  // Released elsewhere: no click.
  Mouse(WM_LBUTTONDOWN, 4, 4);
  Mouse(WM_LBUTTONUP, 30, 30);
  EXPECT_EQ(1, parent.clicks);

  // A press that loses the capture (a message box, another window) ends without a click.
  Mouse(WM_LBUTTONDOWN, 4, 4);
  ::SetCapture(edit);
  EXPECT_EQ(kNormal, Shown());
  ::ReleaseCapture();
  Mouse(WM_LBUTTONUP, 4, 4);
  EXPECT_EQ(1, parent.clicks);

  // A double click counts as a press; the program's own click message works too.
  Mouse(WM_LBUTTONDBLCLK, 4, 4);
  Mouse(WM_LBUTTONUP, 4, 4);
  button.Click();
  EXPECT_EQ(3, parent.clicks);
  EXPECT_EQ(static_cast<HWND>(edit), ::GetFocus());
}

TEST_F(BitmapButtonTest, ToolTipFollowsItsText) {
  auto findTip = [this]() -> HWND {
    HWND tip = nullptr;
    while ((tip = ::FindWindowExW(nullptr, tip, L"tooltips_class32", nullptr)) != nullptr) {
      // A popup's owner is the top-level window of the window it was created for.
      if (::GetWindow(tip, GW_OWNER) == parent) return tip;
    }
    return nullptr;
  };
  EXPECT_EQ(nullptr, findTip());

  ASSERT_TRUE(button.SetToolTipText(L"加载"));
  ASSERT_TRUE(button.SetToolTipText(L"加载歌曲"));  // the same tool, its text changed
  HWND tip = findTip();
  ASSERT_NE(nullptr, tip);
  EXPECT_EQ(1, ::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
  wchar_t text[32] = {};
  CToolInfo info(TTF_IDISHWND, button, reinterpret_cast<UINT_PTR>(static_cast<HWND>(button)),
                 nullptr, text);
  ::SendMessageW(tip, TTM_GETTEXTW, 32, reinterpret_cast<LPARAM>(static_cast<TTTOOLINFOW*>(&info)));
  EXPECT_STREQ(L"加载歌曲", text);
  wchar_t copy[3];
  EXPECT_FALSE(button.GetToolTipText(copy, 3));  // too small: cut, and says so
  EXPECT_EQ(4, button.GetToolTipTextLength());

  button.SetToolTipText(nullptr);
  EXPECT_EQ(nullptr, findTip());

  // The tip belongs to the top-level window, so the button takes it along when it goes, and so
  // does a button object that goes before its window.
  button.SetToolTipText(L"关闭");
  ASSERT_NE(nullptr, findTip());
  button.DestroyWindow();
  EXPECT_EQ(nullptr, findTip());
  HWND kept;
  {
    CBitmapButton early;
    kept = early.Create(parent, CRect(60, 10, 70, 20), nullptr, WS_CHILD);
    early.SetToolTipText(L"关闭");
    ASSERT_NE(nullptr, findTip());
  }
  EXPECT_TRUE(::IsWindow(kept));
  EXPECT_EQ(nullptr, findTip());
}

TEST(BitmapButton, SharedImageListOutlivesTheButtonAndSubclassingMakesItOwnerDrawn) {
  Parent parent;
  ASSERT_NE(nullptr, parent.Create(nullptr, CRect(0, 0, 100, 100)));
  HWND plain =
      ::CreateWindowExW(0, L"Button", L"x", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 30, 30,
                        parent, reinterpret_cast<HMENU>(kButtonId), nullptr, nullptr);
  HIMAGELIST images = MakeImages();
  {
    CBitmapButton button(BMPBTN_SHAREIMAGELISTS, images);
    ASSERT_TRUE(button.SubclassWindow(plain));
    EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), button.GetStyle() & BS_TYPEMASK);
    CRect client;
    button.GetClientRect(&client);
    EXPECT_EQ(30, client.Width());  // not asked to size itself
    button.SizeToImage();
    button.GetClientRect(&client);
    EXPECT_EQ(8, client.Width());
    button.UnsubclassWindow();
  }
  EXPECT_EQ(4, ::ImageList_GetImageCount(images));
  ::ImageList_Destroy(images);
  parent.DestroyWindow();
}
