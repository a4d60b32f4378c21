#include "controls/my_tip.h"

bool CMyTip::Init(HWND control, LPCWSTR text) {
  if (!::IsWindow(control) || !SubclassWindow(control)) return false;
  if (m_tip.Create(control, text)) return true;
  UnsubclassWindow();
  return false;
}

LRESULT CMyTip::OnMouseMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  m_tip.Relay(m_hWnd, uMsg, wParam, lParam);
  bHandled = FALSE;  // the control handles its mouse as before
  return 0;
}

void CMyTip::OnFinalMessage(HWND) {
  m_tip.Destroy();
}
