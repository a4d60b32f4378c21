#include "controls/skin_tree_ctrl.h"

#include "controls/paint_message.h"

LRESULT CSkinTreeCtrl::OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  LRESULT result = DefWindowProc(uMsg, wParam, lParam);
  SetItemHeight(m_nItemHeight);
  return result;
}

LRESULT CSkinTreeCtrl::OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&) {
  PaintWindowMessage(m_hWnd, wParam, [this](CDCHandle target) {
    CRect client;
    GetClientRect(&client);
    CMemoryDC dc(target, client);
    DoPaint(dc);
  });
  return 0;
}

LRESULT CSkinTreeCtrl::OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) {
  return 0;  // nothing erased: DoPaint covers everything
}
