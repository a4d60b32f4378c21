// CWindowImpl: a window whose messages run through the owning object's message map.
//
// Dispatch path, the same for every window and dialog of the layer: the window's procedure is
// the static CWindowImplCore::WindowProc (dialogs: DialogProc); it finds the object in the
// process-wide window table (window_map.h), and calls the object's ProcessWindowMessage. A message
// the map leaves unhandled goes to m_pfnSuperWindowProc: DefWindowProc, the superclassed system
// class's procedure, or the procedure that SubclassWindow replaced.
//
// Lifetime: after WM_NCDESTROY has been through the map and the super procedure, the window is
// taken out of the table (and its procedure restored when ours is still the window's current
// one, so an outer subclass is never cut off), m_hWnd is cleared and OnFinalMessage runs, once
// the outermost message of that window has returned. From then on the object is never called for
// that window again. An object destroyed before its window removes itself the same way.
#pragma once

#include <windows.h>

#include "winlayer/message_map.h"
#include "winlayer/window.h"
#include "winlayer/window_class.h"

// The part of every window object that does not depend on its base wrapper: the table binding,
// the dispatch and the final-message protocol.
class CWindowImplCore : public CMessageMap {
 public:
  ~CWindowImplCore() override;
  CWindowImplCore(const CWindowImplCore&) = delete;
  CWindowImplCore& operator=(const CWindowImplCore&) = delete;

  // The procedure SubclassWindow installs (and the class procedure of CWindowImpl classes).
  virtual WNDPROC GetWindowProc() { return WindowProc; }
  // Runs once the window is gone and none of its messages is still being handled; the object
  // may delete itself here.
  virtual void OnFinalMessage(HWND hWnd) { (void)hWnd; }

  static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

  WNDPROC m_pfnSuperWindowProc = ::DefWindowProcW;
  // The message being handled (innermost), for the no-argument DefWindowProc.
  const MSG* m_pCurrentMsg = nullptr;

 protected:
  explicit CWindowImplCore(CWindow* window) : m_pWindow(window) {}

  // CreateWindowEx with this object bound to the new window from its first message on.
  HWND CreateBound(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style,
                   const RECT& rect, HWND hWndParent, HMENU menu, LPVOID createParam);
  BOOL SubclassBound(HWND hWnd);
  HWND UnsubclassBound(BOOL force);
  BOOL DestroyBound();
  LRESULT CallSuper(UINT uMsg, WPARAM wParam, LPARAM lParam);

 private:
  static CWindowImplCore* Find(HWND hWnd, WNDPROC* orphanSuper);
  // Runs the map; for windows (not dialogs) an unhandled message goes to the super procedure.
  LRESULT Dispatch(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, bool isDialog,
                   BOOL* handled);
  LRESULT CallSuper(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  void Retire(HWND hWnd);

  CWindow* const m_pWindow;  // the wrapper part of the same object, which holds m_hWnd
  int m_nDepth = 0;          // messages of the window being handled right now (nesting)
  bool m_bRetired = false;   // WM_NCDESTROY seen; the final message is due
};

template <class TBase = CWindow>
class CWindowImplRoot : public TBase, public CWindowImplCore {
 public:
  CWindowImplRoot() : CWindowImplCore(static_cast<CWindow*>(this)) {}

  // Unlike CWindow's, touches nothing of the object once the window is gone: OnFinalMessage
  // may have deleted it by the time ::DestroyWindow returns.
  BOOL DestroyWindow() { return this->DestroyBound(); }
};

template <class TBase = CWindow, class TWinTraits = CControlWinTraits>
class CWindowImplBaseT : public CWindowImplRoot<TBase> {
 public:
  static DWORD GetWndStyle(DWORD style) { return TWinTraits::GetWndStyle(style); }
  static DWORD GetWndExStyle(DWORD exStyle) { return TWinTraits::GetWndExStyle(exStyle); }

  // Fails when the object already has a window, or another object already serves hWnd.
  BOOL SubclassWindow(HWND hWnd) { return this->SubclassBound(hWnd); }
  // Gives the window back its previous procedure. Without force, refuses (null) when someone
  // else has subclassed the window on top of us, as restoring would cut them off.
  HWND UnsubclassWindow(BOOL bForce = FALSE) { return this->UnsubclassBound(bForce); }

  LRESULT DefWindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return this->CallSuper(uMsg, wParam, lParam);
  }
  // The default processing of the message being handled.
  LRESULT DefWindowProc() {
    const MSG* msg = this->m_pCurrentMsg;
    return msg ? this->CallSuper(msg->message, msg->wParam, msg->lParam) : 0;
  }
};

template <class T, class TBase = CWindow, class TWinTraits = CControlWinTraits>
class CWindowImpl : public CWindowImplBaseT<TBase, TWinTraits> {
 public:
  DECLARE_WND_CLASS(nullptr)

  HWND Create(HWND hWndParent, RectArg rect = RectArg(), LPCWSTR windowName = nullptr,
              DWORD style = 0, DWORD exStyle = 0, MenuOrIdArg menuOrId = MenuOrIdArg(),
              LPVOID createParam = nullptr) {
    if (this->m_hWnd) return nullptr;
    ATOM atom = T::GetWndClassInfo().Register(&this->m_pfnSuperWindowProc);
    if (!atom) return nullptr;
    return this->CreateBound(T::GetWndExStyle(exStyle), MAKEINTATOM(atom), windowName,
                             T::GetWndStyle(style), rect.get() ? *rect.get() : CWindow::rcDefault,
                             hWndParent, menuOrId.get(), createParam);
  }
};
