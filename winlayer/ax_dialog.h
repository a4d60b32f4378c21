// CAxDialogImpl: a dialog whose template holds ActiveX controls (named by CLSID), created through
// the system's host (ax_host.h); CAxWindow: a host window, asked for its control.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "winlayer/ax_host.h"
#include "winlayer/dialog.h"

template <class T, class TBase = CWindow>
class CAxDialogImpl : public CDialogImpl<T, TBase> {
 public:
  // The plain modal run would not host the controls; the program only creates these modeless.
  INT_PTR DoModal(HWND hWndParent = nullptr, LPARAM dwInitParam = 0) = delete;

  // Modeless. Null when the host is unavailable (see the last error).
  HWND Create(HWND hWndParent, LPARAM dwInitParam = 0) {
    if (this->m_hWnd) return nullptr;
    this->m_bModal = false;
    window_map::PendingCreation pending(this);
    return ax_host::CreateAxDialog(_Module.GetResourceInstance(), MAKEINTRESOURCEW(T::IDD),
                                   hWndParent, CWindowImplCore::DialogProc, dwInitParam);
  }
};

class CAxWindow : public CWindow {
 public:
  CAxWindow(HWND hWnd = nullptr) : CWindow(hWnd) {}  // NOLINT: implicit, as CWindow
  static LPCWSTR GetWndClassName() { return L"AtlAxWin"; }

  HRESULT QueryControl(REFIID iid, void** object) const {
    if (!object) return E_POINTER;
    *object = nullptr;
    IUnknown* control = nullptr;
    HRESULT hr = ax_host::GetAxControl(m_hWnd, &control);
    if (FAILED(hr)) return hr;
    if (!control) return E_NOINTERFACE;
    hr = control->QueryInterface(iid, object);
    control->Release();
    return hr;
  }
  template <class Q>
  HRESULT QueryControl(Q** object) const {
    return QueryControl(__uuidof(Q), reinterpret_cast<void**>(object));
  }
};
