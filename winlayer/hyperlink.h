// CHyperLink: a static control shown as a link; a click opens its address in the browser.
//
// Use it on an existing static (SubclassWindow, as dialogs do) or create one. Initialisation
// gives the static SS_NOTIFY, without which a static never receives mouse messages, takes the
// label from the window text when none was set and the address from the label when none was
// set, and makes an underlined copy of the static's font (or of its parent's).
//
// The label is painted in the link colour (the visited colour once opened); the hand cursor
// shows over the label, and a left click released over it calls T::Navigate. A class T derived
// from CHyperLinkImpl<T> may replace Navigate, the painting (DoPaint) or the whole map.
#pragma once

#include <windows.h>

#include "winlayer/controls.h"
#include "winlayer/cstring.h"
#include "winlayer/gdi_objects.h"
#include "winlayer/window_impl.h"

namespace winlayer_detail {

// The rectangle the label takes in the client area, as the static's alignment places it.
RECT HyperLinkLabelRect(HWND hWnd, HFONT font, LPCWSTR label);
// Paints the label over the parent's static background.
void PaintHyperLink(HWND hWnd, HDC dc, HFONT font, LPCWSTR label, COLORREF colour);
// The static's font, else its parent's, else the default GUI font.
HFONT HyperLinkBaseFont(HWND hWnd);
// Opens the address with the shell; false when that fails.
bool OpenHyperLink(LPCWSTR address);

}  // namespace winlayer_detail

template <class T, class TBase = CWindow, class TWinTraits = CControlWinTraits>
class CHyperLinkImpl : public CWindowImpl<T, TBase, TWinTraits> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, CStatic::GetWndClassName())

  COLORREF m_clrLink = RGB(0, 0, 255);
  COLORREF m_clrVisited = RGB(128, 0, 128);
  bool m_bVisited = false;

  HWND Create(HWND hWndParent, RectArg rect = RectArg(), LPCWSTR windowName = nullptr,
              DWORD style = 0, DWORD exStyle = 0, MenuOrIdArg menuOrId = MenuOrIdArg(),
              LPVOID createParam = nullptr) {
    HWND hWnd = CWindowImpl<T, TBase, TWinTraits>::Create(hWndParent, rect, windowName, style,
                                                          exStyle, menuOrId, createParam);
    if (hWnd) static_cast<T*>(this)->Init();
    return hWnd;
  }
  BOOL SubclassWindow(HWND hWnd) {
    if (!CWindowImpl<T, TBase, TWinTraits>::SubclassWindow(hWnd)) return FALSE;
    static_cast<T*>(this)->Init();
    return TRUE;
  }

  LPCWSTR GetLabel() const { return m_strLabel; }
  // Also becomes the window text.
  bool SetLabel(LPCWSTR label) {
    m_strLabel = label ? label : L"";
    if (this->m_hWnd) {
      this->SetWindowText(m_strLabel);
      Relayout();
    }
    return true;
  }
  LPCWSTR GetHyperLink() const { return m_strHyperLink; }
  bool SetHyperLink(LPCWSTR address) {
    m_strHyperLink = address ? address : L"";
    return true;
  }
  // The font the label is drawn with: one given by SetLinkFont (the caller keeps it), else an
  // underlined copy of the static's font that the link makes in Init and owns.
  HFONT GetLinkFont() const { return m_givenFont.IsNull() ? m_ownFont : m_givenFont; }
  void SetLinkFont(HFONT font) {
    m_givenFont = font;
    if (this->m_hWnd) Relayout();
  }
  RECT GetLabelRect() const { return m_rcLink; }

  // Opens the address; marks the link visited when that worked.
  bool Navigate() {
    if (m_strHyperLink.IsEmpty() || !winlayer_detail::OpenHyperLink(m_strHyperLink)) return false;
    m_bVisited = true;
    if (this->m_hWnd) this->Invalidate();
    return true;
  }

  void DoPaint(HDC dc) {
    winlayer_detail::PaintHyperLink(this->m_hWnd, dc, GetLinkFont(), m_strLabel,
                                    m_bVisited ? m_clrVisited : m_clrLink);
  }

  BEGIN_MSG_MAP(CHyperLinkImpl)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_PRINTCLIENT, OnPrintClient)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
  MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  END_MSG_MAP()

  void Init() {
    this->ModifyStyle(0, SS_NOTIFY);
    if (m_strLabel.IsEmpty()) this->GetWindowText(m_strLabel);
    if (m_strHyperLink.IsEmpty()) m_strHyperLink = m_strLabel;
    LOGFONTW logFont = {};
    CFontHandle base(winlayer_detail::HyperLinkBaseFont(this->m_hWnd));
    if (m_ownFont.IsNull() && base.GetLogFont(logFont)) {
      logFont.lfUnderline = TRUE;
      m_ownFont.CreateFontIndirect(&logFont);
    }
    Relayout();
  }

 protected:
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(this->m_hWnd, &paint);
    static_cast<T*>(this)->DoPaint(dc);
    ::EndPaint(this->m_hWnd, &paint);
    return 0;
  }
  LRESULT OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&) {
    static_cast<T*>(this)->DoPaint(reinterpret_cast<HDC>(wParam));
    return 0;
  }
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }  // DoPaint fills it
  LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    POINT point;
    ::GetCursorPos(&point);
    this->ScreenToClient(&point);
    if (!::PtInRect(&m_rcLink, point)) {
      bHandled = FALSE;
      return 0;
    }
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return TRUE;
  }
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&) {
    if (::PtInRect(&m_rcLink, PointOf(lParam))) this->SetCapture();
    return 0;
  }
  LRESULT OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&) {
    if (::GetCapture() != this->m_hWnd) return 0;
    ::ReleaseCapture();
    if (::PtInRect(&m_rcLink, PointOf(lParam))) static_cast<T*>(this)->Navigate();
    return 0;
  }
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    Relayout();
    bHandled = FALSE;
    return 0;
  }

 private:
  static POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }
  void Relayout() {
    m_rcLink = winlayer_detail::HyperLinkLabelRect(this->m_hWnd, GetLinkFont(), m_strLabel);
    this->Invalidate();
  }

  CString m_strLabel;
  CString m_strHyperLink;
  CFont m_ownFont;
  CFontHandle m_givenFont;
  RECT m_rcLink = {0, 0, 0, 0};
};

class CHyperLink : public CHyperLinkImpl<CHyperLink> {
 public:
  DECLARE_WND_SUPERCLASS(L"WinLayer_HyperLink", CStatic::GetWndClassName())
};
