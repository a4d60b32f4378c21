// CMyTip: a tooltip for any control. Init subclasses the control so that its mouse messages
// reach the tip as well as the control.
#pragma once

#include <windows.h>

#include "controls/control_tip.h"
#include "winlayer/window_impl.h"

class CMyTip : public CWindowImpl<CMyTip> {
 public:
  CMyTip() = default;
  ~CMyTip() override = default;

  // Subclasses control and gives it a tip showing text (a null text: a tip that never
  // shows). False when control is no window, is already served by another window object, or
  // the tip cannot be made.
  bool Init(HWND control, LPCWSTR text);

  HWND GetToolTip() const { return m_tip.GetHandle(); }

  BEGIN_MSG_MAP(CMyTip)
  MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_XBUTTONDBLCLK, OnMouseMessage)
  END_MSG_MAP()

 protected:
  void OnFinalMessage(HWND hWnd) override;

 private:
  LRESULT OnMouseMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

  CControlTip m_tip;
};
