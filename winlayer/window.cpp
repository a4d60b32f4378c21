#include "winlayer/window.h"

HWND CWindow::Create(LPCWSTR className, HWND hWndParent, RectArg rect, LPCWSTR windowName,
                     DWORD style, DWORD exStyle, MenuOrIdArg menuOrId, LPVOID createParam) {
  const RECT* r = rect.get() ? rect.get() : &rcDefault;
  m_hWnd = ::CreateWindowExW(exStyle, className, windowName, style, r->left, r->top,
                             r->right - r->left, r->bottom - r->top, hWndParent, menuOrId.get(),
                             ::GetModuleHandleW(nullptr), createParam);
  return m_hWnd;
}

BOOL CWindow::ModifyLong(int index, DWORD remove, DWORD add, UINT flags) {
  DWORD old = static_cast<DWORD>(::GetWindowLongW(m_hWnd, index));
  DWORD now = (old & ~remove) | add;
  if (now == old) return FALSE;
  ::SetWindowLongW(m_hWnd, index, static_cast<LONG>(now));
  if (flags != 0) {
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
  }
  return TRUE;
}

int CWindow::GetWindowText(CString& text) const {
  int length = ::GetWindowTextLengthW(m_hWnd);
  // The length may be an over-estimate (mixed ANSI windows); the copy tells the real one.
  int copied = ::GetWindowTextW(m_hWnd, text.GetBuffer(length), length + 1);
  text.ReleaseBuffer(copied);
  return copied;
}

BOOL CWindow::CenterWindow(HWND hWndCenter) {
  DWORD style = GetStyle();
  RECT self;
  ::GetWindowRect(m_hWnd, &self);
  int width = self.right - self.left;
  int height = self.bottom - self.top;

  RECT area;    // where the window must stay
  RECT center;  // what it is centred on, in the same coordinates
  if (style & WS_CHILD) {
    HWND parent = ::GetParent(m_hWnd);
    ::GetClientRect(parent, &area);
    if (hWndCenter) {
      ::GetWindowRect(hWndCenter, &center);
      ::MapWindowPoints(nullptr, parent, reinterpret_cast<LPPOINT>(&center), 2);
    } else {
      center = area;
    }
  } else {
    if (!hWndCenter) hWndCenter = ::GetWindow(m_hWnd, GW_OWNER);
    if (hWndCenter && !(::IsWindowVisible(hWndCenter) && !::IsIconic(hWndCenter))) {
      hWndCenter = nullptr;
    }
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    HMONITOR handle =
        ::MonitorFromWindow(hWndCenter ? hWndCenter : m_hWnd, MONITOR_DEFAULTTONEAREST);
    ::GetMonitorInfoW(handle, &monitor);
    area = monitor.rcWork;
    if (hWndCenter) {
      ::GetWindowRect(hWndCenter, &center);
    } else {
      center = area;
    }
  }

  int left = (center.left + center.right - width) / 2;
  int top = (center.top + center.bottom - height) / 2;
  if (left + width > area.right) left = area.right - width;
  if (left < area.left) left = area.left;
  if (top + height > area.bottom) top = area.bottom - height;
  if (top < area.top) top = area.top;
  return ::SetWindowPos(m_hWnd, nullptr, left, top, 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
