// CLirakHeaderCtrl: the flat header of the skinned lists, 27 px high, painted from two pictures
// (a background stretched over it and a separator between the items) with the items' texts in
// the accent colour. The list subclasses its own header into one (CSkinListCtrlEx).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "controls/paint_message.h"
#include "winlayer/controls_list.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/gdi_objects.h"
#include "winlayer/window_impl.h"

// Paints the header window into dc: the whole client area, with font for the texts.
void PaintLirakHeader(HWND header, HDC dc, HFONT font);

template <class T, class TBase = CHeaderCtrl, class TWinTraits = CControlWinTraits>
class CLirakHeaderCtrlImpl : public CWindowImpl<T, TBase, TWinTraits> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, TBase::GetWndClassName())

  static constexpr int kHeight = 27;

  BEGIN_MSG_MAP(CLirakHeaderCtrlImpl)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(HDM_LAYOUT, OnLayout)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
  END_MSG_MAP()

  LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    LRESULT result = this->DefWindowProc(uMsg, wParam, lParam);
    this->ModifyStyle(0, HDS_FLAT);
    return result;
  }
  LRESULT OnLayout(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    LRESULT result = this->DefWindowProc(uMsg, wParam, lParam);
    auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
    if (layout && layout->pwpos && layout->prc) {
      layout->pwpos->cy = kHeight;
      layout->prc->top = layout->pwpos->y + kHeight;
    }
    return result;
  }
  LRESULT OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&) {
    HFONT font = static_cast<T*>(this)->m_font;
    PaintWindowMessage(this->m_hWnd, wParam,
                       [&](CDCHandle dc) { PaintLirakHeader(this->m_hWnd, dc, font); });
    return 0;
  }
  LRESULT OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
};

class CLirakHeaderCtrl : public CLirakHeaderCtrlImpl<CLirakHeaderCtrl> {
 public:
  // The font exists from the start: a header that is subclassed never sees WM_CREATE, and the
  // list hands the font to it as soon as it has subclassed it.
  CLirakHeaderCtrl();
  ~CLirakHeaderCtrl() override = default;

  CFont m_font;  // 13 px
};
