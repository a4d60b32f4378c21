#include "winlayer/bitmap_button.h"

#include "winlayer/gdi_dc.h"
#include "winlayer/geometry.h"

CBitmapButton::CBitmapButton(DWORD extendedStyle, HIMAGELIST imageList)
    : m_ImageList(imageList), m_dwExtendedStyle(extendedStyle) {}

CBitmapButton::~CBitmapButton() {
  // An object that goes before its button takes the tip along: the tip belongs to the
  // top-level window and would outlive the button.
  if (m_tip.IsWindow()) m_tip.DestroyWindow();
  if (!(m_dwExtendedStyle & BMPBTN_SHAREIMAGELISTS)) m_ImageList.Destroy();
}

HWND CBitmapButton::Create(HWND hWndParent, RectArg rect, LPCWSTR windowName, DWORD style,
                           DWORD exStyle, MenuOrIdArg menuOrId, LPVOID createParam) {
  style = (GetWndStyle(style) & ~BS_TYPEMASK) | BS_OWNERDRAW;
  HWND hWnd =
      CWindowImpl::Create(hWndParent, rect, windowName, style, exStyle, menuOrId, createParam);
  if (hWnd) Init();
  return hWnd;
}

BOOL CBitmapButton::SubclassWindow(HWND hWnd) {
  if (!CWindowImpl::SubclassWindow(hWnd)) return FALSE;
  Init();
  return TRUE;
}

void CBitmapButton::Init() {
  ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
  if (m_dwExtendedStyle & BMPBTN_AUTOSIZE) SizeToImage();
  UpdateToolTip();
}

DWORD CBitmapButton::SetBitmapButtonExtendedStyle(DWORD extendedStyle, DWORD mask) {
  DWORD old = m_dwExtendedStyle;
  m_dwExtendedStyle = mask == 0 ? extendedStyle : (old & ~mask) | (extendedStyle & mask);
  if (!(m_dwExtendedStyle & BMPBTN_HOVER)) m_bMouseOver = false;
  Repaint();
  return old;
}

HIMAGELIST CBitmapButton::SetImageList(HIMAGELIST imageList) {
  HIMAGELIST old = m_ImageList.Detach();
  m_ImageList = imageList;
  if (m_hWnd && (m_dwExtendedStyle & BMPBTN_AUTOSIZE)) SizeToImage();
  Repaint();
  return old;
}

void CBitmapButton::SetImages(int normal, int pushed, int focusOrHover, int disabled) {
  int images[_nImageCount] = {normal, pushed, focusOrHover, disabled};
  for (int i = 0; i < _nImageCount; ++i) m_nImage[i] = images[i];
  Repaint();
}

BOOL CBitmapButton::SizeToImage() {
  if (!m_hWnd || m_ImageList.IsNull()) return FALSE;
  SIZE size = {};
  if (!m_ImageList.GetIconSize(size)) return FALSE;
  return SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CBitmapButton::SetBkColor(COLORREF colour) {
  m_clrBk = colour;
  Repaint();
}

bool CBitmapButton::GetToolTipText(LPWSTR buffer, int length) const {
  if (!buffer || length <= 0) return false;
  lstrcpynW(buffer, m_strToolTip, length);
  return length > m_strToolTip.GetLength();
}

bool CBitmapButton::SetToolTipText(LPCWSTR text) {
  m_strToolTip = text ? text : L"";
  UpdateToolTip();
  return true;
}

void CBitmapButton::UpdateToolTip() {
  if (!m_hWnd) return;
  if (m_strToolTip.IsEmpty()) {
    if (m_tip.IsWindow()) m_tip.DestroyWindow();
    m_tip.m_hWnd = nullptr;
    return;
  }
  if (m_tip.IsWindow()) {
    m_tip.UpdateTipText(m_strToolTip, m_hWnd);
    return;
  }
  if (!m_tip.Create(m_hWnd, RectArg(), nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP)) return;
  m_tip.AddTool(m_hWnd, m_strToolTip);
  m_tip.Activate(TRUE);
}

int CBitmapButton::GetCurrentImageSlot() const {
  auto usable = [this](int slot) { return m_nImage[slot] != -1; };
  if (m_hWnd && !IsWindowEnabled() && usable(_nImageDisabled)) return _nImageDisabled;
  if (m_bPressed && usable(_nImagePushed)) return _nImagePushed;
  bool highlighted =
      (m_dwExtendedStyle & BMPBTN_HOVER) ? m_bMouseOver : m_hWnd && ::GetFocus() == m_hWnd;
  if (highlighted && usable(_nImageFocusOrHover)) return _nImageFocusOrHover;
  return _nImageNormal;
}

void CBitmapButton::DoPaint(HDC dc) {
  CDCHandle target(dc);
  CRect client;
  GetClientRect(&client);
  if (m_clrBk != CLR_NONE) {
    target.FillSolidRect(client, m_clrBk);
  } else {
    auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(::GetParent(m_hWnd), WM_CTLCOLORBTN,
                                                         reinterpret_cast<WPARAM>(dc),
                                                         reinterpret_cast<LPARAM>(m_hWnd)));
    target.FillRect(client, brush ? brush : ::GetSysColorBrush(COLOR_BTNFACE));
  }
  int image = m_nImage[GetCurrentImageSlot()];
  if (!m_ImageList.IsNull() && image >= 0) m_ImageList.Draw(dc, image, 0, 0, ILD_TRANSPARENT);
}

void CBitmapButton::Repaint() {
  if (!m_hWnd) return;
  Invalidate(FALSE);
  UpdateWindow();
}

bool CBitmapButton::IsInside(LPARAM point) const {
  CRect client;
  GetClientRect(&client);
  return client.PtInRect(CPoint(point)) != FALSE;
}

LRESULT CBitmapButton::OnMouseMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  if (m_tip.IsWindow()) m_tip.RelayEvent(m_hWnd, uMsg, wParam, lParam);
  bHandled = FALSE;
  return 0;
}

LRESULT CBitmapButton::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  CPaintDC paint(m_hWnd);
  CRect client;
  GetClientRect(&client);
  CMemoryDC buffer(paint, client);
  DoPaint(buffer);
  return 0;
}

LRESULT CBitmapButton::OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&) {
  DoPaint(reinterpret_cast<HDC>(wParam));
  return 0;
}

LRESULT CBitmapButton::OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL&) {
  DoPaint(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hDC);
  return TRUE;
}

// The button's own procedure would take the focus here; the press is handled without it.
LRESULT CBitmapButton::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&) {
  SetCapture();
  m_bCapturing = ::GetCapture() == m_hWnd;
  m_bPressed = true;
  Repaint();
  return 0;
}

LRESULT CBitmapButton::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&) {
  bool inside = IsInside(lParam);
  bool changed = false;
  if (m_bCapturing && inside != m_bPressed) {
    m_bPressed = inside;
    changed = true;
  }
  if ((m_dwExtendedStyle & BMPBTN_HOVER) && inside != m_bMouseOver) {
    m_bMouseOver = inside;
    changed = true;
    if (inside && !m_bTracking) {
      TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
      m_bTracking = ::TrackMouseEvent(&track) != FALSE;
    }
  }
  if (changed) Repaint();
  return 0;
}

LRESULT CBitmapButton::OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  if (!m_bCapturing) {
    bHandled = FALSE;
    return 0;
  }
  bool clicked = m_bPressed && IsInside(lParam);
  ::ReleaseCapture();  // WM_CAPTURECHANGED ends the press
  if (clicked) {
    HWND self = m_hWnd;
    ::SendMessageW(::GetParent(self), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(self), BN_CLICKED),
                   reinterpret_cast<LPARAM>(self));
  }
  return 0;
}

LRESULT CBitmapButton::OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&) {
  if (m_bCapturing) {
    m_bCapturing = false;
    m_bPressed = false;
    Repaint();
  }
  return 0;
}

LRESULT CBitmapButton::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&) {
  m_bTracking = false;
  // During a press the capture keeps the moves coming; they decide.
  if (m_bMouseOver && !m_bCapturing) {
    m_bMouseOver = false;
    Repaint();
  }
  return 0;
}

// The button's procedure paints these changes itself, as a plain button; paint over it.
LRESULT CBitmapButton::OnStateChanged(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  LRESULT result = DefWindowProc(uMsg, wParam, lParam);
  Repaint();
  return result;
}

LRESULT CBitmapButton::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  if (m_tip.IsWindow()) m_tip.DestroyWindow();
  m_tip.m_hWnd = nullptr;
  m_bCapturing = m_bPressed = m_bMouseOver = m_bTracking = false;
  bHandled = FALSE;
  return 0;
}
