#include "controls/my_button.h"

#include "controls/skin_font.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/geometry.h"

namespace {

constexpr int kMaxTextLength = 512;
constexpr COLORREF kTextColour = RGB(255, 255, 255);
constexpr COLORREF kPressedFrameColour = 0x646464;

}  // namespace

void CMyButton::DrawItem(const DRAWITEMSTRUCT& dis) {
  wchar_t text[kMaxTextLength + 1] = {};
  ::GetWindowTextW(dis.hwndItem, text, kMaxTextLength + 1);

  CFont font;
  CreateSkinFont(font, 13);
  CRect rect(dis.rcItem);
  CMemoryDC dc(dis.hDC, rect);
  int saved = dc.SaveDC();  // the DC may be the button's own when there is no buffer

  bool pressed = (dis.itemState & ODS_SELECTED) != 0;
  dc.FillSolidRect(&rect, pressed ? m_crPressedBk : m_crNormalBk);
  dc.SelectFont(font);
  dc.SetTextColor(kTextColour);
  dc.SetBkMode(TRANSPARENT);
  dc.DrawText(text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_TABSTOP);
  if (pressed && (dis.itemAction & (ODA_DRAWENTIRE | ODA_SELECT))) {
    CBrush frame;
    frame.CreateSolidBrush(kPressedFrameColour);
    dc.FrameRect(&rect, frame);
  }
  dc.RestoreDC(saved);
}

BOOL CMyButton::SetRoundRegion() {
  CRect client;
  if (!GetClientRect(&client)) return FALSE;
  CRgn region;
  if (!region.CreateRoundRectRgn(client.left, client.top, client.right, client.bottom, 5, 5)) {
    return FALSE;
  }
  if (!SetWindowRgn(region, TRUE)) return FALSE;
  region.Detach();  // the window owns it now
  return TRUE;
}
