#include "controls/control_tip.h"

#include "foundation/logger.h"

bool CControlTip::Create(HWND control, LPCWSTR text) {
  Destroy();
  // No style bits: the tip class makes itself a bordered popup. Its owner is the control's
  // top-level window, so the tip would outlive the control: Destroy takes it away with the
  // control.
  HWND tip = ::CreateWindowExW(0, CToolTipCtrl::GetWndClassName(), nullptr, 0, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, control, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
  if (!tip) {
    GetLogger()->log(em_utility::log_level::error, L"创建提示窗口失败：%d",
                     static_cast<int>(::GetLastError()));
    return false;
  }
  m_tip.Attach(tip);
  CToolInfo tool(0, control, kToolId, nullptr, const_cast<LPWSTR>(text));
  if (!m_tip.AddTool(&tool)) {
    GetLogger()->log(em_utility::log_level::error, L"添加提示失败");
    Destroy();
    return false;
  }
  m_tip.Activate(text != nullptr);
  return true;
}

void CControlTip::Relay(HWND control, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (m_tip.m_hWnd) m_tip.RelayEvent(control, uMsg, wParam, lParam);
}

void CControlTip::Destroy() {
  // The tip is gone already when its owner was destroyed before the control.
  if (m_tip.m_hWnd && m_tip.IsWindow()) m_tip.DestroyWindow();
  m_tip.m_hWnd = nullptr;
}
