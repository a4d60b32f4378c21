// CWindow: a thin, copyable handle to a window with the user32 calls as members.
//
// It owns nothing: copying it copies the handle, and destroying it leaves the window alone.
// The control wrappers and every window class of the program derive from it.
#pragma once

#include <windows.h>
// windowsx.h's SubclassWindow macro would rewrite CWindowImpl::SubclassWindow. Including it here
// first and dropping the macro keeps any later include of it from doing so.
#include <windowsx.h>
#undef SubclassWindow

#include "winlayer/cstring.h"

// A RECT given by reference or by pointer (null for "no rectangle"), so that creation calls can
// pass either the familiar rcDefault or a local CRect.
class RectArg {
 public:
  RectArg(const RECT* rect = nullptr) : m_rect(rect) {}  // NOLINT: implicit by design
  RectArg(const RECT& rect) : m_rect(&rect) {}           // NOLINT: implicit by design
  const RECT* get() const { return m_rect; }

 private:
  const RECT* m_rect;
};

// A child window id or a menu handle, the two meanings of CreateWindowEx's hMenu argument.
class MenuOrIdArg {
 public:
  MenuOrIdArg(HMENU menu = nullptr) : m_menu(menu) {}                                   // NOLINT
  MenuOrIdArg(UINT id) : m_menu(reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id))) {}  // NOLINT
  MenuOrIdArg(int id) : m_menu(reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))) {}    // NOLINT
  HMENU get() const { return m_menu; }

 private:
  HMENU m_menu;
};

class CWindow {
 public:
  // Lets the system place and size a new top-level window.
  static inline RECT rcDefault = {CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};

  HWND m_hWnd;

  CWindow(HWND hWnd = nullptr) : m_hWnd(hWnd) {}  // NOLINT: handles convert freely, as in Win32
  CWindow& operator=(HWND hWnd) {
    m_hWnd = hWnd;
    return *this;
  }
  operator HWND() const { return m_hWnd; }  // NOLINT

  void Attach(HWND hWnd) { m_hWnd = hWnd; }
  HWND Detach() {
    HWND hWnd = m_hWnd;
    m_hWnd = nullptr;
    return hWnd;
  }

  // Plain windows have no class of their own; wrappers of system controls hide this.
  static LPCWSTR GetWndClassName() { return nullptr; }

  HWND Create(LPCWSTR className, HWND hWndParent, RectArg rect = RectArg(),
              LPCWSTR windowName = nullptr, DWORD style = 0, DWORD exStyle = 0,
              MenuOrIdArg menuOrId = MenuOrIdArg(), LPVOID createParam = nullptr);
  BOOL DestroyWindow() {
    if (!::DestroyWindow(m_hWnd)) return FALSE;
    m_hWnd = nullptr;
    return TRUE;
  }

  // ---- state and style
  BOOL IsWindow() const { return ::IsWindow(m_hWnd); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)); }
  DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE)); }
  // Return whether anything changed; a non-zero flags value also applies the change to the
  // frame through SetWindowPos (e.g. SWP_FRAMECHANGED).
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0) {
    return ModifyLong(GWL_STYLE, remove, add, flags);
  }
  BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0) {
    return ModifyLong(GWL_EXSTYLE, remove, add, flags);
  }
  // On 32-bit Windows the ...LongPtr names are macros for these two.
  LONG GetWindowLong(int index) const { return ::GetWindowLongW(m_hWnd, index); }
  LONG SetWindowLong(int index, LONG value) { return ::SetWindowLongW(m_hWnd, index, value); }
  DWORD GetWindowThreadID() const { return ::GetWindowThreadProcessId(m_hWnd, nullptr); }

  // ---- relations
  CWindow GetParent() const { return CWindow(::GetParent(m_hWnd)); }
  CWindow SetParent(HWND hWndNewParent) { return CWindow(::SetParent(m_hWnd, hWndNewParent)); }
  CWindow GetTopLevelParent() const { return CWindow(::GetAncestor(m_hWnd, GA_ROOT)); }
  CWindow GetWindow(UINT cmd) const { return CWindow(::GetWindow(m_hWnd, cmd)); }
  CWindow GetDlgItem(int id) const { return CWindow(::GetDlgItem(m_hWnd, id)); }
  BOOL IsChild(HWND hWnd) const { return ::IsChild(m_hWnd, hWnd); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  int SetDlgCtrlID(int id) {
    return static_cast<int>(::SetWindowLongPtrW(m_hWnd, GWLP_ID, static_cast<LONG_PTR>(id)));
  }

  // ---- geometry
  BOOL GetWindowRect(LPRECT rect) const { return ::GetWindowRect(m_hWnd, rect); }
  BOOL GetClientRect(LPRECT rect) const { return ::GetClientRect(m_hWnd, rect); }
  BOOL ClientToScreen(LPPOINT point) const { return ::ClientToScreen(m_hWnd, point); }
  BOOL ClientToScreen(LPRECT rect) const {
    auto* corners = reinterpret_cast<LPPOINT>(rect);
    return ::ClientToScreen(m_hWnd, &corners[0]) && ::ClientToScreen(m_hWnd, &corners[1]);
  }
  BOOL ScreenToClient(LPPOINT point) const { return ::ScreenToClient(m_hWnd, point); }
  BOOL ScreenToClient(LPRECT rect) const {
    auto* corners = reinterpret_cast<LPPOINT>(rect);
    return ::ScreenToClient(m_hWnd, &corners[0]) && ::ScreenToClient(m_hWnd, &corners[1]);
  }
  int MapWindowPoints(HWND hWndTo, LPPOINT points, UINT count) const {
    return ::MapWindowPoints(m_hWnd, hWndTo, points, count);
  }
  int MapWindowPoints(HWND hWndTo, LPRECT rect) const {
    return ::MapWindowPoints(m_hWnd, hWndTo, reinterpret_cast<LPPOINT>(rect), 2);
  }
  CWindow ChildWindowFromPoint(POINT point) const {
    return CWindow(::ChildWindowFromPoint(m_hWnd, point));
  }

  // ---- placement
  BOOL SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, flags);
  }
  BOOL SetWindowPos(HWND hWndInsertAfter, LPCRECT rect, UINT flags) {
    return ::SetWindowPos(m_hWnd, hWndInsertAfter, rect->left, rect->top, rect->right - rect->left,
                          rect->bottom - rect->top, flags);
  }
  BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) {
    return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
  }
  BOOL MoveWindow(LPCRECT rect, BOOL repaint = TRUE) {
    return ::MoveWindow(m_hWnd, rect->left, rect->top, rect->right - rect->left,
                        rect->bottom - rect->top, repaint);
  }
  BOOL ShowWindow(int cmdShow) { return ::ShowWindow(m_hWnd, cmdShow); }
  BOOL BringWindowToTop() { return ::BringWindowToTop(m_hWnd); }
  BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
  BOOL GetWindowPlacement(WINDOWPLACEMENT* placement) const {
    return ::GetWindowPlacement(m_hWnd, placement);
  }
  BOOL SetWindowPlacement(const WINDOWPLACEMENT* placement) {
    return ::SetWindowPlacement(m_hWnd, placement);
  }
  // Centres a child in its parent's client area, or a top-level window over hWndCenter (its
  // owner when null), kept inside the work area of the monitor it lands on.
  BOOL CenterWindow(HWND hWndCenter = nullptr);
  int SetWindowRgn(HRGN region, BOOL redraw = FALSE) {
    return ::SetWindowRgn(m_hWnd, region, redraw);
  }
  int GetWindowRgn(HRGN region) const { return ::GetWindowRgn(m_hWnd, region); }

  // ---- painting
  HDC BeginPaint(LPPAINTSTRUCT paint) { return ::BeginPaint(m_hWnd, paint); }
  void EndPaint(LPPAINTSTRUCT paint) { ::EndPaint(m_hWnd, paint); }
  HDC GetDC() { return ::GetDC(m_hWnd); }
  HDC GetWindowDC() { return ::GetWindowDC(m_hWnd); }
  int ReleaseDC(HDC dc) { return ::ReleaseDC(m_hWnd, dc); }
  BOOL UpdateWindow() { return ::UpdateWindow(m_hWnd); }
  void SetRedraw(BOOL redraw = TRUE) { ::SendMessageW(m_hWnd, WM_SETREDRAW, redraw, 0); }
  BOOL Invalidate(BOOL erase = TRUE) { return ::InvalidateRect(m_hWnd, nullptr, erase); }
  BOOL InvalidateRect(LPCRECT rect, BOOL erase = TRUE) {
    return ::InvalidateRect(m_hWnd, rect, erase);
  }
  BOOL ValidateRect(LPCRECT rect) { return ::ValidateRect(m_hWnd, rect); }
  void InvalidateRgn(HRGN region, BOOL erase = TRUE) { ::InvalidateRgn(m_hWnd, region, erase); }
  BOOL RedrawWindow(LPCRECT rectUpdate = nullptr, HRGN regionUpdate = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) {
    return ::RedrawWindow(m_hWnd, rectUpdate, regionUpdate, flags);
  }

  // ---- messages
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
  }
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
  }
  BOOL SendNotifyMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendNotifyMessageW(m_hWnd, message, wParam, lParam);
  }
  LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendDlgItemMessageW(m_hWnd, id, message, wParam, lParam);
  }

  // ---- text and font
  BOOL SetWindowText(LPCWSTR text) { return ::SetWindowTextW(m_hWnd, text); }
  int GetWindowText(LPWSTR buffer, int maxCount) const {
    return ::GetWindowTextW(m_hWnd, buffer, maxCount);
  }
  // The whole text, however long; returns its length.
  int GetWindowText(CString& text) const;
  int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
  BOOL SetDlgItemText(int id, LPCWSTR text) { return ::SetDlgItemTextW(m_hWnd, id, text); }
  UINT GetDlgItemText(int id, LPWSTR buffer, int maxCount) const {
    return ::GetDlgItemTextW(m_hWnd, id, buffer, maxCount);
  }
  // The child's whole text, however long; returns its length (0 and empty without such a child).
  int GetDlgItemText(int id, CString& text) const { return GetDlgItem(id).GetWindowText(text); }
  UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL isSigned = TRUE) const {
    return ::GetDlgItemInt(m_hWnd, id, translated, isSigned);
  }
  BOOL SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE) {
    return ::SetDlgItemInt(m_hWnd, id, value, isSigned);
  }
  BOOL CheckDlgButton(int id, UINT check) { return ::CheckDlgButton(m_hWnd, id, check); }
  UINT IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
  void SetFont(HFONT font, BOOL redraw = TRUE) {
    ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), MAKELPARAM(redraw, 0));
  }
  HFONT GetFont() const {
    return reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
  }
  HICON SetIcon(HICON icon, BOOL bigIcon = TRUE) {
    return reinterpret_cast<HICON>(::SendMessageW(
        m_hWnd, WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
  }
  HMENU GetSystemMenu(BOOL revert) const { return ::GetSystemMenu(m_hWnd, revert); }
  HMENU GetMenu() const { return ::GetMenu(m_hWnd); }
  BOOL SetMenu(HMENU menu) { return ::SetMenu(m_hWnd, menu); }

  // Every message box goes through ShowMessageBox (foundation/message_box.h), where tests can
  // answer it; a member here would bypass that.
  int MessageBox(LPCWSTR text, LPCWSTR caption = nullptr, UINT type = MB_OK) = delete;

  // ---- input and timers
  CWindow SetFocus() { return CWindow(::SetFocus(m_hWnd)); }
  CWindow SetCapture() { return CWindow(::SetCapture(m_hWnd)); }
  CWindow SetActiveWindow() { return CWindow(::SetActiveWindow(m_hWnd)); }
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr) {
    return ::SetTimer(m_hWnd, id, elapse, proc);
  }
  BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
  BOOL FlashWindow(BOOL invert) { return ::FlashWindow(m_hWnd, invert); }

  // ---- scroll bars (the scroll-bar skinning redirects these functions for skinned windows)
  int GetScrollPos(int bar) const { return ::GetScrollPos(m_hWnd, bar); }
  int SetScrollPos(int bar, int pos, BOOL redraw = TRUE) {
    return ::SetScrollPos(m_hWnd, bar, pos, redraw);
  }
  BOOL GetScrollRange(int bar, LPINT minPos, LPINT maxPos) const {
    return ::GetScrollRange(m_hWnd, bar, minPos, maxPos);
  }
  BOOL SetScrollRange(int bar, int minPos, int maxPos, BOOL redraw = TRUE) {
    return ::SetScrollRange(m_hWnd, bar, minPos, maxPos, redraw);
  }
  BOOL GetScrollInfo(int bar, LPSCROLLINFO info) const {
    return ::GetScrollInfo(m_hWnd, bar, info);
  }
  int SetScrollInfo(int bar, LPCSCROLLINFO info, BOOL redraw = TRUE) {
    return ::SetScrollInfo(m_hWnd, bar, info, redraw);
  }
  BOOL ShowScrollBar(int bar, BOOL show = TRUE) { return ::ShowScrollBar(m_hWnd, bar, show); }
  BOOL EnableScrollBar(UINT bar, UINT arrows = ESB_ENABLE_BOTH) {
    return ::EnableScrollBar(m_hWnd, bar, arrows);
  }
  BOOL ScrollWindow(int dx, int dy, LPCRECT rect = nullptr, LPCRECT clip = nullptr) {
    return ::ScrollWindow(m_hWnd, dx, dy, rect, clip);
  }

 private:
  BOOL ModifyLong(int index, DWORD remove, DWORD add, UINT flags);
};
