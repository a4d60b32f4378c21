// The skinned scroll-bar windows: the bar's geometry (headless), the bar's messages to its
// parent, and whole windows (an edit, a list view, a window of our own) wrapped, scrolled
// through the skinned bars, unwrapped and destroyed.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "controls/skin_scroll_wnd.h"
#include "resources/skin_controls.h"
#include "winlayer/controls_list.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/gdi_objects.h"
#include "winlayer/geometry.h"

namespace {

using skin_scroll_bar::Layout;
using skin_scroll_bar::LayoutBar;

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
  UINT message;
  WORD code, pos;
  LPARAM from;
};

// A plain window that records the scroll messages it gets and moves its own scroll position as
// a program would.
std::vector<Scroll> g_scrolls;
LRESULT CALLBACK RecordingProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg != WM_VSCROLL && uMsg != WM_HSCROLL) return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
  g_scrolls.push_back({uMsg, LOWORD(wParam), HIWORD(wParam), lParam});
  if (lParam) return 0;  // from a bar control: only recorded
  const int bar = uMsg == WM_VSCROLL ? SB_VERT : SB_HORZ;
  SCROLLINFO info = Info(0, 0, 0);
  ::GetScrollInfo(hWnd, bar, &info);
  if (LOWORD(wParam) == SB_LINEDOWN) ++info.nPos;
  if (LOWORD(wParam) == SB_THUMBPOSITION) info.nPos = HIWORD(wParam);
  info.fMask = SIF_POS;
  ::SetScrollInfo(hWnd, bar, &info, TRUE);
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

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    const DWORD spent = ::GetTickCount() - start;
    if (spent >= timeoutMs) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - spent, QS_ALLINPUT);
    Pump();
  }
  return true;
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
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&init);
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

TEST(SkinScrollBarGeometry, ArrowsTrackAndThumbAlongTheBar) {
  struct Case {
    const char* what;
    int length;
    SCROLLINFO info;
    int position;
    int arrow, track, thumb, thumbStart;
  } cases[] = {
      {"at the top", 100, Info(0, 99, 20), 0, 16, 68, 13, 16},
      {"at the end", 100, Info(0, 99, 20), 80, 16, 68, 13, 71},
      {"beyond the end", 100, Info(0, 99, 20), 500, 16, 68, 13, 71},
      {"a range from 100", 100, Info(100, 199, 20), 180, 16, 68, 13, 71},
      {"a thumb of 6 at least", 100, Info(0, 999, 1), 0, 16, 68, 6, 16},
      {"a page over the whole range", 100, Info(0, 9, 10), 0, 16, 68, 68, 16},
      {"no room for a thumb", 37, Info(0, 99, 20), 0, 16, 5, 0, 16},
      {"shorter than two cells", 20, Info(0, 99, 20), 0, 10, 0, 0, 10},
      {"no overflow", 1000, Info(0, 1 << 30, 1 << 29), (1 << 29) + 1, 16, 968, 483, 16 + 485},
  };
  for (const Case& c : cases) {
    const Layout layout = LayoutBar(c.length, 16, c.info, c.position);
    EXPECT_EQ(c.arrow, layout.arrow) << c.what;
    EXPECT_EQ(c.track, layout.track) << c.what;
    EXPECT_EQ(c.thumb, layout.thumb) << c.what;
    EXPECT_EQ(c.thumbStart, layout.thumbStart) << c.what;
  }
}

TEST(SkinScrollBarGeometry, PartsAndDraggedPositions) {
  const SCROLLINFO info = Info(0, 99, 20, 40);
  const Layout layout = LayoutBar(100, 16, info, 40);  // thumb 43..56
  ASSERT_EQ(43, layout.thumbStart);
  struct Hit {
    int along, part;
  } hits[] = {{-1, -1},          {0, SB_LINEUP},      {15, SB_LINEUP},     {16, SB_PAGEUP},
              {42, SB_PAGEUP},   {43, SB_THUMBTRACK}, {55, SB_THUMBTRACK}, {56, SB_PAGEDOWN},
              {83, SB_PAGEDOWN}, {84, SB_LINEDOWN},   {99, SB_LINEDOWN}};
  for (const Hit& h : hits) EXPECT_EQ(h.part, layout.HitTest(h.along)) << h.along;

  // 55 px of travel for 80 positions.
  struct Drag {
    int moved, position;
  } drags[] = {{0, 40}, {11, 56}, {-11, 24}, {55, 80}, {500, 80}, {-500, 0}};
  for (const Drag& d : drags) {
    EXPECT_EQ(d.position, skin_scroll_bar::DragPosition(layout, info, 40, d.moved)) << d.moved;
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

  // An arrow press scrolls at once, repeats after 500 ms, then every 100 ms.
  const LPARAM arrow = MAKELPARAM(5, 190);
  bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, arrow);
  ASSERT_TRUE(PumpUntil([] { return g_scrolls.size() >= 3; }));
  bar.SendMessage(WM_LBUTTONUP, 0, arrow);
  for (const Scroll& s : g_scrolls) {
    EXPECT_EQ(static_cast<UINT>(WM_VSCROLL), s.message);
    EXPECT_EQ(SB_LINEDOWN, s.code);
    EXPECT_EQ(reinterpret_cast<LPARAM>(bar.m_hWnd), s.from);
  }
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
  EXPECT_EQ(SB_THUMBTRACK, g_scrolls[0].code);
  EXPECT_EQ(first, g_scrolls[0].pos);
  EXPECT_EQ(SB_THUMBTRACK, g_scrolls[1].code);
  EXPECT_EQ(last, g_scrolls[1].pos);
  EXPECT_EQ(SB_THUMBPOSITION, g_scrolls[2].code);
  EXPECT_EQ(last, g_scrolls[2].pos);

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
  Pump();
  Erase(edit);

  // The frame stands where the edit stood, with the edit's id; the edit lies in the clipper.
  const HWND frameWindow = frame->m_hWnd;
  EXPECT_EQ(CRect(20, 10, 220, 160), RectIn(frameWindow, host));
  EXPECT_EQ(55, ::GetDlgCtrlID(frameWindow));
  EXPECT_EQ(frame->GetLimit().m_hWnd, edit.GetParent().m_hWnd);
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(frame), ::GetWindowLongPtrW(edit, GWLP_USERDATA));
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
  EXPECT_GT(skinned.nMax, 40);

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
  const LONG_PTR ownProc = ::GetWindowLongPtrW(edit, GWLP_WNDPROC);
  EXPECT_TRUE(DetachSkinScrollBars(edit));
  EXPECT_FALSE(::IsWindow(frameWindow));
  EXPECT_EQ(host, edit.GetParent().m_hWnd);
  EXPECT_EQ(CRect(20, 10, 220, 160), RectIn(edit, host));
  EXPECT_EQ(0, ::GetWindowLongPtrW(edit, GWLP_USERDATA));
  EXPECT_NE(ownProc, ::GetWindowLongPtrW(edit, GWLP_WNDPROC));

  // A window that was never wrapped keeps what it has.
  ::SetWindowLongPtrW(edit, GWLP_USERDATA, 0x1234);
  EXPECT_TRUE(DetachSkinScrollBars(edit));
  EXPECT_EQ(0x1234, ::GetWindowLongPtrW(edit, GWLP_USERDATA));
  EXPECT_EQ(host, edit.GetParent().m_hWnd);
}

TEST_F(SkinScrollWindow, AListPagesThroughItsSkinnedBar) {
  CListViewCtrl list(::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0,
                                       0, 300, 200, host, nullptr, nullptr, nullptr));
  list.InsertColumn(0, L"歌曲", LVCFMT_LEFT, 260);
  for (int i = 0; i < 60; ++i) list.InsertItem(i, (L"歌曲 " + std::to_wstring(i)).c_str());
  CSkinScrollWnd* frame = AttachSkinScrollBars(list, skin);
  ASSERT_NE(nullptr, frame);
  Pump();
  Erase(list);
  CSkinScrollBar& bar = frame->GetBar(SB_VERT);
  ASSERT_TRUE(bar.GetStyle() & WS_VISIBLE);
  const Layout layout = bar.GetLayout();
  Click(bar, layout.thumbStart + layout.thumb + 5);  // the track below the thumb: a page
  EXPECT_EQ(list.GetCountPerPage(), list.GetTopIndex());
  SCROLLINFO skinned = Info(0, 0, 0);
  bar.GetScrollInfo(&skinned);
  EXPECT_EQ(list.GetScrollPos(SB_VERT), skinned.nPos);
}

TEST_F(SkinScrollWindow, ForwardedScrollsCarryNoHandleAndDestroyingTheWindowEndsTheFrame) {
  HWND window = CreateRecording(host, WS_CHILD | WS_VISIBLE | WS_VSCROLL, CRect(0, 0, 200, 150));
  SCROLLINFO info = Info(0, 99, 10);
  ::SetScrollInfo(window, SB_VERT, &info, TRUE);
  CSkinScrollWnd* frame = AttachSkinScrollBars(window, skin);
  ASSERT_NE(nullptr, frame);
  Erase(window);
  g_scrolls.clear();
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
