// The skinned scroll-bar windows: the bar's geometry (headless), the bar's messages to its
// parent, and whole windows (an edit, a window of our own) wrapped, scrolled through the
// skinned bars, unwrapped and destroyed. (The showcase wraps a list view.)
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "controls/skin_scroll_wnd.h"
#include "resources/skin_controls.h"
#include "support/message_pump.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/gdi_objects.h"
#include "winlayer/geometry.h"

namespace {

using skin_scroll_bar::Layout;
using skin_scroll_bar::LayoutBar;
using testsupport::PumpMessages;
using testsupport::PumpMessagesUntil;

SCROLLINFO Info(int nMin, int nMax, UINT page, int pos = 0) {
  SCROLLINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  info.nMin = nMin;
  info.nMax = nMax;
  info.nPage = page;
  info.nPos = pos;
  return info;
}

struct Scroll {
  WORD code, pos;
  LPARAM from;
};

// A plain window that records the vertical scroll messages it gets.
std::vector<Scroll> g_scrolls;
LRESULT CALLBACK RecordingProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg != WM_VSCROLL) return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
  g_scrolls.push_back({LOWORD(wParam), HIWORD(wParam), lParam});
  return 0;
}

HWND CreateRecording(HWND parent, DWORD style, const RECT& rect) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = RecordingProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"SkinScrollWindowRecording";
  ::RegisterClassW(&wc);  // refused, harmlessly, once the class exists
  return ::CreateWindowExW(0, wc.lpszClassName, L"", style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, nullptr,
                           nullptr);
}

// The hidden test windows are never painted: erase one as its paint would.
void Erase(HWND hWnd) {
  CClientDC dc(hWnd);
  ::SendMessageW(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
}

CRect RectIn(HWND hWnd, HWND parent) {
  CRect rect;
  ::GetWindowRect(hWnd, &rect);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

class SkinScrollWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    skin.Attach(static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                  MAKEINTRESOURCEW(IDB_SCROLL_WINDOW_SKIN),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    ASSERT_FALSE(skin.IsNull());
    host = CreateRecording(nullptr, WS_POPUP | WS_CLIPCHILDREN, CRect(0, 0, 400, 300));
    ASSERT_TRUE(host);
    g_scrolls.clear();
  }
  void TearDown() override { ::DestroyWindow(host); }

  // A press and release on the bar at a coordinate along it.
  static void Click(CSkinScrollBar& bar, int along) {
    const LPARAM at = bar.IsVertical() ? MAKELPARAM(5, along) : MAKELPARAM(along, 5);
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    bar.SendMessage(WM_LBUTTONUP, 0, at);
  }

  CBitmap skin;
  HWND host = nullptr;
};

}  // namespace

TEST(SkinScrollBarGeometry, ArrowsTrackThumbPartsAndDraggedPositions) {
  struct Case {
    const char* what;
    int length;
    SCROLLINFO info;
    int position;
    Layout expected;  // length, arrow, track, thumb, thumb start
  } cases[] = {
      {"at the top", 100, Info(0, 99, 20), 0, {100, 16, 68, 13, 16}},
      {"at the end", 100, Info(0, 99, 20), 80, {100, 16, 68, 13, 71}},
      {"beyond the end", 100, Info(0, 99, 20), 500, {100, 16, 68, 13, 71}},
      {"a range from 100", 100, Info(100, 199, 20), 180, {100, 16, 68, 13, 71}},
      {"a thumb of 6 at least", 100, Info(0, 999, 1), 0, {100, 16, 68, 6, 16}},
      {"a page over the whole range", 100, Info(0, 9, 10), 0, {100, 16, 68, 68, 16}},
      {"no room for a thumb", 37, Info(0, 99, 20), 0, {37, 16, 5, 0, 16}},
      {"shorter than two cells", 20, Info(0, 99, 20), 0, {20, 10, 0, 0, 10}},
      {"no overflow", 1000, Info(0, 1 << 30, 1 << 29), (1 << 29) + 1, {1000, 16, 968, 483, 501}},
  };
  for (const Case& c : cases) {
    const Layout layout = LayoutBar(c.length, 16, c.info, c.position);
    EXPECT_EQ(c.expected.arrow, layout.arrow) << c.what;
    EXPECT_EQ(c.expected.track, layout.track) << c.what;
    EXPECT_EQ(c.expected.thumb, layout.thumb) << c.what;
    EXPECT_EQ(c.expected.thumbStart, layout.thumbStart) << c.what;
  }

  const SCROLLINFO info = Info(0, 99, 20, 40);
  const Layout layout = LayoutBar(100, 16, info, 40);  // thumb 43..56, 55 px of travel
  const std::pair<int, int> hits[] = {{-1, -1},          {15, SB_LINEUP},     {16, SB_PAGEUP},
                                      {42, SB_PAGEUP},   {43, SB_THUMBTRACK}, {55, SB_THUMBTRACK},
                                      {56, SB_PAGEDOWN}, {84, SB_LINEDOWN}};
  for (auto [along, part] : hits) EXPECT_EQ(part, layout.HitTest(along)) << along;
  const std::pair<int, int> drags[] = {{11, 56}, {-11, 24}, {500, 80}, {-500, 0}};
  for (auto [moved, position] : drags) {
    EXPECT_EQ(position, skin_scroll_bar::DragPosition(layout, info, 40, moved)) << moved;
  }
  const Layout full = LayoutBar(100, 16, Info(0, 9, 10), 0);
  EXPECT_EQ(0, skin_scroll_bar::DragPosition(full, Info(0, 9, 10), 0, 30)) << "nowhere to go";
}

TEST_F(SkinScrollWindow, BarPressesRepeatDragsTrackAndLosingTheMouseEndsThePress) {
  CSkinScrollBar bar;
  ASSERT_TRUE(bar.Create(host, CRect(0, 0, 16, 200), nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT));
  bar.SetBitmap(skin);
  SCROLLINFO info = Info(0, 99, 20, 40);
  bar.SetScrollInfo(&info);
  const Layout layout = bar.GetLayout();

  // An arrow press scrolls at once and repeats after 500 ms; the bar names itself.
  const LPARAM arrow = MAKELPARAM(5, 190);
  bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, arrow);
  ASSERT_TRUE(PumpMessagesUntil([] { return g_scrolls.size() >= 2; }));
  bar.SendMessage(WM_LBUTTONUP, 0, arrow);
  EXPECT_EQ(SB_LINEDOWN, g_scrolls[1].code);
  EXPECT_EQ(reinterpret_cast<LPARAM>(bar.m_hWnd), g_scrolls[1].from);
  EXPECT_FALSE(::KillTimer(bar, CSkinScrollBar::kRepeatTimer)) << "the release stops it";

  // The thumb: tracked positions while moving, one final position, no end of scrolling.
  g_scrolls.clear();
  const int grip = layout.thumbStart + 3;
  bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, grip));
  bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, grip + 20));
  bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, grip + 40));
  bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, grip + 40));  // no move: no message
  bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, grip + 40));
  const int travel = layout.Travel();
  const WORD first = static_cast<WORD>(40 + 80 * 20 / travel);
  const WORD last = static_cast<WORD>(std::min(80, 40 + 80 * 40 / travel));
  ASSERT_EQ(3u, g_scrolls.size());
  EXPECT_EQ(SB_THUMBTRACK * 1000 + first, g_scrolls[0].code * 1000 + g_scrolls[0].pos);
  EXPECT_EQ(SB_THUMBTRACK * 1000 + last, g_scrolls[1].code * 1000 + g_scrolls[1].pos);
  EXPECT_EQ(SB_THUMBPOSITION * 1000 + last, g_scrolls[2].code * 1000 + g_scrolls[2].pos);

  // A quick second click is a press like the first (the system bar's own tracking never runs).
  g_scrolls.clear();
  bar.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, arrow);
  bar.SendMessage(WM_LBUTTONUP, 0, arrow);
  ASSERT_EQ(1u, g_scrolls.size());
  EXPECT_EQ(SB_LINEDOWN, g_scrolls[0].code);

  // A press that loses the mouse to another window stops repeating.
  bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, arrow);
  ::SetCapture(host);
  ::ReleaseCapture();
  EXPECT_FALSE(::KillTimer(bar, CSkinScrollBar::kFirstRepeatTimer));
  EXPECT_FALSE(::KillTimer(bar, CSkinScrollBar::kRepeatTimer));
}

TEST_F(SkinScrollWindow, AnEditIsWrappedScrolledAndGivenBack) {
  CWindow edit(::CreateWindowExW(
      0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 20, 10,
      200, 150, host, reinterpret_cast<HMENU>(55), nullptr, nullptr));
  std::wstring text;
  for (int i = 1; i <= 60; ++i) text += L"第 " + std::to_wstring(i) + L" 行\r\n";
  edit.SetWindowText(text.c_str());
  CSkinScrollWnd* frame = AttachSkinScrollBars(edit, skin);
  ASSERT_NE(nullptr, frame);
  PumpMessages();
  Erase(edit);

  // The frame stands where the edit stood, with the edit's id; the edit lies in the clipper.
  const HWND frameWindow = frame->m_hWnd;
  EXPECT_EQ(CRect(20, 10, 220, 160), RectIn(frameWindow, host));
  EXPECT_EQ(55, ::GetDlgCtrlID(frameWindow));
  EXPECT_EQ(frame->GetLimit().m_hWnd, edit.GetParent().m_hWnd);
  // The skinned bar in place of the edit's own, which the clipper leaves out of sight.
  CSkinScrollBar& bar = frame->GetBar(SB_VERT);
  EXPECT_EQ(CRect(184, 0, 200, 150), RectIn(bar, frameWindow));
  EXPECT_FALSE(frame->GetBar(SB_HORZ).GetStyle() & WS_VISIBLE);
  EXPECT_EQ(CRect(0, 0, 184, 150), RectIn(frame->GetLimit(), frameWindow));
  SCROLLINFO native = Info(0, 0, 0), skinned = Info(0, 0, 0);
  edit.GetScrollInfo(SB_VERT, &native);
  bar.GetScrollInfo(&skinned);
  EXPECT_EQ(native.nMax, skinned.nMax);
  EXPECT_EQ(native.nPage, skinned.nPage);

  // Scrolled by the skinned bar: a line, then the thumb dragged to the end.
  Click(bar, 150 - 5);
  EXPECT_EQ(1, edit.SendMessage(EM_GETFIRSTVISIBLELINE));
  const Layout layout = bar.GetLayout();
  bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, layout.thumbStart + 2));
  bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, layout.thumbStart + 2 + layout.Travel()));
  bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, layout.thumbStart + 2 + layout.Travel()));
  edit.GetScrollInfo(SB_VERT, &native);
  EXPECT_EQ(skin_scroll_bar::MaxPosition(native), native.nPos);
  bar.GetScrollInfo(&skinned);
  EXPECT_EQ(native.nPos, skinned.nPos) << "the bar follows the edit";

  // Given back: same place, same parent, nothing of ours left on it.
  EXPECT_TRUE(DetachSkinScrollBars(edit));
  EXPECT_FALSE(::IsWindow(frameWindow));
  EXPECT_EQ(host, edit.GetParent().m_hWnd);
  EXPECT_EQ(CRect(20, 10, 220, 160), RectIn(edit, host));
  EXPECT_EQ(nullptr, CSkinScrollWnd::FromWindow(edit));
  // A window that is not wrapped keeps what it has.
  ::SetWindowLongPtrW(edit, GWLP_USERDATA, 0x1234);
  EXPECT_TRUE(DetachSkinScrollBars(edit));
  EXPECT_EQ(0x1234, ::GetWindowLongPtrW(edit, GWLP_USERDATA));
}

TEST_F(SkinScrollWindow, ForwardedScrollsCarryNoHandleAndDestroyingTheWindowEndsTheFrame) {
  HWND window = CreateRecording(host, WS_CHILD | WS_VISIBLE | WS_VSCROLL, CRect(0, 0, 200, 150));
  SCROLLINFO info = Info(0, 99, 10);
  ::SetScrollInfo(window, SB_VERT, &info, TRUE);
  CSkinScrollWnd* frame = AttachSkinScrollBars(window, skin);
  ASSERT_NE(nullptr, frame);
  Erase(window);
  Click(frame->GetBar(SB_VERT), 150 - 5);
  ASSERT_EQ(1u, g_scrolls.size());
  EXPECT_EQ(SB_LINEDOWN, g_scrolls[0].code);
  EXPECT_EQ(0, g_scrolls[0].from) << "as from the window's own bar";

  // The window goes first: its frame goes with it, after its own window is gone.
  const HWND frameWindow = frame->m_hWnd;
  ASSERT_TRUE(::DestroyWindow(window));
  EXPECT_FALSE(::IsWindow(frameWindow));

  // The parent goes with a wrapped window inside: frame and window go in one teardown.
  HWND inner = CreateRecording(host, WS_CHILD | WS_VISIBLE | WS_VSCROLL, CRect(0, 0, 200, 150));
  ASSERT_NE(nullptr, AttachSkinScrollBars(inner, skin));
  ASSERT_TRUE(::DestroyWindow(host));
  EXPECT_FALSE(::IsWindow(inner));
  host = CreateRecording(nullptr, WS_POPUP, CRect(0, 0, 10, 10));  // for TearDown
}
