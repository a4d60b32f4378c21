// Message crackers: map entries that unpack a message's parameters into typed handler arguments.
//
// Use them between BEGIN_MSG_MAP_EX and END_MSG_MAP (plain entries such as MESSAGE_HANDLER work
// there too). A cracked handler counts as handling its message; it calls SetMsgHandled(FALSE) to
// let the search go on, as bHandled = FALSE does for the plain entries.
//
// Handles are passed as raw handles (HDC, HWND), points and sizes as POINT and SIZE, so that
// handlers may take CDCHandle, CWindow, CPoint or CSize parameters.
#pragma once

#include <windows.h>

#include "winlayer/message_map.h"

#define BEGIN_MSG_MAP_EX(theClass)                                                                \
 public:                                                                                          \
  BOOL m_bMsgHandled = TRUE;                                                                      \
  void SetMsgHandled(BOOL handled) {                                                              \
    m_bMsgHandled = handled;                                                                      \
  }                                                                                               \
  BOOL IsMsgHandled() const {                                                                     \
    return m_bMsgHandled;                                                                         \
  }                                                                                               \
  /* A handler may send messages to its own window: keep the outer message's flag. */             \
  BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult, \
                            DWORD dwMsgMapID = 0) {                                               \
    BOOL outerHandled = m_bMsgHandled;                                                            \
    BOOL result = ProcessWindowMessageEx(hWnd, uMsg, wParam, lParam, lResult, dwMsgMapID);        \
    m_bMsgHandled = outerHandled;                                                                 \
    return result;                                                                                \
  }                                                                                               \
  BOOL ProcessWindowMessageEx(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,                 \
                              LRESULT& lResult, DWORD dwMsgMapID) {                               \
    WINLAYER_MAP_BODY_BEGIN

// Runs a cracked handler: statement computes lResult (or not, for handlers that return void).
#define WINLAYER_CRACK(condition, statement) \
  if (condition) {                           \
    SetMsgHandled(TRUE);                     \
    lResult = 0;                             \
    statement;                               \
    if (IsMsgHandled()) return TRUE;         \
  }

// Signed coordinates.
#define WINLAYER_X(lp) static_cast<int>(static_cast<short>(LOWORD(lp)))
#define WINLAYER_Y(lp) static_cast<int>(static_cast<short>(HIWORD(lp)))
#define WINLAYER_POINT (POINT{WINLAYER_X(lParam), WINLAYER_Y(lParam)})
#define WINLAYER_HWND(x) reinterpret_cast<HWND>(x)
#define WINLAYER_HDC(x) reinterpret_cast<HDC>(x)

// int OnCreate(LPCREATESTRUCT)
#define MSG_WM_CREATE(func)         \
  WINLAYER_CRACK(uMsg == WM_CREATE, \
                 lResult = static_cast<LRESULT>(func(reinterpret_cast<LPCREATESTRUCT>(lParam))))
// BOOL OnInitDialog(CWindow wndFocus, LPARAM lInitParam)
#define MSG_WM_INITDIALOG(func)         \
  WINLAYER_CRACK(uMsg == WM_INITDIALOG, \
                 lResult = static_cast<LRESULT>(func(WINLAYER_HWND(wParam), lParam)))
// void OnDestroy() / OnClose()
#define MSG_WM_DESTROY(func) WINLAYER_CRACK(uMsg == WM_DESTROY, func())
#define MSG_WM_CLOSE(func) WINLAYER_CRACK(uMsg == WM_CLOSE, func())
// void OnSize(UINT nType, CSize size)
#define MSG_WM_SIZE(func)         \
  WINLAYER_CRACK(uMsg == WM_SIZE, \
                 func(static_cast<UINT>(wParam), (SIZE{WINLAYER_X(lParam), WINLAYER_Y(lParam)})))
// void OnGetMinMaxInfo(LPMINMAXINFO)
#define MSG_WM_GETMINMAXINFO(func) \
  WINLAYER_CRACK(uMsg == WM_GETMINMAXINFO, func(reinterpret_cast<LPMINMAXINFO>(lParam)))
// void OnShowWindow(BOOL bShow, UINT nStatus)
#define MSG_WM_SHOWWINDOW(func) \
  WINLAYER_CRACK(uMsg == WM_SHOWWINDOW, func(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)))

// void OnPaint(CDCHandle dc)
#define MSG_WM_PAINT(func) WINLAYER_CRACK(uMsg == WM_PAINT, func(WINLAYER_HDC(wParam)))
// BOOL OnEraseBkgnd(CDCHandle dc)
#define MSG_WM_ERASEBKGND(func) \
  WINLAYER_CRACK(uMsg == WM_ERASEBKGND, lResult = static_cast<LRESULT>(func(WINLAYER_HDC(wParam))))
// void OnTimer(UINT_PTR nIDEvent)
#define MSG_WM_TIMER(func) WINLAYER_CRACK(uMsg == WM_TIMER, func(static_cast<UINT_PTR>(wParam)))

// void OnCommand(UINT uNotifyCode, int nID, CWindow wndCtl)
#define MSG_WM_COMMAND(func)         \
  WINLAYER_CRACK(uMsg == WM_COMMAND, \
                 func(HIWORD(wParam), static_cast<int>(LOWORD(wParam)), WINLAYER_HWND(lParam)))
// LRESULT OnNotify(int idCtrl, LPNMHDR pnmh)
#define MSG_WM_NOTIFY(func)         \
  WINLAYER_CRACK(uMsg == WM_NOTIFY, \
                 lResult = func(static_cast<int>(wParam), reinterpret_cast<LPNMHDR>(lParam)))
// void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT) / OnMeasureItem(int, LPMEASUREITEMSTRUCT)
#define MSG_WM_DRAWITEM(func)                                                                 \
  WINLAYER_CRACK(uMsg == WM_DRAWITEM,                                                         \
                 (func(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)), \
                  lResult = TRUE))
#define MSG_WM_MEASUREITEM(func)                                                                 \
  WINLAYER_CRACK(uMsg == WM_MEASUREITEM,                                                         \
                 (func(static_cast<int>(wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)), \
                  lResult = TRUE))

// HBRUSH OnCtlColorXxx(CDCHandle dc, CWindow wnd)
#define WINLAYER_CTLCOLOR(message, func)                                 \
  WINLAYER_CRACK(uMsg == (message), lResult = reinterpret_cast<LRESULT>( \
                                        func(WINLAYER_HDC(wParam), WINLAYER_HWND(lParam))))
#define MSG_WM_CTLCOLOREDIT(func) WINLAYER_CTLCOLOR(WM_CTLCOLOREDIT, func)
#define MSG_WM_CTLCOLORSTATIC(func) WINLAYER_CTLCOLOR(WM_CTLCOLORSTATIC, func)
#define MSG_WM_CTLCOLORBTN(func) WINLAYER_CTLCOLOR(WM_CTLCOLORBTN, func)
#define MSG_WM_CTLCOLORDLG(func) WINLAYER_CTLCOLOR(WM_CTLCOLORDLG, func)
#define MSG_WM_CTLCOLORLISTBOX(func) WINLAYER_CTLCOLOR(WM_CTLCOLORLISTBOX, func)
#define MSG_WM_CTLCOLORSCROLLBAR(func) WINLAYER_CTLCOLOR(WM_CTLCOLORSCROLLBAR, func)

// void OnSetFocus(CWindow wndOld) / OnKillFocus(CWindow wndFocus)
#define MSG_WM_SETFOCUS(func) WINLAYER_CRACK(uMsg == WM_SETFOCUS, func(WINLAYER_HWND(wParam)))
#define MSG_WM_KILLFOCUS(func) WINLAYER_CRACK(uMsg == WM_KILLFOCUS, func(WINLAYER_HWND(wParam)))
// void OnCaptureChanged(CWindow wnd)
#define MSG_WM_CAPTURECHANGED(func) \
  WINLAYER_CRACK(uMsg == WM_CAPTURECHANGED, func(WINLAYER_HWND(lParam)))

// void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags), and the same for the others
#define WINLAYER_KEY(message, func) \
  WINLAYER_CRACK(uMsg == (message), func(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
#define MSG_WM_KEYDOWN(func) WINLAYER_KEY(WM_KEYDOWN, func)
#define MSG_WM_KEYUP(func) WINLAYER_KEY(WM_KEYUP, func)
#define MSG_WM_CHAR(func) WINLAYER_KEY(WM_CHAR, func)
#define MSG_WM_SYSKEYDOWN(func) WINLAYER_KEY(WM_SYSKEYDOWN, func)

// void OnMouseMove(UINT nFlags, CPoint point), and the same for the buttons
#define WINLAYER_MOUSE(message, func) \
  WINLAYER_CRACK(uMsg == (message), func(static_cast<UINT>(wParam), WINLAYER_POINT))
#define MSG_WM_MOUSEMOVE(func) WINLAYER_MOUSE(WM_MOUSEMOVE, func)
#define MSG_WM_LBUTTONDOWN(func) WINLAYER_MOUSE(WM_LBUTTONDOWN, func)
#define MSG_WM_LBUTTONUP(func) WINLAYER_MOUSE(WM_LBUTTONUP, func)
#define MSG_WM_LBUTTONDBLCLK(func) WINLAYER_MOUSE(WM_LBUTTONDBLCLK, func)
#define MSG_WM_RBUTTONDOWN(func) WINLAYER_MOUSE(WM_RBUTTONDOWN, func)
#define MSG_WM_RBUTTONUP(func) WINLAYER_MOUSE(WM_RBUTTONUP, func)
// void OnMouseLeave()
#define MSG_WM_MOUSELEAVE(func) WINLAYER_CRACK(uMsg == WM_MOUSELEAVE, func())
// void OnMouseHover(WPARAM wParam, CPoint point)
#define MSG_WM_MOUSEHOVER(func) WINLAYER_CRACK(uMsg == WM_MOUSEHOVER, func(wParam, WINLAYER_POINT))
// BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint point)
#define MSG_WM_MOUSEWHEEL(func)                  \
  WINLAYER_CRACK(uMsg == WM_MOUSEWHEEL,          \
                 lResult = static_cast<LRESULT>( \
                     func(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), WINLAYER_POINT)))
// BOOL OnSetCursor(CWindow wnd, UINT nHitTest, UINT message)
#define MSG_WM_SETCURSOR(func) \
  WINLAYER_CRACK(              \
      uMsg == WM_SETCURSOR,    \
      lResult = static_cast<LRESULT>(func(WINLAYER_HWND(wParam), LOWORD(lParam), HIWORD(lParam))))

// UINT OnNcHitTest(CPoint point)
#define MSG_WM_NCHITTEST(func) \
  WINLAYER_CRACK(uMsg == WM_NCHITTEST, lResult = static_cast<LRESULT>(func(WINLAYER_POINT)))
// void OnNcLButtonDown(UINT nHitTest, CPoint point) / OnNcLButtonDblClk(...)
#define MSG_WM_NCLBUTTONDOWN(func) \
  WINLAYER_CRACK(uMsg == WM_NCLBUTTONDOWN, func(static_cast<UINT>(wParam), WINLAYER_POINT))
#define MSG_WM_NCLBUTTONDBLCLK(func) \
  WINLAYER_CRACK(uMsg == WM_NCLBUTTONDBLCLK, func(static_cast<UINT>(wParam), WINLAYER_POINT))
// void OnSysCommand(UINT nID, CPoint point)
#define MSG_WM_SYSCOMMAND(func) \
  WINLAYER_CRACK(uMsg == WM_SYSCOMMAND, func(static_cast<UINT>(wParam), WINLAYER_POINT))
// void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar bar) / OnVScroll(...)
#define MSG_WM_HSCROLL(func) \
  WINLAYER_CRACK(uMsg == WM_HSCROLL, func(LOWORD(wParam), HIWORD(wParam), WINLAYER_HWND(lParam)))
#define MSG_WM_VSCROLL(func) \
  WINLAYER_CRACK(uMsg == WM_VSCROLL, func(LOWORD(wParam), HIWORD(wParam), WINLAYER_HWND(lParam)))
// void OnHotKey(int nHotKeyID, UINT uModifiers, UINT uVirtKey)
#define MSG_WM_HOTKEY(func) \
  WINLAYER_CRACK(uMsg == WM_HOTKEY, func(static_cast<int>(wParam), LOWORD(lParam), HIWORD(lParam)))
// BOOL OnDeviceChange(UINT nEventType, DWORD_PTR dwData)
#define MSG_WM_DEVICECHANGE(func)                \
  WINLAYER_CRACK(uMsg == WM_DEVICECHANGE,        \
                 lResult = static_cast<LRESULT>( \
                     func(static_cast<UINT>(wParam), static_cast<DWORD_PTR>(lParam))))

// LRESULT OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
#define MESSAGE_HANDLER_EX(msg, func) \
  WINLAYER_CRACK(uMsg == (msg), lResult = func(uMsg, wParam, lParam))
#define MESSAGE_RANGE_HANDLER_EX(msgFirst, msgLast, func) \
  WINLAYER_CRACK(uMsg >= (msgFirst) && uMsg <= (msgLast), lResult = func(uMsg, wParam, lParam))

// void OnCommand(UINT uNotifyCode, int nID, CWindow wndCtl)
#define WINLAYER_COMMAND_EX(condition, func)        \
  WINLAYER_CRACK(uMsg == WM_COMMAND && (condition), \
                 func(HIWORD(wParam), static_cast<int>(LOWORD(wParam)), WINLAYER_HWND(lParam)))
#define COMMAND_ID_HANDLER_EX(id, func) \
  WINLAYER_COMMAND_EX(LOWORD(wParam) == static_cast<WORD>(id), func)
#define COMMAND_CODE_HANDLER_EX(code, func) \
  WINLAYER_COMMAND_EX(HIWORD(wParam) == static_cast<WORD>(code), func)
#define COMMAND_HANDLER_EX(id, code, func) \
  WINLAYER_COMMAND_EX(                     \
      LOWORD(wParam) == static_cast<WORD>(id) && HIWORD(wParam) == static_cast<WORD>(code), func)

// LRESULT OnNotify(LPNMHDR pnmh)
#define WINLAYER_NOTIFY_EX(message, condition, func) \
  WINLAYER_CRACK(uMsg == (message) && (condition), lResult = func(WINLAYER_NMHDR))
#define NOTIFY_HANDLER_EX(id, cd, func)                                     \
  WINLAYER_NOTIFY_EX(WM_NOTIFY,                                             \
                     WINLAYER_NMHDR->idFrom == static_cast<UINT_PTR>(id) && \
                         WINLAYER_NMHDR->code == static_cast<UINT>(cd),     \
                     func)
#define NOTIFY_ID_HANDLER_EX(id, func) \
  WINLAYER_NOTIFY_EX(WM_NOTIFY, WINLAYER_NMHDR->idFrom == static_cast<UINT_PTR>(id), func)
#define NOTIFY_CODE_HANDLER_EX(cd, func) \
  WINLAYER_NOTIFY_EX(WM_NOTIFY, WINLAYER_NMHDR->code == static_cast<UINT>(cd), func)
#define REFLECTED_NOTIFY_CODE_HANDLER_EX(cd, func) \
  WINLAYER_NOTIFY_EX(OCM_NOTIFY, WINLAYER_NMHDR->code == static_cast<UINT>(cd), func)
