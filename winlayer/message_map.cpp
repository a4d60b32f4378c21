#include "winlayer/message_map.h"

namespace {

// The control a parent's message is about, or null when it is about none (menus, accelerators).
HWND ControlOf(HWND hWndParent, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_COMMAND:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
      return reinterpret_cast<LPNMHDR>(lParam)->hwndFrom;
    case WM_PARENTNOTIFY:
      switch (LOWORD(wParam)) {
        case WM_CREATE:
        case WM_DESTROY:
          return reinterpret_cast<HWND>(lParam);
        default:
          return ::GetDlgItem(hWndParent, HIWORD(wParam));
      }
    case WM_DRAWITEM:  // wParam 0: a menu item
      return wParam ? reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)->hwndItem : nullptr;
    case WM_MEASUREITEM:
      return wParam ? ::GetDlgItem(hWndParent, reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)->CtlID)
                    : nullptr;
    case WM_COMPAREITEM:
      return wParam ? reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam)->hwndItem : nullptr;
    case WM_DELETEITEM:
      return wParam ? reinterpret_cast<LPDELETEITEMSTRUCT>(lParam)->hwndItem : nullptr;
    default:
      return nullptr;
  }
}

bool IsReflectedMessage(UINT uMsg) {
  switch (uMsg) {
    case OCM_COMMAND:
    case OCM_NOTIFY:
    case OCM_PARENTNOTIFY:
    case OCM_DRAWITEM:
    case OCM_MEASUREITEM:
    case OCM_COMPAREITEM:
    case OCM_DELETEITEM:
    case OCM_VKEYTOITEM:
    case OCM_CHARTOITEM:
    case OCM_HSCROLL:
    case OCM_VSCROLL:
    case OCM_CTLCOLORBTN:
    case OCM_CTLCOLORDLG:
    case OCM_CTLCOLOREDIT:
    case OCM_CTLCOLORLISTBOX:
    case OCM_CTLCOLORMSGBOX:
    case OCM_CTLCOLORSCROLLBAR:
    case OCM_CTLCOLORSTATIC:
      return true;
    default:
      return false;
  }
}

}  // namespace

LRESULT ReflectNotification(HWND hWndParent, UINT uMsg, WPARAM wParam, LPARAM lParam,
                            BOOL& bHandled) {
  HWND control = ControlOf(hWndParent, uMsg, wParam, lParam);
  if (!control || !::IsWindow(control)) {
    bHandled = FALSE;
    return 1;
  }
  return ::SendMessageW(control, OCM__BASE + uMsg, wParam, lParam);
}

BOOL DefaultReflectionHandler(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                              LRESULT& lResult) {
  if (!IsReflectedMessage(uMsg)) return FALSE;
  lResult = ::DefWindowProcW(hWnd, uMsg - OCM__BASE, wParam, lParam);
  return TRUE;
}
