#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "controls/api_hook.h"
#include "controls/skin_scrollbar.h"
#include "controls/skin_scrollbar_state.h"
#include "support/message_pump.h"
#include "support/screenshot.h"
#include "winlayer/controls_list.h"
#include "winlayer/gdi_objects.h"

namespace {

using skinsb::BarLayout;
using skinsb::kBarSize;
using testsupport::PumpMessages;
using testsupport::PumpMessagesUntil;

// The redirections stay installed for the whole test program, as in the real one.
class HooksEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { SkinSB_InstallApiHooks(); }
  void TearDown() override { SkinSB_RemoveApiHooks(); }
};
const auto* const kHooks = ::testing::AddGlobalTestEnvironment(new HooksEnvironment);

struct Scroll {
  UINT msg;
  WORD code;
  WORD pos;
  bool operator==(const Scroll& o) const { return msg == o.msg && code == o.code && pos == o.pos; }
};
std::ostream& operator<<(std::ostream& out, const Scroll& s) {
  return out << (s.msg == WM_VSCROLL ? "V" : "H") << "(" << s.code << "," << s.pos << ")";
}

// A window that scrolls like an application: it records the scroll messages it gets and moves
// its position through the (redirected) SetScrollInfo.
std::vector<Scroll>* g_scrolls = nullptr;
int g_ncDestroys = 0;

LRESULT CALLBACK RecordingProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_NCDESTROY) ++g_ncDestroys;
  if (uMsg != WM_VSCROLL && uMsg != WM_HSCROLL) return DefWindowProcW(hWnd, uMsg, wParam, lParam);
  const int bar = uMsg == WM_VSCROLL ? SB_VERT : SB_HORZ;
  if (g_scrolls) g_scrolls->push_back({uMsg, LOWORD(wParam), HIWORD(wParam)});
  SCROLLINFO si = {sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  GetScrollInfo(hWnd, bar, &si);
  const WORD code = LOWORD(wParam);
  if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
    si.nPos = HIWORD(wParam);
  } else if (code <= SB_PAGEDOWN) {  // a line or a page, up (even codes) or down
    si.nPos += (code % 2 ? 1 : -1) * (code < SB_PAGEUP ? 1 : static_cast<int>(si.nPage));
  } else {
    return 0;
  }
  si.fMask = SIF_POS;
  SetScrollInfo(hWnd, bar, &si, TRUE);
  return 0;
}

// A window class of RecordingProc (registered on first use; a rich edit is told by its class
// name alone, so "richedit20w" makes one that records like the others).
const wchar_t* RecordingClass(const wchar_t* name = L"SkinSBRecording") {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = RecordingProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
  wc.lpszClassName = name;
  RegisterClassW(&wc);  // refused, harmlessly, once the class exists
  return name;
}

// Delivers a mouse message as the system would, with the cursor (GetMessagePos) at `screen`.
void Deliver(HWND hWnd, UINT uMsg, WPARAM wParam, POINT screen) {
  SetCursorPos(screen.x, screen.y);
  POINT at = screen;
  if (uMsg < WM_NCMOUSEMOVE || uMsg > WM_NCXBUTTONDBLCLK) ScreenToClient(hWnd, &at);
  PostMessageW(hWnd, uMsg, wParam, MAKELPARAM(at.x, at.y));
  PumpMessages();
}

// One visible top-level window holds every test window for the whole program: under Wine without
// a window manager, hiding or destroying a visible top-level window waits two seconds.
HWND Host() {
  static const HWND host =
      CreateWindowExW(WS_EX_TOPMOST, RecordingClass(), L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                      100, 100, 300, 240, nullptr, nullptr, nullptr, nullptr);
  return host;
}

HWND CreateChild(const wchar_t* className, DWORD style, int width = 300, int height = 240) {
  return CreateWindowExW(0, className, L"", WS_CHILD | style, 0, 0, width, height, Host(), nullptr,
                         nullptr, nullptr);
}

HBITMAP LoadSkin() {
  return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                         MAKEINTRESOURCEW(IDB_SCROLLBAR_SKIN), IMAGE_BITMAP, 0, 0,
                                         LR_CREATEDIBSECTION));
}

int Count(const std::vector<Scroll>& scrolls, WORD code) {
  int n = 0;
  for (const Scroll& s : scrolls) n += s.code == code;
  return n;
}

class SkinScrollBar : public ::testing::Test {
 protected:
  void SetUp() override {
    skin_.Attach(LoadSkin());
    ASSERT_FALSE(skin_.IsNull()) << "bitmap 231 is in the program";
    window_ = CreateChild(RecordingClass(), WS_VISIBLE | WS_HSCROLL | WS_VSCROLL);
    ASSERT_NE(nullptr, window_);
    SetRange(SB_VERT, 0, 99, 20);
    SetRange(SB_HORZ, 0, 49, 10);
    g_scrolls = &scrolls_;
  }
  void TearDown() override {
    g_scrolls = nullptr;
    if (IsWindow(window_)) DestroyWindow(window_);
    if (list_) DestroyWindow(list_);
    PumpMessages();
  }

  void SetRange(int bar, int nMin, int nMax, UINT nPage) {
    SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, nMin, nMax, nPage, nMin, 0};
    SetScrollInfo(window_, bar, &si, TRUE);
  }
  SCROLLINFO Info(int bar) {
    SCROLLINFO si = {sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(window_, bar, &si);
    return si;
  }
  BarLayout Layout(int bar, HWND window = nullptr) {
    return skinsb::LayoutBar(*skinsb::GetState(window ? window : window_), bar);
  }
  // A point in the middle of the bar across, at `along`.
  POINT OnBar(int bar, int along, HWND window = nullptr) {
    const BarLayout layout = Layout(bar, window);
    const int across = bar == SB_VERT ? (layout.rcBar.left + layout.rcBar.right) / 2
                                      : (layout.rcBar.top + layout.rcBar.bottom) / 2;
    return bar == SB_VERT ? POINT{across, along} : POINT{along, across};
  }
  void Press(int bar, POINT pt) {
    Deliver(window_, WM_NCLBUTTONDOWN, bar == SB_VERT ? HTVSCROLL : HTHSCROLL, pt);
  }

  CBitmap skin_;
  HWND window_ = nullptr;
  HWND list_ = nullptr;  // the list view test's
  std::vector<Scroll> scrolls_;
};

TEST_F(SkinScrollBar, AttachTakesOverTheFrameAndDetachGivesItBack) {
  ASSERT_TRUE(SkinSB_AttachWindow(window_, skin_));
  RECT after;
  GetClientRect(window_, &after);
  EXPECT_EQ(300 - 16, after.right) << "room for our bars, whatever the system's size";
  EXPECT_EQ(240 - 16, after.bottom);

  POINT corner = {after.right + 8, after.bottom + 8};
  ClientToScreen(window_, &corner);
  EXPECT_EQ(HTGROWBOX, SendMessageW(window_, WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)));
  const POINT onVert = OnBar(SB_VERT, 150), onHorz = OnBar(SB_HORZ, 150);
  EXPECT_EQ(HTVSCROLL, SendMessageW(window_, WM_NCHITTEST, 0, MAKELPARAM(onVert.x, onVert.y)));
  EXPECT_EQ(HTHSCROLL, SendMessageW(window_, WM_NCHITTEST, 0, MAKELPARAM(onHorz.x, onHorz.y)));

  EXPECT_FALSE(SkinSB_AttachWindow(window_, skin_)) << "already skinned";

  SCROLLINFO si = {sizeof si, SIF_POS, 0, 0, 0, 42, 0};
  SetScrollInfo(window_, SB_VERT, &si, TRUE);
  si.fMask = SIF_POS;
  SkinSB_GetScrollInfoTrampoline(window_, SB_VERT, &si);
  EXPECT_EQ(0, si.nPos) << "while skinned the system's bar is left alone";

  EXPECT_TRUE(SkinSB_DetachWindow(window_));
  EXPECT_FALSE(SkinSB_DetachWindow(window_));
  SkinSB_GetScrollInfoTrampoline(window_, SB_VERT, &si);
  EXPECT_EQ(42, si.nPos) << "detach hands the state back";
  EXPECT_TRUE(SkinSB_AttachWindow(window_, skin_)) << "and the window can be skinned again";
}

TEST_F(SkinScrollBar, DestroyingTheWindowDetachesAfterItsOwnProcedure) {
  ASSERT_TRUE(SkinSB_AttachWindow(window_, skin_));
  const int before = g_ncDestroys;
  EXPECT_TRUE(DestroyWindow(window_));
  EXPECT_EQ(before + 1, g_ncDestroys);
}

TEST_F(SkinScrollBar, ReplacedFunctionsKeepTheStateOfSkinnedWindows) {
  ASSERT_TRUE(SkinSB_AttachWindow(window_, skin_));
  const auto style = [&] { return GetWindowLongW(window_, GWL_STYLE); };

  // nMax below nMin becomes nMin: an empty range hides the bar.
  SCROLLINFO si = {sizeof si, SIF_RANGE, 10, 5, 0, 0, 0};
  SetScrollInfo(window_, SB_HORZ, &si, TRUE);
  EXPECT_EQ(10, Info(SB_HORZ).nMax);
  EXPECT_FALSE(style() & WS_HSCROLL);
  si = {sizeof si, SIF_POS, 0, 0, 0, 3, 0};
  EXPECT_EQ(0, SetScrollInfo(window_, SB_HORZ, &si, TRUE)) << "a hidden bar takes no position";

  // A page larger than the range is cut to it; the bar is then not needed.
  si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 500, 0, 0};
  SetScrollInfo(window_, SB_VERT, &si, TRUE);
  EXPECT_EQ(100u, Info(SB_VERT).nPage);
  EXPECT_FALSE(style() & WS_VSCROLL);
  // A position beyond the last page is cut back to it.
  si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 30, 95, 0};
  SetScrollInfo(window_, SB_VERT, &si, TRUE);
  EXPECT_EQ(70, Info(SB_VERT).nPos);
  EXPECT_TRUE(style() & WS_VSCROLL);
  si = {sizeof si, SIF_POS, 0, 0, 0, 60, 0};
  EXPECT_EQ(60, SetScrollInfo(window_, SB_VERT, &si, TRUE)) << "the new position";
  // SIF_DISABLENOSCROLL keeps a bar that is not needed, disabled.
  si = {sizeof si, SIF_PAGE | SIF_DISABLENOSCROLL, 0, 0, 100, 0, 0};
  SetScrollInfo(window_, SB_VERT, &si, TRUE);
  EXPECT_TRUE(style() & WS_VSCROLL);
  EXPECT_EQ(3u, skinsb::ArrowFlagsOf(*skinsb::GetState(window_), SB_VERT));
  si = {sizeof si, SIF_PAGE | SIF_DISABLENOSCROLL, 0, 0, 30, 0, 0};
  SetScrollInfo(window_, SB_VERT, &si, TRUE);
  EXPECT_EQ(0u, skinsb::ArrowFlagsOf(*skinsb::GetState(window_), SB_VERT));
  EXPECT_EQ(0, SetScrollPos(window_, SB_VERT, 70, FALSE));

  // SetScrollPos stores what it is given, as the system does.
  EXPECT_EQ(70, SetScrollPos(window_, SB_VERT, 1000, TRUE));
  EXPECT_EQ(1000, GetScrollPos(window_, SB_VERT));
  EXPECT_EQ(0, GetScrollPos(window_, SB_CTL));

  int low = -1, high = -1;
  EXPECT_TRUE(SetScrollRange(window_, SB_VERT, 5, 50, TRUE));
  EXPECT_TRUE(GetScrollRange(window_, SB_VERT, &low, &high));
  EXPECT_EQ(5, low);
  EXPECT_EQ(50, high);
  EXPECT_FALSE(GetScrollRange(window_, SB_VERT, nullptr, &high));
  EXPECT_TRUE(SetScrollRange(window_, SB_VERT, 0, 0, TRUE));
  EXPECT_FALSE(style() & WS_VSCROLL) << "an empty range hides the bar";
  EXPECT_TRUE(ShowScrollBar(window_, SB_BOTH, TRUE));
  EXPECT_EQ(WS_HSCROLL | WS_VSCROLL, style() & (WS_HSCROLL | WS_VSCROLL));

  // Disabled arrows add up until both are enabled again.
  EXPECT_TRUE(EnableScrollBar(window_, SB_VERT, ESB_DISABLE_LTUP));
  EXPECT_TRUE(EnableScrollBar(window_, SB_VERT, ESB_DISABLE_RTDN));
  EXPECT_FALSE(EnableScrollBar(window_, SB_VERT, ESB_DISABLE_RTDN)) << "nothing changed";
  EXPECT_EQ(3u, skinsb::ArrowFlagsOf(*skinsb::GetState(window_), SB_VERT));
  EXPECT_TRUE(EnableScrollBar(window_, SB_BOTH, ESB_ENABLE_BOTH));
  EXPECT_EQ(0u, skinsb::GetState(window_)->dwArrowFlags);
  EXPECT_FALSE(EnableScrollBar(window_, SB_CTL, ESB_DISABLE_BOTH));

  si = {24, SIF_ALL, 0, 0, 0, 0, 0};
  EXPECT_FALSE(GetScrollInfo(window_, SB_VERT, &si)) << "cbSize must be the full size";
}

TEST_F(SkinScrollBar, OtherWindowsReachTheSystemFunctions) {
  ASSERT_TRUE(SkinSB_AttachWindow(window_, skin_));
  HWND plain = CreateChild(RecordingClass(), WS_VSCROLL, 100, 100);
  ASSERT_NE(nullptr, plain);
  EXPECT_TRUE(SetScrollRange(plain, SB_VERT, 0, 10, FALSE));
  SetScrollPos(plain, SB_VERT, 1000, FALSE);
  EXPECT_EQ(10, GetScrollPos(plain, SB_VERT)) << "the system clamps, the skinned one does not";
  EXPECT_EQ(10, SkinSB_GetScrollPosTrampoline(plain, SB_VERT));
  int low = -1, high = -1;
  EXPECT_TRUE(GetScrollRange(plain, SB_VERT, &low, &high));
  EXPECT_EQ(10, high);
  DestroyWindow(plain);
}

TEST_F(SkinScrollBar, ArrowPressScrollsRepeatsAndEnds) {
  ASSERT_TRUE(SkinSB_AttachWindow(window_, skin_));
  const BarLayout layout = Layout(SB_VERT);
  Press(SB_VERT, OnBar(SB_VERT, layout.nEnd - 8));
  ASSERT_EQ(1u, scrolls_.size());
  EXPECT_EQ((Scroll{WM_VSCROLL, SB_LINEDOWN, 0}), scrolls_[0]);
  EXPECT_EQ(window_, GetCapture());

  // Held down: after the delay the line repeats.
  ASSERT_TRUE(PumpMessagesUntil([&] { return Count(scrolls_, SB_LINEDOWN) >= 4; }));
  EXPECT_GE(Info(SB_VERT).nPos, 4);

  Deliver(window_, WM_LBUTTONUP, 0, OnBar(SB_VERT, layout.nEnd - 8));
  EXPECT_EQ(SB_ENDSCROLL, scrolls_.back().code);
  EXPECT_EQ(nullptr, GetCapture());
  const size_t ended = scrolls_.size();
  PumpMessagesUntil([] { return false; }, 150);
  EXPECT_EQ(ended, scrolls_.size()) << "no repeat after the release";
}

TEST_F(SkinScrollBar, QuickSecondClickOnABarIsAClick) {
  ASSERT_TRUE(SkinSB_AttachWindow(window_, skin_));
  const POINT down = OnBar(SB_VERT, Layout(SB_VERT).nEnd - 8);
  for (UINT msg : {WM_NCLBUTTONDOWN, WM_NCLBUTTONDBLCLK}) {
    Deliver(window_, msg, HTVSCROLL, down);
    Deliver(window_, WM_LBUTTONUP, 0, down);
  }
  EXPECT_EQ(2, Count(scrolls_, SB_LINEDOWN));
  EXPECT_EQ(0, SendMessageW(window_, WM_NCLBUTTONDBLCLK, HTCLIENT, 0))
      << "other double clicks are swallowed";
}

TEST_F(SkinScrollBar, LosingTheMouseEndsThePress) {
  ASSERT_TRUE(SkinSB_AttachWindow(window_, skin_));
  Press(SB_HORZ, OnBar(SB_HORZ, Layout(SB_HORZ).nEnd - 8));
  ASSERT_EQ(window_, GetCapture());
  HWND other = CreateChild(RecordingClass(), 0, 10, 10);
  SetCapture(other);
  EXPECT_EQ((Scroll{WM_HSCROLL, SB_ENDSCROLL, 0}), scrolls_.back());
  const size_t ended = scrolls_.size();
  PumpMessagesUntil([] { return false; }, 600);
  EXPECT_EQ(ended, scrolls_.size()) << "the repeat stopped with the press";
  ReleaseCapture();
  DestroyWindow(other);
}

TEST_F(SkinScrollBar, PagePressStopsWhenTheThumbReachesTheMouse) {
  ASSERT_TRUE(SkinSB_AttachWindow(window_, skin_));
  const BarLayout layout = Layout(SB_VERT);
  const POINT target = OnBar(SB_VERT, layout.nTrackEnd - 3);
  Press(SB_VERT, target);
  ASSERT_TRUE(PumpMessagesUntil([&] { return Count(scrolls_, SB_PAGEDOWN) >= 2; }));
  // Pages until the thumb covers the mouse, then no more.
  ASSERT_TRUE(PumpMessagesUntil([&] { return Layout(SB_VERT).nThumbEnd >= target.y; }));
  const size_t reached = scrolls_.size();
  PumpMessagesUntil([] { return false; }, 200);
  EXPECT_EQ(reached, scrolls_.size());
  Deliver(window_, WM_LBUTTONUP, 0, target);
  EXPECT_EQ(SB_ENDSCROLL, scrolls_.back().code);
  EXPECT_EQ(80, Info(SB_VERT).nPos);
}

TEST_F(SkinScrollBar, ThumbDragTracksAndReleasesAtTheLastPosition) {
  ASSERT_TRUE(SkinSB_AttachWindow(window_, skin_));
  const BarLayout layout = Layout(SB_VERT);
  const int grip = layout.nThumbStart + 5;
  Press(SB_VERT, OnBar(SB_VERT, grip));
  EXPECT_TRUE(scrolls_.empty()) << "a press on the thumb sends nothing yet";

  const int travel = layout.ThumbTravel();
  Deliver(window_, WM_MOUSEMOVE, MK_LBUTTON, OnBar(SB_VERT, grip + travel / 2));
  ASSERT_EQ(1u, scrolls_.size());
  const WORD half = static_cast<WORD>(MulDiv(travel / 2, 80, travel));
  EXPECT_EQ((Scroll{WM_VSCROLL, SB_THUMBTRACK, half}), scrolls_[0]);
  Deliver(window_, WM_MOUSEMOVE, MK_LBUTTON, OnBar(SB_VERT, grip + travel / 2));
  EXPECT_EQ(1u, scrolls_.size()) << "no move, no message";
  Deliver(window_, WM_MOUSEMOVE, MK_LBUTTON, OnBar(SB_VERT, layout.nEnd + 500));
  EXPECT_EQ((Scroll{WM_VSCROLL, SB_THUMBTRACK, 80}), scrolls_.back()) << "clamped to the end";

  Deliver(window_, WM_LBUTTONUP, 0, OnBar(SB_VERT, layout.nEnd + 500));
  ASSERT_EQ(4u, scrolls_.size());
  EXPECT_EQ((Scroll{WM_VSCROLL, SB_THUMBPOSITION, 80}), scrolls_[2]);
  EXPECT_EQ((Scroll{WM_VSCROLL, SB_ENDSCROLL, 0}), scrolls_[3]);
}

TEST_F(SkinScrollBar, ThumbClickWithoutMovementKeepsThePosition) {
  ASSERT_TRUE(SkinSB_AttachWindow(window_, skin_));
  SCROLLINFO si = {sizeof si, SIF_POS, 0, 0, 0, 30, 0};
  SetScrollInfo(window_, SB_VERT, &si, TRUE);
  const POINT onThumb = OnBar(SB_VERT, Layout(SB_VERT).nThumbStart + 3);
  Press(SB_VERT, onThumb);
  Deliver(window_, WM_LBUTTONUP, 0, onThumb);
  ASSERT_EQ(2u, scrolls_.size());
  EXPECT_EQ((Scroll{WM_VSCROLL, SB_THUMBPOSITION, 30}), scrolls_[0]);
  EXPECT_EQ(30, Info(SB_VERT).nPos);
}

TEST_F(SkinScrollBar, ThumbFillingTheTrackCannotBeDragged) {
  // A window so low that the smallest thumb is longer than the track.
  SetWindowPos(window_, nullptr, 0, 0, 300, 50, SWP_NOMOVE | SWP_NOZORDER);
  ASSERT_TRUE(SkinSB_AttachWindow(window_, skin_));
  const BarLayout layout = Layout(SB_VERT);
  ASSERT_LE(layout.ThumbTravel(), 0);
  const POINT onThumb = OnBar(SB_VERT, layout.nThumbStart + 2);
  Press(SB_VERT, onThumb);
  Deliver(window_, WM_MOUSEMOVE, MK_LBUTTON, OnBar(SB_VERT, layout.nThumbStart + 40));
  Deliver(window_, WM_LBUTTONUP, 0, onThumb);
  EXPECT_TRUE(scrolls_.empty());
  EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(SkinScrollBar, RichEditGetsThumbPositionWhileDragging) {
  DestroyWindow(window_);  // the fixture's helpers work on the rich edit instead
  window_ = CreateChild(RecordingClass(L"richedit20w"), WS_VISIBLE | WS_VSCROLL);
  SetRange(SB_VERT, 0, 99, 20);
  ASSERT_TRUE(SkinSB_AttachWindow(window_, skin_));
  const BarLayout layout = Layout(SB_VERT);
  Press(SB_VERT, OnBar(SB_VERT, layout.nThumbStart + 2));
  Deliver(window_, WM_MOUSEMOVE, MK_LBUTTON, OnBar(SB_VERT, layout.nThumbStart + 30));
  ASSERT_FALSE(scrolls_.empty());
  EXPECT_EQ(SB_THUMBPOSITION, scrolls_[0].code);
  Deliver(window_, WM_LBUTTONUP, 0, OnBar(SB_VERT, layout.nThumbStart + 30));
}

TEST_F(SkinScrollBar, HoveredPartsArePaintedHot) {
  ASSERT_TRUE(SkinSB_AttachWindow(window_, skin_));
  const BarLayout layout = Layout(SB_VERT);
  // A pixel inside the face of the down arrow: the track colour when normal, lighter when hot.
  const POINT face = {layout.rcBar.left + 3, layout.nEnd - kBarSize + 3};
  const auto pixel = [&] {
    RECT rc;
    GetWindowRect(window_, &rc);
    HDC dc = GetWindowDC(window_);
    const COLORREF colour = GetPixel(dc, face.x - rc.left, face.y - rc.top);
    ReleaseDC(window_, dc);
    return colour;
  };
  EXPECT_EQ(RGB(0x2E, 0x28, 0x2E), pixel());
  Deliver(window_, WM_NCMOUSEMOVE, HTVSCROLL, face);
  EXPECT_EQ(skinsb::kVerticalBit | skinsb::kPartSecondArrow, skinsb::GetState(window_)->nHotPart);
  EXPECT_EQ(RGB(0x3D, 0x36, 0x3E), pixel());
  SendMessageW(window_, WM_NCMOUSELEAVE, 0, 0);
  EXPECT_EQ(0u, skinsb::GetState(window_)->nHotPart);
  EXPECT_EQ(RGB(0x2E, 0x28, 0x2E), pixel());
}

// A failing SetPropA and a counting LocalAlloc, put in through the hook engine.
extern "C" BOOL WINAPI SetPropTrampoline(HWND, LPCSTR, HANDLE) asm("SetPropTrampoline");
extern "C" __attribute__((used)) PVOID SetPropGetter() asm("SetPropGetter");
PVOID SetPropGetter() {
  return reinterpret_cast<PVOID>(&::SetPropA);
}
DEFINE_API_HOOK_TRAMPOLINE(SetPropTrampoline, SetPropGetter)
HWND g_refuseProps = nullptr;
BOOL WINAPI RefusingSetProp(HWND hWnd, LPCSTR name, HANDLE data) {
  if (hWnd == g_refuseProps) return FALSE;
  return SetPropTrampoline(hWnd, name, data);
}

extern "C" HLOCAL WINAPI LocalAllocTrampoline(UINT, SIZE_T) asm("LocalAllocTrampoline");
extern "C" __attribute__((used)) PVOID LocalAllocGetter() asm("LocalAllocGetter");
PVOID LocalAllocGetter() {
  return reinterpret_cast<PVOID>(&::LocalAlloc);
}
DEFINE_API_HOOK_TRAMPOLINE(LocalAllocTrampoline, LocalAllocGetter)
int g_stateAllocations = 0;
HLOCAL WINAPI CountingLocalAlloc(UINT flags, SIZE_T bytes) {
  if (bytes == sizeof(SkinSB_State)) ++g_stateAllocations;
  return LocalAllocTrampoline(flags, bytes);
}

TEST_F(SkinScrollBar, RefusedOrFailedAttachLeavesNeitherSubclassNorState) {
  const LONG_PTR proc = GetWindowLongPtrW(window_, GWLP_WNDPROC);
  ASSERT_TRUE(AttachApiHook(SetPropTrampoline, RefusingSetProp));
  g_refuseProps = window_;
  EXPECT_FALSE(SkinSB_AttachWindow(window_, skin_));
  g_refuseProps = nullptr;
  EXPECT_TRUE(RemoveApiHook(SetPropTrampoline, RefusingSetProp));
  EXPECT_EQ(proc, GetWindowLongPtrW(window_, GWLP_WNDPROC)) << "the procedure is untouched";
  SendMessageW(window_, WM_NCPAINT, 1, 0);  // would crash in a procedure without state

  SetLastError(0);
  EXPECT_FALSE(SkinSB_AttachWindow(nullptr, skin_));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
  ASSERT_TRUE(AttachApiHook(LocalAllocTrampoline, CountingLocalAlloc));
  SetLastError(0);
  EXPECT_FALSE(SkinSB_AttachWindow(window_, nullptr));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
  EXPECT_EQ(nullptr, GetPropA(window_, "PROP_SkinSB"));
  const int withoutSkin = g_stateAllocations;
  EXPECT_TRUE(SkinSB_AttachWindow(window_, skin_));
  const int withSkin = g_stateAllocations;
  EXPECT_TRUE(RemoveApiHook(LocalAllocTrampoline, CountingLocalAlloc));
  EXPECT_EQ(0, withoutSkin) << "nothing allocated for a null skin";
  EXPECT_EQ(1, withSkin);
}

// End to end: a list view with the skin, scrolled by real mouse input.
class SkinnedListView : public SkinScrollBar {
 protected:
  void SetUp() override {
    SkinScrollBar::SetUp();
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    ShowWindow(window_, SW_HIDE);
    list_ = CreateChild(WC_LISTVIEWW, LVS_REPORT);
    ASSERT_NE(nullptr, list_);
    CListViewCtrl list(list_);
    const wchar_t* headers[] = {L"Title", L"Artist", L"Album", L"Length"};
    for (int c = 0; c < 4; ++c) list.InsertColumn(c, headers[c], LVCFMT_LEFT, 110);
    for (int i = 0; i < kRows; ++i) list.InsertItem(i, (L"Song " + std::to_wstring(i)).c_str());
    ShowWindow(list_, SW_SHOW);
    ASSERT_TRUE(SkinSB_AttachWindow(list_, skin_));
    RedrawWindow(Host(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();
  }
  static constexpr int kRows = 80;
  int TopIndex() { return static_cast<int>(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0)); }
  static void Click(POINT pt, bool down) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SetCursorPos(pt.x, pt.y);
    SendInput(1, &input, sizeof input);
  }
  static void MoveTo(POINT pt) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input.mi.dx = MulDiv(pt.x, 65536, GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = MulDiv(pt.y, 65536, GetSystemMetrics(SM_CYSCREEN));
    SendInput(1, &input, sizeof input);
  }
};

TEST_F(SkinnedListView, ScrollsByArrowPageAndThumb) {
  ASSERT_EQ(0, TopIndex());
  const BarLayout layout = Layout(SB_VERT, list_);
  ASSERT_TRUE(layout.HasThumb()) << "80 rows need the vertical bar";
  EXPECT_TRUE(testsupport::SaveWindowPng(Host(), L"screenshots\\skin_scrollbar_list.png"));

  const POINT down = OnBar(SB_VERT, layout.nEnd - 8, list_);
  Click(down, true);
  Click(down, false);
  ASSERT_TRUE(PumpMessagesUntil([&] { return TopIndex() == 1; }))
      << "the down arrow scrolls one row";

  const POINT page = OnBar(SB_VERT, Layout(SB_VERT, list_).nThumbEnd + 4, list_);
  Click(page, true);
  Click(page, false);
  ASSERT_TRUE(PumpMessagesUntil([&] { return TopIndex() > 5; })) << "the track scrolls a page";

  const BarLayout now = Layout(SB_VERT, list_);
  const POINT grip = OnBar(SB_VERT, now.nThumbStart + 3, list_);
  const POINT end = OnBar(SB_VERT, now.nThumbStart + 3 + now.ThumbTravel(), list_);
  Click(grip, true);
  MoveTo(end);
  const int last = kRows - static_cast<int>(SendMessageW(list_, LVM_GETCOUNTPERPAGE, 0, 0));
  // The press lands close to the page click, so the system makes it a double click.
  ASSERT_TRUE(PumpMessagesUntil([&] { return TopIndex() == last; }))
      << "dragging the thumb to the end";
  Click(end, false);
  PumpMessages();
  EXPECT_EQ(last, GetScrollPos(list_, SB_VERT)) << "the skinned state follows the list";
  EXPECT_EQ(Layout(SB_VERT, list_).nThumbEnd, Layout(SB_VERT, list_).nTrackEnd);
  EXPECT_TRUE(testsupport::SaveWindowPng(Host(), L"screenshots\\skin_scrollbar_list_scrolled.png"));
}

}  // namespace
