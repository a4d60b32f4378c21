// CSkinEdit: an edit control on a light face (0xF9F7F6) with black text, from the colour
// message its parent reflects to it. Its parent must reflect notifications.
#pragma once

#include <windows.h>

#include "winlayer/controls.h"
#include "winlayer/gdi_objects.h"
#include "winlayer/window_impl.h"

class CSkinEdit : public CWindowImpl<CSkinEdit, CEdit> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, CEdit::GetWndClassName())

  CSkinEdit() { m_brush.CreateSolidBrush(0xF9F7F6); }
  ~CSkinEdit() override = default;

  BEGIN_MSG_MAP(CSkinEdit)
  MESSAGE_HANDLER(OCM_CTLCOLOREDIT, OnCtlColorEdit)
  END_MSG_MAP()

 private:
  LRESULT OnCtlColorEdit(UINT, WPARAM wParam, LPARAM, BOOL&) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0, 0, 0));
    return reinterpret_cast<LRESULT>(m_brush.m_hBrush);
  }

  CBrush m_brush;
};
