#include "controls/link.h"

#include "controls/paint_message.h"
#include "controls/skin_font.h"
#include "foundation/common_helpers.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/geometry.h"

namespace {

constexpr COLORREF kBackgroundColour = 0x373438;
constexpr COLORREF kTextColour = 0xA19FA1;

}  // namespace

bool CLink::Init(HWND hStatic, LPCWSTR url, CString text) {
  if (!::IsWindow(hStatic)) return false;
  if (!GetLinkFont()) SetLinkFont(CWindow(hStatic).GetFont());
  if (!SubclassWindow(hStatic)) return false;
  SetLabel(url);
  m_strUrl = url ? url : L"";
  m_strLinkText = text;
  if (m_tip.Create(m_hWnd, m_strUrl)) return true;
  UnsubclassWindow();
  return false;
}

void CLink::OnFinalMessage(HWND) {
  m_tip.Destroy();
}

LRESULT CLink::OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&) {
  PaintWindowMessage(m_hWnd, wParam, [this](CDCHandle dc) { DrawLink(dc); });
  return 0;
}

void CLink::DrawLink(CDCHandle target) {
  CRect client;
  GetClientRect(&client);
  CFont font;
  CreateSkinFont(font, 13);
  CMemoryDC dc(target, client);
  int saved = dc.SaveDC();
  dc.FillSolidRect(&client, kBackgroundColour);
  dc.SelectFont(font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(kTextColour);
  dc.DrawText(m_strLinkText, -1, &client, DT_CENTER | DT_NOPREFIX);
  dc.RestoreDC(saved);
}

LRESULT CLink::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&) {
  CPoint point(lParam);
  CRect client;
  GetClientRect(&client);
  // While the mouse is captured a press may come from outside the link.
  if (client.PtInRect(point)) OpenUrl(m_strUrl);
  // A press on the caption of the dialog the link sits on: the dialog, not the link, follows a
  // drag, and the message wants the point on the screen.
  ClientToScreen(&point);
  ::PostMessageW(::GetAncestor(m_hWnd, GA_ROOT), WM_NCLBUTTONDOWN, HTCAPTION,
                 MAKELPARAM(point.x, point.y));
  return 0;
}

LRESULT CLink::OnMouseMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
  m_tip.Relay(m_hWnd, uMsg, wParam, lParam);
  bHandled = FALSE;  // the static sees it as before
  return 0;
}
