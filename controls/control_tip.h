// The tooltip of one control, as the buttons and links of the dialogs show it: a
// "tooltips_class32" window owned by the control with one tool, id 1313, over the control's
// client area. The tip learns of the pointer only through Relay, so the control's window
// class passes its mouse messages on.
#pragma once

#include <windows.h>

#include "winlayer/controls_tooltip.h"

class CControlTip {
 public:
  static constexpr UINT_PTR kToolId = 1313;

  CControlTip() = default;
  ~CControlTip() { Destroy(); }
  CControlTip(const CControlTip&) = delete;
  CControlTip& operator=(const CControlTip&) = delete;

  // Replaces any tip held. A null text adds the tool without text and leaves the tip inactive,
  // so it never shows; otherwise the tip is activated. False when the tip or its tool cannot
  // be made (nothing is kept then).
  bool Create(HWND control, LPCWSTR text);
  // Passes one mouse message of the control on to the tip, which shows and hides itself.
  void Relay(HWND control, UINT uMsg, WPARAM wParam, LPARAM lParam);
  void Destroy();

  HWND GetHandle() const { return m_tip.m_hWnd; }

 private:
  CToolTipCtrl m_tip;
};
