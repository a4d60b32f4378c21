// CDialogImpl: a dialog from the program's dialog template T::IDD, modal (DoModal) or modeless
// (Create), whose messages run through T's message map.
//
// A message the map leaves unhandled gets the dialog manager's default processing. The result
// of a handled message goes back through DWLP_MSGRESULT (the few messages that answer through
// the dialog procedure's return value, WM_INITDIALOG and WM_CTLCOLOR..., directly), so that a
// WM_NOTIFY result such as a custom-draw answer reaches the control.
#pragma once

#include <windows.h>

#include "winlayer/app_module.h"
#include "winlayer/window_impl.h"
#include "winlayer/window_map.h"

template <class T, class TBase = CWindow>
class CDialogImpl : public CWindowImplRoot<TBase> {
 public:
  // Runs the dialog until EndDialog; returns its code, or -1 when it could not be created.
  INT_PTR DoModal(HWND hWndParent = ::GetActiveWindow(), LPARAM dwInitParam = 0) {
    if (this->m_hWnd) return -1;
    m_bModal = true;
    window_map::PendingCreation pending(this);
    return ::DialogBoxParamW(_Module.GetResourceInstance(), MAKEINTRESOURCEW(T::IDD), hWndParent,
                             CWindowImplCore::DialogProc, dwInitParam);
  }

  HWND Create(HWND hWndParent, LPARAM dwInitParam = 0) {
    if (this->m_hWnd) return nullptr;
    m_bModal = false;
    window_map::PendingCreation pending(this);
    return ::CreateDialogParamW(_Module.GetResourceInstance(), MAKEINTRESOURCEW(T::IDD), hWndParent,
                                CWindowImplCore::DialogProc, dwInitParam);
  }

  // Ends a modal dialog with code. (On a modeless one the system only hides it; destroy a
  // modeless dialog with DestroyWindow.)
  BOOL EndDialog(int nRetCode) { return ::EndDialog(this->m_hWnd, nRetCode); }

  bool m_bModal = false;
};
