#include "controls/skin_list_ctrl.h"

#include <algorithm>

#include "controls/skin_font.h"
#include "winlayer/bitmap_dc.h"
#include "winlayer/gdi_dc.h"

namespace {

constexpr int kFitMargin = 20;
constexpr int kTruncateLength = 100;
constexpr wchar_t kSentenceEnds[] = L"！!?？.。";

// The light cells' brushes, made once for the whole process.
struct CellBrushes {
  CBrush selectedFocused;
  CBrush selectedUnfocused;
  CBrush white;
  CBrush edge;
  CellBrushes() {
    selectedFocused.CreateSolidBrush(0x6093F1);
    selectedUnfocused.CreateSolidBrush(0xCECECE);
    white.CreateSolidBrush(RGB(255, 255, 255));
    edge.CreateSolidBrush(0xDADADA);
  }
};

const CellBrushes& GetCellBrushes() {
  static const CellBrushes brushes;
  return brushes;
}

}  // namespace

CSkinListCtrlEx::CSkinListCtrlEx() : m_nImageTop((m_nItemHeight - kPictureSize) / 2 + 2) {
  CreateSkinFont(m_fontCell, 12, FW_NORMAL, ANSI_CHARSET, FF_SWISS);
  CreateSkinFont(m_fontSmallA, 12, FW_NORMAL, ANSI_CHARSET, FF_SWISS);
  CreateSkinFont(m_fontLarge, 15, FW_NORMAL, ANSI_CHARSET, FF_SWISS);
  CreateSkinFont(m_fontSmallB, 12, FW_NORMAL, ANSI_CHARSET, FF_SWISS);
}

bool CSkinListCtrlEx::HasFocus() const {
  HWND focus = ::GetFocus();
  return focus && (focus == m_hWnd || IsChild(focus));
}

void CSkinListCtrlEx::ApplyItemHeight() {
  CHeaderCtrl header = GetHeader();
  if (!m_header.m_hWnd && header.m_hWnd && m_header.SubclassWindow(header)) {
    m_header.ModifyStyle(0, HDS_FLAT);
    m_header.SetFont(m_header.m_font);
  }
  // A report row is the height of the list's font cell and 1 px of padding. Asked for by its
  // cell (not by its characters) the font gives that height whatever the face's leading; a
  // substitute face may still round it by a pixel.
  LOGFONTW logFont = {};
  logFont.lfHeight = m_nItemHeight - 1;
  logFont.lfWeight = FW_NORMAL;
  logFont.lfCharSet = GB2312_CHARSET;
  lstrcpynW(logFont.lfFaceName, L"宋体", LF_FACESIZE);
  CFont rows;
  if (!rows.CreateFontIndirect(&logFont)) return;
  SetFont(rows);
  m_fontRows.Attach(rows.Detach());  // the list has let go of the font it had before
}

void CSkinListCtrlEx::InvalidateItem(int item) {
  CRect row;
  if (!GetItemRect(item, &row, LVIR_BOUNDS)) return;
  CRect client;
  GetClientRect(&client);
  row.left = client.left;
  row.right = client.right;
  InvalidateRect(&row, FALSE);
}

bool CSkinListCtrlEx::GetCellRect(int item, int subItem, RECT* cell) const {
  CRect rect;
  BOOL found = GetSubItemRect(item, subItem, LVIR_LABEL, &rect);
  if (subItem == 0) rect.left = 0;
  rect.NormalizeRect();
  *cell = rect;
  return found != FALSE;
}

bool CSkinListCtrlEx::RemoveAllItems() {
  for (int i = GetItemCount() - 1; i >= 0; --i) SetItemData(i, 0);
  DeleteAllItems();
  return true;
}

void CSkinListCtrlEx::FitColumnWidth(int column, int totalWidth) {
  if (column == -1) return;
  int others = 0;
  for (int i = 0, count = GetHeader().GetItemCount(); i < count; ++i) {
    if (i != column) others += GetColumnWidth(i);
  }
  SetColumnWidth(column, std::max(0, totalWidth - kFitMargin - others));
}

void CSkinListCtrlEx::DrawImage(CImage& image, HDC dc, RECT rect) {
  DrawBitmap(dc, image, rect);
}

CString CSkinListCtrlEx::TruncateText(CString text) {
  if (text.GetLength() <= kTruncateLength) return text;
  text = text.Left(kTruncateLength);
  int end = -1;
  for (const wchar_t* ch = kSentenceEnds; *ch; ++ch) end = std::max(end, text.ReverseFind(*ch));
  return end >= 0 ? text.Left(end + 1) : text;
}

void CSkinListCtrlEx::DrawSubItem(HDC hdc, int item, int subItem, RECT* cell, bool selected,
                                  bool focused) {
  CString text;
  GetItemText(item, subItem, text);
  text += L"  ";
  FillItemBackground(hdc, *cell, selected, focused, item, kSelectedColour, kRowColour);
  CRect rect(*cell);
  UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
  if (subItem == 1) {
    rect.left += 5;
    format |= DT_LEFT;
  } else {
    format |= DT_RIGHT;
  }
  // Every cell of every paint comes here: the few settings are put back one by one, which
  // costs far less than saving and restoring the whole DC.
  CDCHandle dc(hdc);
  const int oldMode = dc.SetBkMode(TRANSPARENT);
  const COLORREF oldColour = dc.SetTextColor(kTextColour);
  const HFONT oldFont = dc.SelectFont(m_fontCell);
  dc.DrawText(text, -1, &rect, format);
  dc.SelectFont(oldFont);
  dc.SetTextColor(oldColour);
  dc.SetBkMode(oldMode);
}

void CSkinListCtrlEx::DrawBlankRows(NMCUSTOMDRAW* draw) {
  CRect paint(draw->rc);
  int count = GetItemCount();
  int start = paint.top;
  CRect last;
  if (count > 0 && GetItemRect(count - 1, &last, LVIR_LABEL)) start = last.bottom;
  if (start >= paint.bottom) return;
  CRect client;
  GetClientRect(&client);
  paint.right = client.right;
  const int rows = (paint.bottom - start + m_nItemHeight - 1) / m_nItemHeight;
  CHeaderCtrl header = GetHeader();
  const int columns = header.GetItemCount();
  // The header's items lie where the columns are shown: moved left by the horizontal scroll.
  const int scroll = GetScrollPos(SB_HORZ);
  const bool focused = m_bPaintFocused;
  for (int i = 0; i < rows; ++i) {
    const int top = start + i * m_nItemHeight;
    int columnsEnd = -scroll;
    for (int c = 0; c < columns; ++c) {
      CRect column;
      if (!header.GetItemRect(c, &column)) continue;
      column.OffsetRect(-scroll, 0);
      columnsEnd = std::max(columnsEnd, static_cast<int>(column.right));
      if (column.right <= paint.left || column.left >= paint.right) continue;
      CRect band(column.left, top, column.right, top + m_nItemHeight);
      FillItemBackground(draw->hdc, band, false, focused, count + i, kSelectedColour, kRowColour);
    }
    if (columnsEnd < client.right) {
      CRect rest(columnsEnd, top, client.right, top + m_nItemHeight);
      FillItemBackground(draw->hdc, rest, false, focused, count + i, kSelectedColour, kRowColour);
    }
  }
}

void CSkinListCtrlEx::DrawCellBackground(HDC dc, RECT rect, bool selected, bool focused,
                                         bool fill) {
  const CellBrushes& brushes = GetCellBrushes();
  if (selected || fill) {
    HBRUSH brush =
        !selected ? brushes.white : (focused ? brushes.selectedFocused : brushes.selectedUnfocused);
    ::FillRect(dc, &rect, brush);
  }
  RECT edge = {rect.right - 1, rect.top, rect.right, rect.bottom};
  ::FillRect(dc, &edge, brushes.edge);
  if (selected) {
    RECT bottom = {rect.left, rect.bottom - 1, rect.right, rect.bottom};
    ::FillRect(dc, &bottom, brushes.white);
  }
}

void CSkinListCtrlEx::UpdateRowBrushes(COLORREF selectedColour, COLORREF rowColour) {
  // The brushes are made again only when a colour changes: every cell of every paint comes here.
  if (selectedColour != m_clrBrushSelected || m_brushSelected.IsNull()) {
    m_brushSelected.CreateSolidBrush(selectedColour);
    m_clrBrushSelected = selectedColour;
  }
  if (rowColour != m_clrBrushRow || m_brushEven.IsNull() || m_brushOdd.IsNull()) {
    m_brushEven.CreateSolidBrush(rowColour);
    m_brushOdd.CreateSolidBrush(rowColour);
    m_clrBrushRow = rowColour;
  }
}

void CSkinListCtrlEx::FillItemBackground(HDC dc, RECT rect, bool selected, int focused, int item,
                                         COLORREF selectedColour, COLORREF rowColour) {
  (void)focused;
  if (rect.left == rect.right) return;
  UpdateRowBrushes(selectedColour, rowColour);
  HBRUSH brush = selected ? m_brushSelected : (item % 2 ? m_brushOdd : m_brushEven);
  ::FillRect(dc, &rect, brush);
}

LRESULT CSkinListCtrlEx::OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  LRESULT result = DefWindowProc(uMsg, wParam, lParam);
  ApplyItemHeight();
  return result;
}

LRESULT CSkinListCtrlEx::OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) {
  return 1;
}

LRESULT CSkinListCtrlEx::OnSize(UINT, WPARAM, LPARAM, BOOL&) {
  return 0;
}

LRESULT CSkinListCtrlEx::OnHeaderNotify(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  // Columns keep the widths their list gives them: no dragging, no fitting to the content.
  if (header->hwndFrom == m_header.m_hWnd &&
      (header->code == HDN_BEGINTRACKW || header->code == HDN_DIVIDERDBLCLICKW)) {
    return 1;
  }
  bHandled = FALSE;
  return 0;
}

LRESULT CSkinListCtrlEx::OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  switch (header->code) {
    case NM_CUSTOMDRAW:
      return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
    case LVN_ITEMCHANGED: {
      auto* change = reinterpret_cast<NMLISTVIEW*>(lParam);
      if ((change->uChanged & LVIF_STATE) &&
          ((change->uNewState ^ change->uOldState) & (LVIS_SELECTED | LVIS_STATEIMAGEMASK))) {
        InvalidateItem(change->iItem);
      }
      bHandled = FALSE;
      return 0;
    }
    case LVN_ENDSCROLL:
    case LVN_DELETEITEM:
    case LVN_INSERTITEM:
      return 0;
    default:
      bHandled = FALSE;
      return 0;
  }
}

LRESULT CSkinListCtrlEx::OnCustomDraw(NMLVCUSTOMDRAW* draw) {
  NMCUSTOMDRAW& nmcd = draw->nmcd;
  const int item = static_cast<int>(nmcd.dwItemSpec);
  switch (nmcd.dwDrawStage) {
    case CDDS_PREPAINT: {
      // Neither the focus nor the columns change while the list paints: asked once, not for
      // every row and cell.
      m_bPaintFocused = HasFocus();
      m_nPaintColumnsWidth = 0;
      for (int c = 0, count = GetHeader().GetItemCount(); c < count; ++c) {
        m_nPaintColumnsWidth += GetColumnWidth(c);
      }
      return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    }
    case CDDS_ITEMPREPAINT: {
      // The strip right of the last column, which no cell covers.
      CRect row, client;
      GetItemRect(item, &row, LVIR_BOUNDS);
      GetClientRect(&client);
      CRect strip(row.left + m_nPaintColumnsWidth, row.top, client.right, row.bottom);
      strip.NormalizeRect();
      FillItemBackground(nmcd.hdc, strip, false, m_bPaintFocused, item, kSelectedColour,
                         kRowColour);
      m_bPaintSelected = (GetItemState(item, LVIS_SELECTED) & LVIS_SELECTED) != 0;
      return CDRF_NOTIFYSUBITEMDRAW;
    }
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      const int subItem = draw->iSubItem;
      if (item >= 0 && subItem >= 0) {
        CRect cell;
        GetCellRect(item, subItem, &cell);
        DrawSubItem(nmcd.hdc, item, subItem, &cell, m_bPaintSelected, m_bPaintFocused);
      }
      return CDRF_SKIPDEFAULT;
    }
    case CDDS_POSTPAINT:
      DrawBlankRows(&nmcd);
      return CDRF_SKIPDEFAULT;
    default:
      return 0;
  }
}
