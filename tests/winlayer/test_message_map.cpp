// Cracked handlers get their parameters unpacked (signed coordinates included) and can pass a
// message on; a parent's notifications reach the control that sent them.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "winlayer/gdi_dc.h"
#include "winlayer/geometry.h"
#include "winlayer/msg_crackers.h"
#include "winlayer/window_impl.h"

namespace {

constexpr UINT kNested = WM_USER + 5;
using Log = std::vector<std::string>;

class Cracked : public CWindowImpl<Cracked, CWindow, CWinTraits<WS_POPUP>> {
 public:
  Log log;
  CPoint lastPoint;
  CSize lastSize;
  bool passNested = false;

  BEGIN_MSG_MAP_EX(Cracked)
  MSG_WM_CREATE(OnCreate)
  MSG_WM_SIZE(OnSize)
  MSG_WM_LBUTTONDOWN(OnLButtonDown)
  MSG_WM_COMMAND(OnCommand)
  MSG_WM_KEYDOWN(OnKeyDown)
  MSG_WM_ERASEBKGND(OnEraseBkgnd)
  MSG_WM_TIMER(OnTimer)
  MESSAGE_HANDLER_EX(kNested, OnNested)
  MESSAGE_HANDLER(WM_TIMER, OnTimerFellThrough)
  END_MSG_MAP()

  int OnCreate(LPCREATESTRUCT create) {
    log.push_back("create " + std::to_string(create->cx));
    return 0;
  }
  void OnSize(UINT, CSize size) { lastSize = size; }
  void OnLButtonDown(UINT flags, CPoint point) {
    lastPoint = point;
    log.push_back("button flags " + std::to_string(flags));
  }
  void OnCommand(UINT code, int id, CWindow control) {
    log.push_back("command " + std::to_string(code) + " " + std::to_string(id) +
                  (control.m_hWnd == m_hWnd ? " self" : " other"));
  }
  void OnKeyDown(UINT key, UINT repeat, UINT flags) {
    log.push_back("key " + std::to_string(key) + " " + std::to_string(repeat) + " " +
                  std::to_string(flags));
  }
  BOOL OnEraseBkgnd(CDCHandle dc) { return dc.m_hDC != nullptr ? 7 : 0; }
  // Sends itself a message whose handler passes it on; the timer itself stays handled.
  void OnTimer(UINT_PTR id) {
    passNested = true;
    SendMessage(kNested);
    passNested = false;
    log.push_back("timer " + std::to_string(id));
  }
  LRESULT OnNested(UINT, WPARAM, LPARAM) {
    SetMsgHandled(!passNested);
    return 0;
  }
  LRESULT OnTimerFellThrough(UINT, WPARAM, LPARAM, BOOL&) {
    log.push_back("timer fell through");
    return 0;
  }
};

TEST(MessageCrackers, UnpackParametersAndKeepEachMessagesOwnHandledFlag) {
  Cracked w;
  RECT rect = {0, 0, 120, 80};
  ASSERT_NE(nullptr, w.Create(nullptr, rect));
  w.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
  EXPECT_EQ(CSize(300, 200), w.lastSize);
  w.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, 7));  // left of the primary monitor
  EXPECT_EQ(CPoint(-5, 7), w.lastPoint);
  w.SendMessage(WM_COMMAND, MAKEWPARAM(1022, BN_CLICKED), reinterpret_cast<LPARAM>(w.m_hWnd));
  w.SendMessage(WM_KEYDOWN, VK_F5, MAKELPARAM(1, 0x3F));
  HDC dc = GetDC(w);
  EXPECT_EQ(7, w.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)));
  ReleaseDC(w, dc);
  w.SendMessage(WM_TIMER, 2);

  EXPECT_EQ((Log{"create 120", "button flags 1", "command 0 1022 self", "key 116 1 63", "timer 2"}),
            w.log);
  w.DestroyWindow();
}

// ---- reflection

class ReflectingParent : public CWindowImpl<ReflectingParent, CWindow, CWinTraits<WS_POPUP>> {
 public:
  int commandsSeen = 0;
  BEGIN_MSG_MAP(ReflectingParent)
  MESSAGE_HANDLER(WM_COMMAND, OnCommand)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()
  // Looks at commands and lets them go on to the reflection.
  LRESULT OnCommand(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    ++commandsSeen;
    bHandled = FALSE;
    return 0;
  }
};

class ReflectedStatic : public CWindowImpl<ReflectedStatic> {
 public:
  HBRUSH brush = nullptr;
  int clicks = 0;
  BEGIN_MSG_MAP(ReflectedStatic)
  MESSAGE_HANDLER(OCM_CTLCOLORSTATIC, OnColor)
  REFLECTED_COMMAND_CODE_HANDLER(STN_CLICKED, OnClicked)
  DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()
  LRESULT OnColor(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = brush != nullptr;
    return reinterpret_cast<LRESULT>(brush);
  }
  LRESULT OnClicked(WORD, WORD, HWND, BOOL&) {
    ++clicks;
    return 0;
  }
};

class ReflectionTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(nullptr, parent.Create(nullptr, rect)); }
  void TearDown() override { parent.DestroyWindow(); }
  RECT rect = {0, 0, 300, 200};
  ReflectingParent parent;
};

TEST_F(ReflectionTest, ColourAndCommandNotificationsGoBackToTheControl) {
  CWindow label;
  ASSERT_NE(nullptr, label.Create(L"STATIC", parent, rect, L"x", WS_CHILD | SS_NOTIFY, 0, 5));
  ReflectedStatic control;
  ASSERT_TRUE(control.SubclassWindow(label));
  HDC dc = GetDC(parent);
  WPARAM wParam = reinterpret_cast<WPARAM>(dc);
  LPARAM lParam = reinterpret_cast<LPARAM>(label.m_hWnd);

  // Unhandled by the control: the default colour processing, not the static's own procedure.
  EXPECT_EQ(DefWindowProcW(parent, WM_CTLCOLORSTATIC, wParam, lParam),
            parent.SendMessage(WM_CTLCOLORSTATIC, wParam, lParam));
  control.brush = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  EXPECT_EQ(reinterpret_cast<LRESULT>(control.brush),
            parent.SendMessage(WM_CTLCOLORSTATIC, wParam, lParam));
  ReleaseDC(parent, dc);

  parent.SendMessage(WM_COMMAND, MAKEWPARAM(5, STN_CLICKED), lParam);
  parent.SendMessage(WM_COMMAND, MAKEWPARAM(40001, 0), 0);  // a menu command: nothing to reflect
  EXPECT_EQ(1, control.clicks);
  EXPECT_EQ(2, parent.commandsSeen);
}

}  // namespace
