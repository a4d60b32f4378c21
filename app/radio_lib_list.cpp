#include "app/radio_lib_list.h"

#include "app/main_frame.h"
#include "app/site_pages.h"
#include "foundation/common_helpers.h"
#include "foundation/config.h"
#include "resources/app_resource.h"
#include "winlayer/app_module.h"
#include "winlayer/bitmap_dc.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/geometry.h"
#include "winlayer/image.h"

namespace {

constexpr COLORREF kTitleColour = 0xDADADA;
constexpr COLORREF kDescriptionColour = 0x7E7E7E;
constexpr COLORREF kListenTransparent = 0x251E25;
constexpr COLORREF kSelectedListenTransparent = 0xFF00FF;
constexpr int kCoverSize = 55;
constexpr int kListenSize = 50;
constexpr int kDescriptionLine = 20;

CRect CoverRect(const RECT& cell, int top) {
  return CRect(cell.left + 10, cell.top + top, cell.left + 10 + kCoverSize,
               cell.top + top + kCoverSize);
}

CRect ListenRect(const RECT& cell) {
  return CRect(cell.left + 36, cell.top + 14, cell.left + 36 + kListenSize,
               cell.top + 14 + kListenSize);
}

void DrawResourceRound(HDC dc, UINT id, const RECT& rect) {
  CImage picture;
  if (picture.LoadFromResource(_Module.GetResourceInstance(), id)) {
    CMainFrame::DrawRoundBitmap(picture, dc, rect);
  }
}

}  // namespace

CString CRadioLibListCtrl::CoverClickAddress(const RadioList& record) {
  if (record.type_name == L"电台") return SitePage(L"/radio");
  if (record.type_name == L"专辑") {
    CString path;
    path.Format(L"/album/%d", record.list_id);
    return SitePage(path);
  }
  return CString();
}

CString CRadioLibListCtrl::DescriptionText(const CString& text) {
  CString shown = text;
  shown.Replace(L"\r", L"");
  shown.Replace(L"\n", L"");
  shown.Replace(L"   ", L"");
  return shown;
}

void CRadioLibListCtrl::InitColumns() {
  for (const wchar_t* name : {L"名称", L"试听"}) {
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.pszText = const_cast<LPWSTR>(name);
    InsertColumn(GetHeader().GetItemCount(), &column);
  }
}

void CRadioLibListCtrl::Refill(std::vector<RadioList> records, int typeFilter, int sortFilter) {
  RemoveAllItems();
  m_records.clear();
  m_missingCovers.clear();
  for (RadioList& record : records) {
    if ((typeFilter == -1 || record.type_id == typeFilter) &&
        (sortFilter == -1 || record.sort_id == sortFilter)) {
      m_records.push_back(std::move(record));
    }
  }
  // Rows point into the vector, which no longer grows from here on.
  for (size_t i = 0; i < m_records.size(); ++i) {
    int item = InsertItem(static_cast<int>(i), L"");
    SetItemData(item, reinterpret_cast<DWORD_PTR>(&m_records[i]));
  }
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CRadioLibListCtrl::UpdateRecord(const RadioList& record) {
  for (RadioList& shown : m_records) {
    if (shown.IsSameList(record)) shown = record;
  }
}

const RadioList* CRadioLibListCtrl::RecordAt(int item) const {
  if (item < 0) return nullptr;
  return reinterpret_cast<const RadioList*>(GetItemData(item));
}

int CRadioLibListCtrl::HitTestItemButton(POINT* point) {
  LVHITTESTINFO hit = {};
  hit.pt = *point;
  if (SubItemHitTest(&hit) < 0 || !RecordAt(hit.iItem)) return kHitNone;
  CRect cell;
  if (!GetSubItemRect(hit.iItem, hit.iSubItem, LVIR_BOUNDS, &cell)) return kHitNone;
  if (hit.iSubItem == 0) {
    CRect cover(cell.left + 5, cell.top + m_nImageTop, cell.left + 5 + kCoverSize,
                cell.top + m_nImageTop + kCoverSize);
    if (cover.PtInRect(*point)) return kHitCover;
  } else if (hit.iSubItem == 1) {
    if (ListenRect(cell).PtInRect(*point)) return kHitListen;
  }
  return kHitNone;
}

LRESULT CRadioLibListCtrl::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&) {
  POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  CMainFrame::GetInstance()->SetCursorState(HitTestItemButton(&point) == kHitNone
                                                ? CMainFrame::kCursorArrow
                                                : CMainFrame::kCursorHand);
  return 0;
}

LRESULT CRadioLibListCtrl::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  int area = HitTestItemButton(&point);
  // Elsewhere the click selects the row as in any list.
  if (area == kHitNone) {
    bHandled = FALSE;
    return 0;
  }
  LVHITTESTINFO hit = {};
  hit.pt = point;
  SubItemHitTest(&hit);
  const RadioList* record = RecordAt(hit.iItem);
  if (!record) return 0;
  CMainFrame* frame = CMainFrame::GetInstance();
  if (area == kHitCover) {
    frame->SetCursorState(CMainFrame::kCursorHand);
    CString address = CoverClickAddress(*record);
    if (!address.IsEmpty()) OpenUrl(address);
  } else {
    frame->ShowPane(1);
    frame->SetCursorState(CMainFrame::kCursorHand);
    frame->GetWebDataManager().RequestAlbumDetail(0, 0, record->type_id, record->list_id,
                                                  record->list_id, record->type_id);
  }
  return 0;
}

void CRadioLibListCtrl::DrawSubItem(HDC hdc, int item, int subItem, RECT* cell, bool selected,
                                    bool focused) {
  CDCHandle dc(hdc);
  dc.SetBkMode(TRANSPARENT);
  FillItemBackground(dc, *cell, selected, focused, item, kSelectedColour, kRowColour);
  const RadioList* record = RecordAt(item);
  if (!record) return;
  if (subItem == 0) {
    DrawCover(dc, *record, *cell);
  } else if (subItem == 1) {
    DrawListenButton(dc, *cell, selected);
  }
}

void CRadioLibListCtrl::DrawCover(HDC hdc, const RadioList& record, const RECT& cell) {
  CDCHandle dc(hdc);
  CRect cover = CoverRect(cell, m_nImageTop);
  CString file;
  file.Format(L"%s%d.jpg", GetConfig()->GetRadioCoverDir().GetString(), record.list_id);
  CImage picture;
  if (FAILED(picture.Load(file))) {
    m_missingCovers.insert(record.list_id);
    RequestImageDownload(record.cover_url, file, m_hWnd, &cover);
    picture.LoadFromResource(_Module.GetResourceInstance(), IDB_SPLASH);
  } else if (m_missingCovers.erase(record.list_id)) {
    // This cover has just arrived. While it was fetched, each newer request of this page
    // replaced the one before it in the downloader's queue, and the arrival repaints this cover
    // alone: the others still missing must be asked for again.
    InvalidateMissingCovers();
  }
  if (!picture.IsNull()) DrawImage(picture, dc, cover);

  HFONT old = dc.SelectFont(m_fontLarge);
  dc.SetTextColor(kTitleColour);
  CRect title(cover.right + 12, cover.top, cover.right + 362, cover.top + 20);
  dc.DrawText(record.list_name, -1, &title, DT_LEFT | DT_NOPREFIX);
  dc.SelectFont(m_fontSmallB);
  dc.SetTextColor(kDescriptionColour);
  CRect description(cover.right + 12, title.bottom + (IsWindowsXP() ? 2 : 5), cell.right,
                    cell.bottom - 5);
  DrawWrappedText(dc, description, DescriptionText(record.desc_text), kDescriptionLine);
  dc.SelectFont(old);

  if (record.type_id == 2) {
    if (record.flags & RadioList::kFlagTypeTwo) {
      DrawResourceRound(dc, IDB_BADGE_FLAG,
                        CRect(cell.right - 70, cell.top + 8, cell.right - 20, cell.top + 30));
    }
    if (record.extra_number == 1 || record.extra_number == 2) {
      DrawResourceRound(dc, IDB_BADGE_NUMBER,
                        CRect(cell.right - 140, cell.top + 8, cell.right - 90, cell.top + 30));
    }
  }
}

void CRadioLibListCtrl::InvalidateMissingCovers() {
  for (int item = 0, count = GetItemCount(); item < count; ++item) {
    const RadioList* record = RecordAt(item);
    CRect cell;
    if (!record || !m_missingCovers.count(record->list_id) || !GetCellRect(item, 0, &cell)) {
      continue;
    }
    CRect cover = CoverRect(cell, m_nImageTop);
    InvalidateRect(&cover, FALSE);
  }
}

void CRadioLibListCtrl::DrawListenButton(HDC dc, const RECT& cell, bool selected) {
  // The selected row's button is loaded once for the whole process.
  static HBITMAP selectedButton = static_cast<HBITMAP>(
      ::LoadImageW(_Module.GetResourceInstance(), MAKEINTRESOURCEW(IDB_LISTEN_SELECTED),
                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  CImage plain;
  HBITMAP bitmap = selectedButton;
  if (!selected) {
    plain.LoadFromResource(_Module.GetResourceInstance(), IDB_LISTEN);
    bitmap = plain;
  }
  if (!bitmap) return;
  CBitmapDC source(dc, bitmap);
  if (!source.get()) return;
  CRect target = ListenRect(cell);
  ::TransparentBlt(dc, target.left, target.top, target.Width(), target.Height(), source.get(), 0,
                   0, source.size().cx, source.size().cy,
                   selected ? kSelectedListenTransparent : kListenTransparent);
}
