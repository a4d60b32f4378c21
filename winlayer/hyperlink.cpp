#include "winlayer/hyperlink.h"

#include <shellapi.h>

#include "winlayer/gdi_dc.h"

namespace {

// DrawText flags for the label, from the static's styles.
UINT LabelFormat(HWND hWnd) {
  DWORD style = static_cast<DWORD>(::GetWindowLongW(hWnd, GWL_STYLE));
  UINT format = DT_WORDBREAK;
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  DWORD align = style & SS_TYPEMASK;
  if (align == SS_CENTER) format |= DT_CENTER;
  if (align == SS_RIGHT) format |= DT_RIGHT;
  return format;
}

}  // namespace

namespace winlayer_detail {

RECT HyperLinkLabelRect(HWND hWnd, HFONT font, LPCWSTR label) {
  RECT client = {};
  ::GetClientRect(hWnd, &client);
  if (!label || !*label) return RECT{0, 0, 0, 0};
  CClientDC dc(hWnd);
  HFONT old = font ? dc.SelectFont(font) : nullptr;
  RECT text = client;
  UINT format = LabelFormat(hWnd);
  dc.DrawText(label, -1, &text, (format & ~(DT_CENTER | DT_RIGHT)) | DT_CALCRECT);
  if (old) dc.SelectFont(old);
  int width = text.right - text.left;
  int space = client.right - width;
  int left = format & DT_CENTER ? space / 2 : format & DT_RIGHT ? space : 0;
  return RECT{left, 0, left + width, text.bottom - text.top};
}

void PaintHyperLink(HWND hWnd, HDC dc, HFONT font, LPCWSTR label, COLORREF colour) {
  CDCHandle target(dc);
  RECT client = {};
  ::GetClientRect(hWnd, &client);
  // The parent chooses a static's background (and dialogs give theirs).
  auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(::GetParent(hWnd), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(hWnd)));
  target.FillRect(&client, brush ? brush : ::GetSysColorBrush(COLOR_BTNFACE));
  if (!label || !*label) return;
  HFONT old = font ? target.SelectFont(font) : nullptr;
  target.SetTextColor(colour);
  target.SetBkMode(TRANSPARENT);
  target.DrawText(label, -1, &client, LabelFormat(hWnd));
  if (old) target.SelectFont(old);
}

HFONT HyperLinkBaseFont(HWND hWnd) {
  auto font = reinterpret_cast<HFONT>(::SendMessageW(hWnd, WM_GETFONT, 0, 0));
  if (!font) {
    font = reinterpret_cast<HFONT>(::SendMessageW(::GetParent(hWnd), WM_GETFONT, 0, 0));
  }
  return font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

bool OpenHyperLink(LPCWSTR address) {
  auto result = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

}  // namespace winlayer_detail
