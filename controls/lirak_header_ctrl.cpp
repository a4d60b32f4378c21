#include "controls/lirak_header_ctrl.h"

#include "controls/skin_font.h"
#include "resources/skin_controls.h"
#include "winlayer/bitmap_dc.h"

namespace {

constexpr COLORREF kTextColour = 0x4369C9;
constexpr int kTextIndent = 20;
constexpr int kTextEnd = 5;
constexpr int kTextEndWithSortMark = 13;  // room for the mark
constexpr int kMaxItemText = 255;

}  // namespace

CLirakHeaderCtrl::CLirakHeaderCtrl() {
  CreateSkinFont(m_font, 13, FW_NORMAL, DEFAULT_CHARSET, FF_SWISS);
}

void PaintLirakHeader(HWND header, HDC target, HFONT font) {
  CHeaderCtrl control(header);
  CRect client;
  control.GetClientRect(&client);
  CMemoryDC dc(target, client);
  CBitmap background, separator;
  background.LoadBitmap(IDB_HEADER_BACKGROUND);
  separator.LoadBitmap(IDB_HEADER_SEPARATOR);
  DrawBitmap(dc, background, client);
  DrawBitmap(dc, separator, client.left, client.top);
  DrawBitmap(dc, separator, client.right - 1, client.top);

  int saved = dc.SaveDC();
  dc.SetTextColor(kTextColour);
  dc.SetBkMode(TRANSPARENT);
  dc.SelectFont(font);
  for (int i = 0, count = control.GetItemCount(); i < count; ++i) {
    wchar_t text[kMaxItemText + 1] = {};
    HDITEMW item = {};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_ORDER;
    item.pszText = text;
    item.cchTextMax = kMaxItemText;
    CRect rect;
    if (!control.GetItem(i, &item) || !control.GetItemRect(i, &rect) || rect.IsRectEmpty()) {
      continue;
    }
    DrawBitmap(dc, separator, rect.right, rect.top);
    bool sortMark = (item.fmt & (HDF_SORTUP | HDF_SORTDOWN)) != 0;
    CRect textRect(rect.left + kTextIndent, rect.top + 1,
                   rect.right - (sortMark ? kTextEndWithSortMark : kTextEnd), rect.bottom - 1);
    UINT align = DT_LEFT;
    if ((item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER) align = DT_CENTER;
    if ((item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT) align = DT_RIGHT;
    dc.DrawText(item.pszText ? item.pszText : L"", -1, &textRect,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | align);
  }
  dc.RestoreDC(saved);
}
