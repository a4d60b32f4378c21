#include "winlayer/window_impl.h"

#include "winlayer/app_module.h"
#include "winlayer/window_map.h"

CWindowImplCore::~CWindowImplCore() {
  window_map::ForgetPending(this);
  HWND hWnd = m_pWindow->m_hWnd;
  if (!hWnd || !window_map::Unbind(hWnd, this)) return;
  // The object goes first: leave the window with the procedure it had before us.
  if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == WindowProc) {
    ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuperWindowProc));
  } else if (m_pfnSuperWindowProc != ::DefWindowProcW) {
    window_map::Orphan(hWnd, m_pfnSuperWindowProc);
  }
}

CWindowImplCore* CWindowImplCore::Find(HWND hWnd, WNDPROC* orphanSuper) {
  window_map::Entry entry = window_map::Lookup(hWnd);
  if (entry.newlyBound) entry.object->m_pWindow->m_hWnd = hWnd;
  *orphanSuper = entry.orphanSuper;
  return entry.object;
}

LRESULT CALLBACK CWindowImplCore::WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  WNDPROC orphanSuper;
  CWindowImplCore* self = Find(hWnd, &orphanSuper);
  if (self) {
    BOOL handled;
    return self->Dispatch(hWnd, uMsg, wParam, lParam, false, &handled);
  }
  if (!orphanSuper) return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
  if (uMsg == WM_NCDESTROY) window_map::ForgetOrphan(hWnd);
  return ::CallWindowProcW(orphanSuper, hWnd, uMsg, wParam, lParam);
}

INT_PTR CALLBACK CWindowImplCore::DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  WNDPROC orphanSuper;
  CWindowImplCore* self = Find(hWnd, &orphanSuper);
  if (!self) return FALSE;
  BOOL handled;
  LRESULT result = self->Dispatch(hWnd, uMsg, wParam, lParam, true, &handled);
  if (!handled) return FALSE;
  switch (uMsg) {
    // These answer through the dialog procedure's own return value.
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return static_cast<INT_PTR>(result);
    default:
      // Everything else, WM_NOTIFY above all, answers through DWLP_MSGRESULT.
      if (::IsWindow(hWnd)) ::SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, result);
      return TRUE;
  }
}

LRESULT CWindowImplCore::Dispatch(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, bool isDialog,
                                  BOOL* handled) {
  MSG msg = {};
  msg.hwnd = hWnd;
  msg.message = uMsg;
  msg.wParam = wParam;
  msg.lParam = lParam;
  const MSG* outer = m_pCurrentMsg;
  m_pCurrentMsg = &msg;
  ++m_nDepth;

  LRESULT result = 0;
  *handled = ProcessWindowMessage(hWnd, uMsg, wParam, lParam, result, 0);
  // Once the window died inside a handler there is nothing left to default-process.
  if (!*handled && !isDialog && !m_bRetired) result = CallSuper(hWnd, uMsg, wParam, lParam);

  --m_nDepth;
  m_pCurrentMsg = outer;
  if (uMsg == WM_NCDESTROY) Retire(hWnd);
  if (m_bRetired && m_nDepth == 0) {
    m_bRetired = false;
    m_pWindow->m_hWnd = nullptr;
    m_pfnSuperWindowProc = ::DefWindowProcW;
    OnFinalMessage(hWnd);  // may delete this: nothing of the object is touched afterwards
  }
  return result;
}

void CWindowImplCore::Retire(HWND hWnd) {
  // Restore the previous procedure only when ours is still on top: an outer subclass (the
  // scroll-bar skinning, for one) removes itself after us and puts back what it replaced.
  if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) == GetWindowProc()) {
    ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuperWindowProc));
  }
  window_map::Unbind(hWnd, this);
  m_bRetired = true;
}

LRESULT CWindowImplCore::CallSuper(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuperWindowProc == ::DefWindowProcW) {
    return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
  }
  return ::CallWindowProcW(m_pfnSuperWindowProc, hWnd, uMsg, wParam, lParam);
}

LRESULT CWindowImplCore::CallSuper(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  // The handle of the message being handled stays right even when a handler has already
  // destroyed the window and cleared m_hWnd.
  HWND hWnd = m_pCurrentMsg ? m_pCurrentMsg->hwnd : m_pWindow->m_hWnd;
  return CallSuper(hWnd, uMsg, wParam, lParam);
}

HWND CWindowImplCore::CreateBound(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style,
                                  const RECT& rect, HWND hWndParent, HMENU menu,
                                  LPVOID createParam) {
  window_map::PendingCreation pending(this);
  return ::CreateWindowExW(exStyle, className, windowName, style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, hWndParent, menu,
                           _Module.GetModuleInstance(), createParam);
}

BOOL CWindowImplCore::SubclassBound(HWND hWnd) {
  if (m_pWindow->m_hWnd || !::IsWindow(hWnd)) return FALSE;
  if (!window_map::Bind(hWnd, this)) return FALSE;
  m_pWindow->m_hWnd = hWnd;
  WNDPROC ours = GetWindowProc();
  auto old = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ours)));
  if (!old || old == ours) {
    // Not ours to change, or a window of our own classes that lost its object: calling "the
    // previous procedure" would be calling ourselves.
    if (old) ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    window_map::Unbind(hWnd, this);
    m_pWindow->m_hWnd = nullptr;
    return FALSE;
  }
  m_pfnSuperWindowProc = old;
  return TRUE;
}

BOOL CWindowImplCore::DestroyBound() {
  // Outside the window's own messages its WM_NCDESTROY ends in the final message, which clears
  // m_hWnd and may delete this object. Inside one of them the final message waits for the
  // outermost to return, so the object is still there to forget the handle at once.
  if (m_nDepth == 0) return ::DestroyWindow(m_pWindow->m_hWnd);
  if (!::DestroyWindow(m_pWindow->m_hWnd)) return FALSE;
  m_pWindow->m_hWnd = nullptr;
  return TRUE;
}

HWND CWindowImplCore::UnsubclassBound(BOOL force) {
  HWND hWnd = m_pWindow->m_hWnd;
  if (!hWnd) return nullptr;
  if (!force &&
      reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC)) != GetWindowProc()) {
    return nullptr;
  }
  ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuperWindowProc));
  window_map::Unbind(hWnd, this);
  m_pfnSuperWindowProc = ::DefWindowProcW;
  m_pWindow->m_hWnd = nullptr;
  return hWnd;
}
