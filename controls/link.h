// CLink: a static control of a dialog turned into a link that opens an address in the
// browser. It paints itself (the dialogs' dark panel colours, not the usual underlined blue),
// shows the address in a tooltip, and a press on it also starts dragging the dialog, so the
// borderless dialogs move from their links as from their caption.
#pragma once

#include <windows.h>

#include "controls/control_tip.h"
#include "winlayer/cstring.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/hyperlink.h"

class CLink : public CHyperLink {
 public:
  CLink() = default;
  ~CLink() override = default;

  // Subclasses the static, which opens url and shows text. The address is copied. False when
  // hStatic is no window, is already served by another window object, or the tip cannot be
  // made.
  bool Init(HWND hStatic, LPCWSTR url, CString text);

  LPCWSTR GetUrl() const { return m_strUrl; }
  HWND GetToolTip() const { return m_tip.GetHandle(); }

  BEGIN_MSG_MAP(CLink)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
  MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_XBUTTONDBLCLK, OnMouseMessage)
  END_MSG_MAP()

 protected:
  void OnFinalMessage(HWND hWnd) override;

 private:
  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnMouseMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  void DrawLink(CDCHandle target);

  CString m_strUrl;
  CString m_strLinkText;  // what the link shows
  CControlTip m_tip;
};
