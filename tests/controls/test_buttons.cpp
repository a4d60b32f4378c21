// The dialogs' buttons, tips and links on real windows: the flat button's faces (read back from
// a DIB), the tip's one tool and the mouse messages relayed to it, and the link's painting,
// presses and its own copy of the address.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "controls/link.h"
#include "controls/my_button.h"
#include "controls/my_tip.h"
#include "support/canvas.h"
#include "support/message_box_recorder.h"
#include "support/program_folder.h"
#include "winlayer/geometry.h"

using testsupport::Canvas;

namespace {

// The log and the main frame that owns message boxes stay out of the build tree.
::testing::Environment* const g_folder =
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);

constexpr COLORREF kNormal = 0x117FE4;
constexpr COLORREF kPressed = 0xD8E9EC;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr wchar_t kUnopenable[] = L"zzz-no-such-scheme:register";

// The bounding box of the pixels of one colour.
CRect Extent(const Canvas& canvas, COLORREF colour) {
  CRect box;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      if (canvas.at(x, y) != colour) continue;
      box.UnionRect(&box, CRect(x, y, x + 1, y + 1));
    }
  }
  return box;
}

// Records what the thread sends to tooltips: activations and relayed mouse messages.
struct TipCalls {
  HWND from = nullptr;        // the control under test
  std::vector<UINT> relayed;  // its mouse messages at (3, 4)
  int activation = -1;        // the last TTM_ACTIVATE: 1, 0, or -1 for none
};
TipCalls* g_tipCalls = nullptr;

LRESULT CALLBACK RecordTipCalls(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && g_tipCalls && sent->message == TTM_ACTIVATE) {
    g_tipCalls->activation = sent->wParam ? 1 : 0;
  } else if (code == HC_ACTION && g_tipCalls && sent->message == TTM_RELAYEVENT) {
    const auto* msg = reinterpret_cast<const MSG*>(sent->lParam);
    if (msg->hwnd == g_tipCalls->from && msg->lParam == MAKELPARAM(3, 4)) {
      g_tipCalls->relayed.push_back(msg->message);
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

class ButtonsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&init);
  }
  void SetUp() override {
    ASSERT_TRUE(host.Create(L"STATIC", nullptr, CRect(0, 0, 400, 200), L"", WS_POPUP));
    g_tipCalls = &tipCalls;
    hook = ::SetWindowsHookExW(WH_CALLWNDPROC, RecordTipCalls, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
  }
  void TearDown() override {
    ::UnhookWindowsHookEx(hook);
    g_tipCalls = nullptr;
    host.DestroyWindow();
  }
  HWND Make(LPCWSTR className, LPCWSTR text, DWORD style, const RECT& rect) {
    HWND window = CWindow().Create(className, host, rect, text, WS_CHILD | WS_VISIBLE | style);
    EXPECT_NE(nullptr, window);
    tipCalls.from = window;
    return window;
  }
  // The text of the tip's tool 1313 over window, and the tool's rectangle.
  static std::wstring ToolText(HWND tip, HWND window, RECT* rect) {
    wchar_t buffer[256] = {};
    CToolInfo tool(0, window, 1313, nullptr, buffer);
    if (!::SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool))) return L"-";
    *rect = tool.rect;
    tool.lpszText = buffer;
    ::SendMessageW(tip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
    return buffer;
  }
  static void Mouse(HWND window, UINT message) {
    ::SendMessageW(window, message, 0, MAKELPARAM(3, 4));
  }

  CWindow host;
  TipCalls tipCalls;
  HHOOK hook = nullptr;
};

// Draws button into canvas as the owner's WM_DRAWITEM handler does.
void Draw(CMyButton& button, Canvas& canvas, UINT action, UINT state) {
  DRAWITEMSTRUCT dis = {ODT_BUTTON, 1, 0, action, state, button, canvas.hdc(), {}, 0};
  dis.rcItem = {0, 0, canvas.width(), canvas.height()};
  button.DrawItem(dis);
}

}  // namespace

TEST_F(ButtonsTest, AButtonIsDrawnInTheColourOfItsStateWithCentredWhiteText) {
  CMyButton button;
  button.Attach(Make(L"BUTTON", L"登录", BS_OWNERDRAW, CRect(0, 0, 80, 30)));
  button.SetNormalBkColor(kNormal);
  button.SetPressedBkColor(kPressed);
  Canvas canvas(80, 30);
  HGDIOBJ fontBefore = ::GetCurrentObject(canvas.hdc(), OBJ_FONT);

  Draw(button, canvas, ODA_DRAWENTIRE, 0);
  EXPECT_EQ(kNormal, canvas.at(0, 0));
  CRect text = Extent(canvas, kWhite);
  EXPECT_NEAR(40, text.CenterPoint().x, 2);
  EXPECT_NEAR(15, text.CenterPoint().y, 2);
  EXPECT_EQ(fontBefore, ::GetCurrentObject(canvas.hdc(), OBJ_FONT));  // the caller's font back

  Draw(button, canvas, ODA_SELECT, ODS_SELECTED);  // pressed: inside a grey frame
  EXPECT_EQ(0x646464u, canvas.at(79, 29));
  EXPECT_EQ(kPressed, canvas.at(1, 1));
  Draw(button, canvas, ODA_FOCUS, ODS_SELECTED | ODS_FOCUS);  // no frame for a focus change
  EXPECT_EQ(kPressed, canvas.at(0, 0));
  Draw(button, canvas, ODA_SELECT, 0);  // released: the text comes back with the face
  EXPECT_EQ(text, Extent(canvas, kWhite));
}

TEST_F(ButtonsTest, ATextLongerThan512CharactersShowsOnlyTheFirst512) {
  // Blanks draw nothing: only the mark behind them shows whether it was reached.
  CMyButton button;
  button.Attach(
      Make(L"BUTTON", (std::wstring(511, L' ') + L"X").c_str(), BS_OWNERDRAW, CRect(0, 0, 80, 30)));
  Canvas canvas(6000, 20);  // far wider than 513 characters
  Draw(button, canvas, ODA_DRAWENTIRE, 0);
  EXPECT_GT(canvas.Count(kWhite), 5);
  button.SetWindowText((std::wstring(512, L' ') + L"X").c_str());
  Draw(button, canvas, ODA_DRAWENTIRE, 0);
  EXPECT_EQ(0, canvas.Count(kWhite));
}

TEST_F(ButtonsTest, ATipHasOneToolRelaysTheMouseAndIsActiveOnlyWithAText) {
  HWND button = Make(L"BUTTON", L"上传", BS_PUSHBUTTON, CRect(10, 10, 110, 40));
  CMyTip tip;
  ASSERT_TRUE(tip.Init(button, L"F11"));
  EXPECT_EQ(1, ::SendMessageW(tip.GetToolTip(), TTM_GETTOOLCOUNT, 0, 0));
  CRect rect;
  EXPECT_EQ(L"F11", ToolText(tip.GetToolTip(), button, &rect));
  EXPECT_EQ(CRect(0, 0, 100, 30), rect);
  EXPECT_EQ(1, tipCalls.activation);

  for (UINT message :
       {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_XBUTTONDBLCLK, WM_MOUSEHWHEEL, WM_KEYDOWN}) {
    Mouse(button, message);
  }
  std::vector<UINT> relayed = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_XBUTTONDBLCLK};
  EXPECT_EQ(relayed, tipCalls.relayed);
  EXPECT_TRUE(::SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED);  // the button took it
  Mouse(button, WM_LBUTTONUP);

  CMyTip silent;
  ASSERT_TRUE(silent.Init(Make(L"BUTTON", L"预览", 0, CRect(0, 0, 9, 9)), nullptr));
  EXPECT_EQ(1, ::SendMessageW(silent.GetToolTip(), TTM_GETTOOLCOUNT, 0, 0));
  EXPECT_EQ(0, tipCalls.activation);
  EXPECT_FALSE(CMyTip().Init(button, L"again"));  // one window object per window
}

TEST_F(ButtonsTest, ATipGoesWithItsControlOrWithItsObject) {
  HWND button = Make(L"BUTTON", L"保存", BS_PUSHBUTTON, CRect(0, 0, 50, 20));
  HWND tipWindow = nullptr;
  {
    CMyTip tip;
    ASSERT_TRUE(tip.Init(button, L"Ctrl+S"));
    tipWindow = tip.GetToolTip();
  }
  EXPECT_FALSE(::IsWindow(tipWindow));
  Mouse(button, WM_MOUSEMOVE);  // the control works on without its object

  CMyTip tip;
  ASSERT_TRUE(tip.Init(button, L"Ctrl+S"));
  tipWindow = tip.GetToolTip();
  ::DestroyWindow(button);
  EXPECT_FALSE(::IsWindow(tipWindow));
}

TEST_F(ButtonsTest, ALinkPaintsItsTextKeepsItsAddressAndShowsItAsATip) {
  HWND label = Make(L"STATIC", L"注册新用户", 0, CRect(10, 10, 110, 30));
  wchar_t address[64];
  lstrcpyW(address, kUnopenable);
  CLink link;
  ASSERT_TRUE(link.Init(label, address, CString(L"注册新用户")));
  lstrcpyW(address, L"zzz-other:x");  // the caller's buffer may go as soon as Init returns
  EXPECT_STREQ(kUnopenable, link.GetUrl());
  EXPECT_TRUE(link.GetStyle() & SS_NOTIFY);  // or the static would never see the mouse
  CRect rect;
  EXPECT_EQ(kUnopenable, ToolText(link.GetToolTip(), link, &rect));
  EXPECT_EQ(1, tipCalls.activation);

  Canvas canvas(100, 20);
  ::SendMessageW(link, WM_PAINT, reinterpret_cast<WPARAM>(canvas.hdc()), 0);
  EXPECT_EQ(0x373438u, canvas.at(99, 19));
  CRect text = Extent(canvas, 0xA19FA1);
  EXPECT_NEAR(50, text.CenterPoint().x, 2);
  EXPECT_LT(text.top, 5);  // one line from the top

  ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  Mouse(link, WM_MOUSEMOVE);
  EXPECT_EQ(::LoadCursorW(nullptr, IDC_HAND), ::GetCursor());
  EXPECT_EQ(std::vector<UINT>{WM_MOUSEMOVE}, tipCalls.relayed);
}

TEST_F(ButtonsTest, APressInsideALinkOpensItsAddressAndEveryPressDragsTheDialog) {
  testsupport::MessageBoxRecorder boxes;  // the shell cannot open the address: a box says so
  CLink link;
  ASSERT_TRUE(link.Init(Make(L"STATIC", L"忘记密码？", 0, CRect(10, 10, 110, 30)), kUnopenable,
                        CString(L"忘记密码？")));
  MSG msg;
  auto takePress = [&](HWND window) {  // taken, never dispatched: it starts a move loop
    return ::PeekMessageW(&msg, window, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE) != FALSE;
  };
  Mouse(link, WM_LBUTTONDOWN);
  EXPECT_EQ(1u, boxes.count());
  ASSERT_TRUE(takePress(host));
  EXPECT_EQ(static_cast<WPARAM>(HTCAPTION), msg.wParam);
  CPoint onScreen(3, 4);
  link.ClientToScreen(&onScreen);
  EXPECT_EQ(onScreen, CPoint(msg.lParam));
  EXPECT_TRUE(tipCalls.relayed.empty());  // the press belongs to the link alone

  // From outside (the mouse captured elsewhere): nothing opens, the dialog still drags.
  ::SendMessageW(link, WM_LBUTTONDOWN, 0, MAKELPARAM(-5, 40));
  EXPECT_EQ(1u, boxes.count());
  EXPECT_TRUE(takePress(host));
}
