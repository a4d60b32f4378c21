// CSkinTreeCtrl: a tree view with items of a fixed height that derived trees paint entirely
// themselves: WM_PAINT hands DoPaint an off-screen buffer of the client area, copied to the
// screen in one piece.
#pragma once

#include <windows.h>

#include "winlayer/controls_tree.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/window_impl.h"

class CSkinTreeCtrl : public CWindowImpl<CSkinTreeCtrl, CTreeViewCtrl> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, CTreeViewCtrl::GetWndClassName())

  ~CSkinTreeCtrl() override = default;

  // Paints the whole client area into dc; the base paints nothing.
  virtual void DoPaint(HDC dc) { (void)dc; }

  BEGIN_MSG_MAP(CSkinTreeCtrl)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
  END_MSG_MAP()

 protected:
  int m_nItemHeight = 20;  // given to the tree when it is created

 private:
  LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnEraseBkgnd(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
};
