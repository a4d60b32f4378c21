// The dialogs' buttons, tips and links on real windows: the flat button's faces (read back from
// a DIB), the tip's one tool and the mouse messages relayed to it, and the link's painting,
// clicks and its own copy of the address.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controls/link.h"
#include "controls/my_button.h"
#include "controls/my_tip.h"
#include "support/canvas.h"
#include "support/gtest_cstring.h"
#include "support/message_box_recorder.h"
#include "support/program_folder.h"
#include "winlayer/geometry.h"
#include "winlayer/window_impl.h"

using testsupport::Canvas;

namespace {

// The log and the main frame that message boxes belong to stay out of the build tree.
::testing::Environment* const g_folder =
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);

constexpr int kButtonId = 1;
constexpr COLORREF kNormal = 0x117FE4;
constexpr COLORREF kPressed = 0xD8E9EC;
constexpr COLORREF kFrame = 0x646464;
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A dialog-like owner: it routes WM_DRAWITEM of its button to the CMyButton, as the dialogs do.
class Host : public CWindowImpl<Host, CWindow, CWinTraits<WS_POPUP | WS_CLIPCHILDREN>> {
 public:
  CMyButton button;
  int draws = 0;
  std::vector<WORD> notifications;  // of WM_COMMAND

  BEGIN_MSG_MAP(Host)
  MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
  MESSAGE_HANDLER(WM_COMMAND, OnCommand)
  END_MSG_MAP()

  LRESULT OnCommand(UINT, WPARAM wParam, LPARAM, BOOL&) {
    notifications.push_back(HIWORD(wParam));
    return 0;
  }

  LRESULT OnDrawItem(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (wParam != kButtonId) {
      bHandled = FALSE;
      return 0;
    }
    ++draws;
    button.DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return TRUE;
  }
};

class ButtonsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&init);
  }
  void SetUp() override { ASSERT_TRUE(host.Create(nullptr, CRect(0, 0, 400, 200))); }
  void TearDown() override { host.DestroyWindow(); }

  HWND MakeButton(LPCWSTR text, DWORD style = BS_OWNERDRAW,
                  const RECT& rect = CRect(0, 0, 80, 30)) {
    CButton button;
    button.Create(host, rect, text, WS_CHILD | WS_VISIBLE | style, 0, kButtonId);
    EXPECT_TRUE(button.IsWindow());
    return button;
  }
  // Has the button draw itself into canvas as the owner's WM_DRAWITEM would.
  void Draw(Canvas& canvas, UINT action, UINT state) {
    DRAWITEMSTRUCT dis = {ODT_BUTTON,
                          kButtonId,
                          0,
                          action,
                          state,
                          host.button,
                          canvas.hdc(),
                          RECT{0, 0, canvas.width(), canvas.height()},
                          0};
    host.button.DrawItem(dis);
  }

  Host host;
};

// The bounding box of the pixels of one colour.
CRect Extent(const Canvas& canvas, COLORREF colour) {
  CRect box(canvas.width(), canvas.height(), -1, -1);
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      if (canvas.at(x, y) != colour) continue;
      box.left = std::min<LONG>(box.left, x);
      box.top = std::min<LONG>(box.top, y);
      box.right = std::max<LONG>(box.right, x + 1);
      box.bottom = std::max<LONG>(box.bottom, y + 1);
    }
  }
  return box;
}

}  // namespace

TEST_F(ButtonsTest, AButtonIsDrawnInTheColourOfItsStateWithCentredWhiteText) {
  host.button.Attach(MakeButton(L"登录"));
  host.button.SetNormalBkColor(kNormal);
  host.button.SetPressedBkColor(kPressed);
  Canvas canvas(80, 30);
  HGDIOBJ fontBefore = ::GetCurrentObject(canvas.hdc(), OBJ_FONT);

  Draw(canvas, ODA_DRAWENTIRE, 0);
  EXPECT_EQ(kNormal, canvas.at(0, 0));
  EXPECT_EQ(kNormal, canvas.at(79, 29));
  CRect text = Extent(canvas, kWhite);
  ASSERT_FALSE(text.IsRectEmpty());
  EXPECT_NEAR(40, text.CenterPoint().x, 2);
  EXPECT_NEAR(15, text.CenterPoint().y, 2);
  // The caller's DC gets its own font back (the font of the face is deleted after use).
  EXPECT_EQ(fontBefore, ::GetCurrentObject(canvas.hdc(), OBJ_FONT));

  // Pressed: the other colour inside a grey frame.
  Draw(canvas, ODA_SELECT, ODS_SELECTED);
  EXPECT_EQ(kFrame, canvas.at(0, 0));
  EXPECT_EQ(kFrame, canvas.at(79, 29));
  EXPECT_EQ(kPressed, canvas.at(1, 1));
  EXPECT_GT(canvas.Count(kWhite), 10);
  // A focus change of a pressed button repaints the face without the frame.
  Draw(canvas, ODA_FOCUS, ODS_SELECTED | ODS_FOCUS);
  EXPECT_EQ(kPressed, canvas.at(0, 0));
  // Released: the normal face with its text again.
  Draw(canvas, ODA_SELECT, 0);
  EXPECT_EQ(kNormal, canvas.at(0, 0));
  EXPECT_EQ(text, Extent(canvas, kWhite));
}

TEST_F(ButtonsTest, ATextLongerThan512CharactersShowsOnlyTheFirst512) {
  // Blanks draw nothing: only a mark behind them shows whether it was reached.
  std::wstring reached(511, L' ');
  reached += L"X";
  std::wstring cut(512, L' ');
  cut += L"X";
  host.button.Attach(MakeButton(reached.c_str()));
  host.button.SetNormalBkColor(kNormal);
  Canvas canvas(6000, 20);  // far wider than 513 characters of the font

  Draw(canvas, ODA_DRAWENTIRE, 0);
  EXPECT_GT(canvas.Count(kWhite), 5);
  host.button.SetWindowText(cut.c_str());
  Draw(canvas, ODA_DRAWENTIRE, 0);
  EXPECT_EQ(0, canvas.Count(kWhite));
}

TEST_F(ButtonsTest, ARealButtonIsPaintedThroughItsOwnerAndCanBeRounded) {
  host.button.Attach(MakeButton(L"取消"));
  host.button.SetNormalBkColor(kNormal);
  host.button.SetPressedBkColor(kPressed);
  Canvas canvas(80, 30);
  ::SendMessageW(host.button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.hdc()), PRF_CLIENT);
  EXPECT_GT(host.draws, 0);
  EXPECT_EQ(kNormal, canvas.at(40, 2));

  host.button.SetState(TRUE);  // held down
  ::SendMessageW(host.button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.hdc()), PRF_CLIENT);
  EXPECT_EQ(kFrame, canvas.at(40, 0));
  EXPECT_EQ(kPressed, canvas.at(40, 2));
  host.button.SetState(FALSE);

  ASSERT_TRUE(host.button.SetRoundRegion());
  CRgn region;
  region.CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(ERROR, host.button.GetWindowRgn(region));
  EXPECT_FALSE(region.PtInRegion(0, 0));
  EXPECT_TRUE(region.PtInRegion(40, 15));
  EXPECT_TRUE(region.PtInRegion(40, 0));
}

namespace {

// What the thread sent to tooltips: activations and relayed mouse messages.
struct TipCall {
  HWND tip;
  UINT message;  // TTM_ACTIVATE or TTM_RELAYEVENT
  WPARAM wParam;
  MSG relayed;
};
std::vector<TipCall>* g_tipCalls = nullptr;

LRESULT CALLBACK RecordTipCalls(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && g_tipCalls &&
      (sent->message == TTM_ACTIVATE || sent->message == TTM_RELAYEVENT)) {
    TipCall call = {sent->hwnd, sent->message, sent->wParam, MSG()};
    if (sent->message == TTM_RELAYEVENT) call.relayed = *reinterpret_cast<const MSG*>(sent->lParam);
    g_tipCalls->push_back(call);
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Records the tip calls of the current thread while it lives.
class TipCallRecorder {
 public:
  TipCallRecorder() {
    g_tipCalls = &calls;
    m_hook = ::SetWindowsHookExW(WH_CALLWNDPROC, RecordTipCalls, nullptr, ::GetCurrentThreadId());
  }
  ~TipCallRecorder() {
    ::UnhookWindowsHookEx(m_hook);
    g_tipCalls = nullptr;
  }
  TipCallRecorder(const TipCallRecorder&) = delete;
  TipCallRecorder& operator=(const TipCallRecorder&) = delete;

  bool hooked() const { return m_hook != nullptr; }
  // The relayed messages, in order.
  std::vector<UINT> Relayed(HWND tip, HWND from) const {
    std::vector<UINT> messages;
    for (const TipCall& call : calls) {
      if (call.tip == tip && call.message == TTM_RELAYEVENT && call.relayed.hwnd == from) {
        messages.push_back(call.relayed.message);
      }
    }
    return messages;
  }
  // The last activation sent to tip: 1 on, 0 off, -1 none.
  int LastActivation(HWND tip) const {
    int last = -1;
    for (const TipCall& call : calls) {
      if (call.tip == tip && call.message == TTM_ACTIVATE) last = call.wParam ? 1 : 0;
    }
    return last;
  }

  std::vector<TipCall> calls;

 private:
  HHOOK m_hook;
};

// The tip's tool 1313 of window: its rectangle and text; false when there is no such tool.
bool GetTool(HWND tip, HWND window, RECT* rect, std::wstring* text) {
  wchar_t buffer[256] = {};
  CToolInfo tool(0, window, 1313, nullptr, buffer);
  if (!::SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool))) return false;
  *rect = tool.rect;
  tool.lpszText = buffer;
  ::SendMessageW(tip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
  *text = buffer;
  return true;
}

}  // namespace

TEST_F(ButtonsTest, ATipHasOneToolOverItsControlAndIsActiveOnlyWithAText) {
  TipCallRecorder recorder;
  ASSERT_TRUE(recorder.hooked());
  HWND button = MakeButton(L"上传", BS_PUSHBUTTON, CRect(10, 10, 110, 40));
  CMyTip tip;
  ASSERT_TRUE(tip.Init(button, L"F11"));
  wchar_t className[64] = {};
  ::GetClassNameW(tip.GetToolTip(), className, 64);
  EXPECT_STREQ(L"tooltips_class32", className);
  EXPECT_EQ(1, ::SendMessageW(tip.GetToolTip(), TTM_GETTOOLCOUNT, 0, 0));
  CRect rect;
  std::wstring text;
  ASSERT_TRUE(GetTool(tip.GetToolTip(), button, &rect, &text));
  EXPECT_EQ(CRect(0, 0, 100, 30), rect);
  EXPECT_EQ(L"F11", text);
  EXPECT_EQ(1, recorder.LastActivation(tip.GetToolTip()));

  HWND silent = MakeButton(L"预览", BS_PUSHBUTTON, CRect(120, 10, 220, 40));
  CMyTip silentTip;
  ASSERT_TRUE(silentTip.Init(silent, nullptr));
  EXPECT_EQ(1, ::SendMessageW(silentTip.GetToolTip(), TTM_GETTOOLCOUNT, 0, 0));
  EXPECT_EQ(0, recorder.LastActivation(silentTip.GetToolTip()));

  // A control has one window object: a second tip on it is refused, and nothing is left over.
  CMyTip second;
  EXPECT_FALSE(second.Init(button, L"again"));
  EXPECT_EQ(nullptr, second.GetToolTip());
  EXPECT_FALSE(CMyTip().Init(nullptr, L"none"));
}

TEST_F(ButtonsTest, ATipSeesEveryMouseMessageOfItsControlWhichStillHandlesThem) {
  TipCallRecorder recorder;
  HWND button = MakeButton(L"编辑", BS_PUSHBUTTON);
  CMyTip tip;
  ASSERT_TRUE(tip.Init(button, L"F7"));
  auto send = [&](UINT message, WPARAM wParam) {
    ::SendMessageW(button, message, wParam, MAKELPARAM(5, 6));
  };
  send(WM_MOUSEMOVE, 0);
  send(WM_LBUTTONDOWN, MK_LBUTTON);
  // The button itself took the press.
  EXPECT_TRUE(::SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
  send(WM_LBUTTONUP, 0);
  send(WM_XBUTTONDBLCLK, MAKEWPARAM(0, XBUTTON1));  // the last of the mouse messages
  send(WM_MOUSEHWHEEL, 0);                          // not among them
  send(WM_KEYDOWN, VK_SPACE);

  std::vector<UINT> expected = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_XBUTTONDBLCLK};
  EXPECT_EQ(expected, recorder.Relayed(tip.GetToolTip(), button));
  for (const TipCall& call : recorder.calls) {
    if (call.message == TTM_RELAYEVENT && call.relayed.message == WM_MOUSEMOVE) {
      EXPECT_EQ(MAKELPARAM(5, 6), call.relayed.lParam);
    }
  }
}

TEST_F(ButtonsTest, ATipGoesWithItsControlOrItsObject) {
  HWND button = MakeButton(L"保存", BS_PUSHBUTTON);
  HWND tipWindow = nullptr;
  {
    CMyTip tip;
    ASSERT_TRUE(tip.Init(button, L"Ctrl+S"));
    tipWindow = tip.GetToolTip();
  }
  EXPECT_FALSE(::IsWindow(tipWindow));
  EXPECT_TRUE(::IsWindow(button));
  ::SendMessageW(button, WM_MOUSEMOVE, 0, 0);  // the control works on without its object

  CMyTip tip;
  ASSERT_TRUE(tip.Init(button, L"Ctrl+S"));
  tipWindow = tip.GetToolTip();
  ::DestroyWindow(button);
  EXPECT_FALSE(::IsWindow(tipWindow));
  EXPECT_EQ(nullptr, tip.GetToolTip());
}

namespace {

constexpr COLORREF kLinkBackground = 0x373438;
constexpr COLORREF kLinkText = 0xA19FA1;
constexpr wchar_t kUnopenable[] = L"zzz-no-such-scheme:register";

}  // namespace

class LinkTest : public ButtonsTest {
 protected:
  void SetUp() override {
    ButtonsTest::SetUp();
    label.Create(host, CRect(10, 10, 110, 30), L"注册新用户", WS_CHILD | WS_VISIBLE);
    ASSERT_TRUE(label.IsWindow());
  }
  LRESULT Press(int x, int y) {
    return ::SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  }

  CStatic label;
  CLink link;
};

TEST_F(LinkTest, ALinkPaintsItsTextCentredInThePanelColoursAndShowsItsAddressAsATip) {
  TipCallRecorder recorder;
  wchar_t address[64];
  lstrcpyW(address, kUnopenable);
  ASSERT_TRUE(link.Init(label, address, CString(L"注册新用户")));
  // The caller's buffer may be gone as soon as Init returns.
  lstrcpyW(address, L"zzz-other:x");
  EXPECT_STREQ(kUnopenable, link.GetUrl());
  EXPECT_TRUE(link.GetStyle() & SS_NOTIFY);  // or the static would never see the mouse

  Canvas canvas(100, 20);
  ::SendMessageW(link, WM_PAINT, reinterpret_cast<WPARAM>(canvas.hdc()), 0);
  EXPECT_EQ(kLinkBackground, canvas.at(0, 0));
  EXPECT_EQ(kLinkBackground, canvas.at(99, 19));
  CRect text = Extent(canvas, kLinkText);
  ASSERT_FALSE(text.IsRectEmpty());
  EXPECT_NEAR(50, text.CenterPoint().x, 2);
  EXPECT_LT(text.top, 5);  // top-aligned: one line from the top

  CRect rect;
  std::wstring tipText;
  ASSERT_TRUE(GetTool(link.GetToolTip(), link, &rect, &tipText));
  EXPECT_EQ(kUnopenable, tipText);
  EXPECT_EQ(CRect(0, 0, 100, 20), rect);
  EXPECT_EQ(1, recorder.LastActivation(link.GetToolTip()));
}

TEST_F(LinkTest, APressInsideOpensTheAddressAndEveryPressStartsDraggingTheDialog) {
  testsupport::MessageBoxRecorder boxes;  // the shell cannot open the address: a box says so
  ASSERT_TRUE(link.Init(label, kUnopenable, CString(L"注册新用户")));
  auto takePosted = [&](HWND window, MSG* msg) {
    return ::PeekMessageW(msg, window, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE) != FALSE;
  };

  Press(5, 6);
  EXPECT_EQ(1u, boxes.count());
  MSG msg;
  ASSERT_TRUE(takePosted(host, &msg));  // taken, never dispatched: it would start a move loop
  EXPECT_EQ(static_cast<WPARAM>(HTCAPTION), msg.wParam);
  CPoint onScreen(5, 6);
  link.ClientToScreen(&onScreen);
  EXPECT_EQ(onScreen, CPoint(msg.lParam));
  EXPECT_FALSE(takePosted(link, &msg));

  // A press from outside (the mouse captured elsewhere) opens nothing but still drags.
  Press(-5, 40);
  EXPECT_EQ(1u, boxes.count());
  EXPECT_TRUE(takePosted(host, &msg));
}

TEST_F(LinkTest, OtherMouseMessagesShowTheHandReachTheTipAndTheStatic) {
  TipCallRecorder recorder;
  ASSERT_TRUE(link.Init(label, kUnopenable, CString(L"忘记密码？")));
  ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  ::SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
  EXPECT_EQ(::LoadCursorW(nullptr, IDC_HAND), ::GetCursor());
  testsupport::MessageBoxRecorder boxes;
  Press(3, 4);
  ::SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
  ::SendMessageW(link, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(3, 4));
  std::vector<UINT> expected = {WM_MOUSEMOVE, WM_LBUTTONUP, WM_LBUTTONDBLCLK};
  EXPECT_EQ(expected, recorder.Relayed(link.GetToolTip(), link));
  // The static still tells its parent (the press itself belongs to the link alone).
  EXPECT_EQ(std::vector<WORD>{STN_DBLCLK}, host.notifications);

  // One window object per window; the tip goes with the static.
  CLink second;
  EXPECT_FALSE(second.Init(link, kUnopenable, CString(L"again")));
  HWND tip = link.GetToolTip();
  label.DestroyWindow();
  EXPECT_FALSE(::IsWindow(tip));
}
