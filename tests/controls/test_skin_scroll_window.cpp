// The skinned scroll-bar windows: the bar's geometry (headless), the bar's messages to its
// parent, and whole windows (an edit, a window of our own) wrapped, scrolled through the
// skinned bars, unwrapped and destroyed. (The showcase wraps a list view.)
#include <gtest/gtest.h>

#include <windows.h>
#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "controls/skin_scroll_wnd.h"
#include "resources/skin_controls.h"
#include "support/canvas.h"
#include "support/message_pump.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/gdi_objects.h"
#include "winlayer/geometry.h"

// Freed blocks are filled with the int 1, so that code still using an object after it was
// deleted fails at once rather than by chance: the window layer then finds a window object with
// one message running, its final message due, and its handle at address 1. (Not inlined: the
// compiler would take the free of a block from operator new for a mismatched pair.)
__attribute__((noinline)) static void FillAndFree(void* block) noexcept {
  if (!block) return;
  int* words = static_cast<int*>(block);
  std::fill(words, words + _msize(block) / sizeof(int), 1);
  std::free(block);
}
void operator delete(void* block) noexcept { FillAndFree(block); }
void operator delete(void* block, std::size_t) noexcept { FillAndFree(block); }

namespace {

using skin_scroll_bar::Layout;
using skin_scroll_bar::LayoutBar;

SCROLLINFO Info(int nMin, int nMax, UINT page, int pos = 0) {
  SCROLLINFO info = {sizeof(info), SIF_ALL, nMin, nMax, page, pos, 0};
  return info;
}

struct Scroll {
  WORD code, pos;
  LPARAM from;
};

// A plain window that records the vertical scroll messages it gets.
std::vector<Scroll> g_scrolls;
bool g_destroyOnScroll = false;
LRESULT CALLBACK RecordingProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg != WM_VSCROLL) return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
  g_scrolls.push_back({LOWORD(wParam), HIWORD(wParam), lParam});
  if (g_destroyOnScroll) ::DestroyWindow(hWnd);
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

CRect RectIn(HWND hWnd, HWND parent) {
  CRect rect;
  ::GetWindowRect(hWnd, &rect);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// A press and release at a coordinate along a vertical bar.
void Click(HWND bar, int along) {
  ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, along));
  ::SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(5, along));
}

class SkinScrollWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    skin.Attach(static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                  MAKEINTRESOURCEW(IDB_SCROLL_WINDOW_SKIN),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    host = CreateRecording(nullptr, WS_POPUP | WS_CLIPCHILDREN, CRect(0, 0, 400, 300));
    ASSERT_TRUE(host);
    g_scrolls.clear();
    g_destroyOnScroll = false;
  }
  void TearDown() override { ::DestroyWindow(host); }

  // A recording window 200 x 150 with a vertical bar, wrapped.
  CSkinScrollWnd* Wrapped() {
    return AttachSkinScrollBars(
        CreateRecording(host, WS_CHILD | WS_VISIBLE | WS_VSCROLL, CRect(0, 0, 200, 150)), skin);
  }

  CBitmap skin;
  HWND host = nullptr;
};

}  // namespace

TEST(SkinScrollBarGeometry, ArrowsTrackThumbAndDraggedPositions) {
  struct {
    const char* what;
    int length;
    SCROLLINFO info;
    int position;
    std::vector<int> expected;  // arrow, track, thumb, thumb start
  } cases[] = {
      {"beyond the end", 100, Info(0, 99, 20), 500, {16, 68, 13, 71}},
      {"a range from 100", 100, Info(100, 199, 20), 180, {16, 68, 13, 71}},
      {"a thumb of 6 at least", 100, Info(0, 999, 1), 0, {16, 68, 6, 16}},
      {"a page over the whole range", 100, Info(0, 9, 10), 0, {16, 68, 68, 16}},
      {"no room for a thumb", 37, Info(0, 99, 20), 0, {16, 5, 0, 16}},
      {"shorter than two cells", 20, Info(0, 99, 20), 0, {10, 0, 0, 10}},
      {"no overflow", 1000, Info(0, 1 << 30, 1 << 29), (1 << 29) + 1, {16, 968, 483, 501}},
  };
  for (const auto& c : cases) {
    const Layout l = LayoutBar(c.length, 16, c.info, c.position);
    EXPECT_EQ(c.expected, (std::vector<int>{l.arrow, l.track, l.thumb, l.thumbStart})) << c.what;
  }
  // Dragged by pixels from position 40 (55 px of travel for 80 positions), within the range.
  const SCROLLINFO info = Info(0, 99, 20, 40);
  const Layout layout = LayoutBar(100, 16, info, 40);
  for (auto [moved, position] : {std::pair{11, 56}, {500, 80}, {-500, 0}}) {
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
  ASSERT_TRUE(testsupport::PumpMessagesUntil([] { return g_scrolls.size() >= 2; }));
  bar.SendMessage(WM_LBUTTONUP, 0, arrow);
  EXPECT_EQ(SB_LINEDOWN, g_scrolls[1].code);
  EXPECT_EQ(reinterpret_cast<LPARAM>(bar.m_hWnd), g_scrolls[1].from);
  EXPECT_FALSE(::KillTimer(bar, CSkinScrollBar::kRepeatTimer)) << "the release stops it";

  // The thumb: tracked positions while moving, one final position, no end of scrolling.
  g_scrolls.clear();
  const int grip = layout.thumbStart + 3;
  for (int moved : {0, 20, 40, 40}) {  // the last is no move: no message
    bar.SendMessage(moved ? WM_MOUSEMOVE : WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, grip + moved));
  }
  bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, grip + 40));
  const WORD first = static_cast<WORD>(40 + 80 * 20 / layout.Travel());
  const WORD last = static_cast<WORD>(std::min(80, 40 + 80 * 40 / layout.Travel()));
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

TEST_F(SkinScrollWindow, ASkinOfCellsTooSmallForAThumbStillPaints) {
  CBitmap tiny;  // cells of 6 px: a thumb's ends (3 px each) leave no middle to repeat
  tiny.CreateBitmap(54, 18, 1, 32, nullptr);
  CSkinScrollBar bar;
  ASSERT_TRUE(bar.Create(host, CRect(0, 0, 6, 200), nullptr, WS_CHILD | SBS_VERT));
  bar.SetBitmap(tiny);
  SCROLLINFO info = Info(0, 99, 50);
  bar.SetScrollInfo(&info);
  ASSERT_GT(bar.GetLayout().thumb, 6);
  testsupport::Canvas canvas(6, 200);
  bar.SendMessage(WM_PAINT, reinterpret_cast<WPARAM>(canvas.hdc()));
  EXPECT_EQ(0u, canvas.at(2, 2)) << "the arrow from the skin";
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
  testsupport::PumpMessages();  // the frame's layout

  // The frame stands where the edit stood, with its id; the skinned bar stands beside the
  // clipper, which leaves the edit's own bar out of sight and never paints over the edit.
  const HWND frameWindow = frame->m_hWnd;
  EXPECT_EQ(CRect(20, 10, 220, 160), RectIn(frameWindow, host));
  EXPECT_EQ(55, ::GetDlgCtrlID(frameWindow));
  CSkinScrollBar& bar = frame->GetBar(SB_VERT);
  EXPECT_EQ(CRect(184, 0, 200, 150), RectIn(bar, frameWindow));
  EXPECT_EQ(CRect(0, 0, 184, 150), RectIn(frame->GetLimit(), frameWindow));
  EXPECT_TRUE(frame->GetLimit().GetStyle() & WS_CLIPCHILDREN);

  // The edit's erase hands its scroll range to the skinned bar (hidden windows are never
  // painted: erased here as their paint would); a click on the bar scrolls the edit a line.
  CClientDC dc(edit);
  edit.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC));
  SCROLLINFO native = Info(0, 0, 0), skinned = Info(0, 0, 0);
  edit.GetScrollInfo(SB_VERT, &native);
  bar.GetScrollInfo(&skinned);
  EXPECT_EQ(native.nMax, skinned.nMax);
  Click(bar, 150 - 5);
  EXPECT_EQ(1, edit.SendMessage(EM_GETFIRSTVISIBLELINE));
  bar.GetScrollInfo(&skinned);
  EXPECT_EQ(1, skinned.nPos) << "the bar follows the edit";

  // Given back: same place, same parent, nothing of ours left on it; a window that is not
  // wrapped keeps what it has.
  EXPECT_TRUE(DetachSkinScrollBars(edit));
  EXPECT_FALSE(::IsWindow(frameWindow));
  EXPECT_EQ(CRect(20, 10, 220, 160), RectIn(edit, host));
  ::SetWindowLongPtrW(edit, GWLP_USERDATA, 0x1234);
  EXPECT_TRUE(DetachSkinScrollBars(edit));
  EXPECT_EQ(0x1234, ::GetWindowLongPtrW(edit, GWLP_USERDATA));
}

TEST_F(SkinScrollWindow, ForwardedScrollsCarryNoHandle) {
  CSkinScrollWnd* frame = Wrapped();
  ASSERT_NE(nullptr, frame);
  Click(frame->GetBar(SB_VERT), 150 - 5);
  ASSERT_EQ(1u, g_scrolls.size());
  EXPECT_EQ(SB_LINEDOWN, g_scrolls[0].code);
  EXPECT_EQ(0, g_scrolls[0].from) << "as from the window's own bar";
}

TEST_F(SkinScrollWindow, TheFrameGoesOnlyOnceItsWindowAndItsBarsMessagesAreDone) {
  // The window destroys itself on a scroll while the bar that sent it is still handling the
  // click: the frame, which holds the bar, outlasts that message.
  CSkinScrollWnd* frame = Wrapped();
  ASSERT_NE(nullptr, frame);
  const HWND frameWindow = frame->m_hWnd;
  const HWND bar = frame->GetBar(SB_VERT);
  g_destroyOnScroll = true;
  ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 150 - 5));
  ASSERT_EQ(1u, g_scrolls.size());
  EXPECT_FALSE(::IsWindow(frameWindow));
  EXPECT_FALSE(::IsWindow(bar));

  // The parent goes with a wrapped window inside: frame and window go in one teardown.
  frame = Wrapped();
  ASSERT_NE(nullptr, frame);
  const HWND inner = frame->GetTarget();
  ASSERT_TRUE(::DestroyWindow(host));
  EXPECT_FALSE(::IsWindow(inner));
  host = CreateRecording(nullptr, WS_POPUP, CRect(0, 0, 10, 10));  // for TearDown
}
