#include "controls/skin_menu.h"

#include <algorithm>

#include "controls/skin_font.h"
#include "foundation/common_helpers.h"
#include "winlayer/gdi_dc.h"

namespace {

void DeleteRecords(std::vector<MenuItemRecord*>& records) {
  for (MenuItemRecord* record : records) delete record;
  records.clear();
}

}  // namespace

CSkinMenu::CSkinMenu() : m_nExtraWidth(IsWindowsXP() ? 18 : 10) {
  CreateSkinFont(m_font, 12);
}

CSkinMenu::~CSkinMenu() {
  if (!HoldsConvertedMenu()) Detach();  // the base destroys what is still held
  DeleteRecords(m_items);
}

bool CSkinMenu::HoldsConvertedMenu() const {
  if (!m_hMenu || !::IsMenu(m_hMenu)) return false;
  if (m_items.empty()) return true;
  MENUITEMINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_DATA;
  return GetMenuItemInfo(0, TRUE, &info) &&
         info.dwItemData == reinterpret_cast<ULONG_PTR>(m_items.front());
}

void CSkinMenu::ReleaseHeldMenu() {
  if (HoldsConvertedMenu()) {
    DestroyMenu();
  } else {
    Detach();
  }
}

void CSkinMenu::ClearItems() {
  DeleteRecords(m_items);
  m_images.Destroy();
}

void CSkinMenu::AttachMenu(HMENU menu, BOOL flag, UINT bitmapId, int cx, int cy) {
  if (menu != m_hMenu) ReleaseHeldMenu();
  ClearItems();
  m_hMenu = menu;
  if (menu && GetMenuItemCount() > 0) ConvertItems(menu, flag);
  LoadImages(bitmapId, cx, cy);
}

void CSkinMenu::ConvertItems(HMENU menu, BOOL flag) {
  CMenuHandle items(menu);
  for (int position = 0, count = items.GetMenuItemCount(); position < count; ++position) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_SUBMENU;
    if (!items.GetMenuItemInfo(position, TRUE, &info)) continue;

    auto* record = new MenuItemRecord;
    record->nID = static_cast<int>(items.GetMenuItemID(position));
    if (record->nID < 0 && flag) record->nID = -2;
    wchar_t text[kMaxItemText + 1] = {};
    items.GetMenuString(position, text, kMaxItemText + 1, MF_BYPOSITION);
    record->strText = text;
    // Only the type and the data change: the command id and the sub-menu stay with the item.
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    info.fType |= MFT_OWNERDRAW;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(record);
    items.SetMenuItemInfo(position, TRUE, &info);
    m_items.push_back(record);

    if (info.hSubMenu) {
      if (record->nID != -2 && !flag) record->nID = -1;
      ConvertItems(info.hSubMenu, FALSE);
    }
  }
}

bool CSkinMenu::LoadImages(UINT bitmapId, int cx, int cy) {
  if (bitmapId == 0) return false;
  CBitmap bitmap(
      static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (bitmap.IsNull() || !m_images.Create(cx, cy, ILC_COLOR24 | ILC_MASK, 3, 3)) return false;
  if (m_images.Add(bitmap, m_clrMask) < 0) {
    m_images.Destroy();
    return false;
  }
  return true;
}

bool CSkinMenu::SetItemImage(UINT id, int image) {
  int count = m_images.IsNull() ? 0 : m_images.GetImageCount();
  if (image < 0 || image >= count) return false;
  for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
    if ((*it)->nID > 0 && (*it)->nID == static_cast<int>(id)) {
      (*it)->nImage = image;
      return true;
    }
  }
  return false;
}

MenuItemRecord* CSkinMenu::FindRecord(ULONG_PTR itemData) const {
  auto* record = reinterpret_cast<MenuItemRecord*>(itemData);
  return std::find(m_items.begin(), m_items.end(), record) != m_items.end() ? record : nullptr;
}

void CSkinMenu::MeasureItem(MEASUREITEMSTRUCT& measure) {
  const MenuItemRecord* record = FindRecord(measure.itemData);
  if (!record) return;
  if (record->nID == 0) {
    measure.itemHeight = m_nSeparatorHeight;
    return;
  }
  measure.itemHeight = m_nItemHeight;
  measure.itemWidth = kCharWidth * record->strText.GetLength() + m_nExtraWidth;
}

void CSkinMenu::DrawItem(const DRAWITEMSTRUCT& draw) {
  const MenuItemRecord* record = FindRecord(draw.itemData);
  if (!record) return;
  CRect rect(draw.rcItem);
  CMemoryDC dc(draw.hDC, rect);
  int saved = dc.SaveDC();
  dc.SetBkMode(TRANSPARENT);
  dc.SelectFont(m_font);
  const bool selected = (draw.itemState & ODS_SELECTED) != 0;
  const COLORREF face = selected ? m_clrSelectedFace : m_clrFace;
  dc.FillSolidRect(&rect, face);
  const UINT format = DT_SINGLELINE | DT_VCENTER;
  if (record->nID == -1 || record->nID == -2) {
    CRect textRect(rect.left + 8, rect.top, rect.right, rect.bottom);
    dc.SetTextColor(m_clrText);
    dc.DrawText(record->strText, -1, &textRect, format);
  } else if (record->nID == 0) {
    dc.FillSolidRect(rect.left + 2, (rect.top + rect.bottom) / 2, rect.Width() - 4,
                     m_nSeparatorHeight, m_clrSeparator);
  } else {
    const bool grayed = (draw.itemState & ODS_GRAYED) != 0;
    if (!m_images.IsNull() && record->nImage >= 0) {
      // A greyed item's image is half faded into the item's face.
      m_images.DrawEx(record->nImage, dc, rect.left, rect.top, 0, 0, CLR_NONE, face,
                      grayed ? ILD_BLEND50 : ILD_NORMAL);
    }
    CRect textRect(rect.left + m_nExtraWidth - 10 + 8, rect.top, rect.right, rect.bottom);
    CString text;
    if (grayed) {
      dc.SetTextColor(m_clrGrayText);
      text = L"\t" + record->strText;
    } else if (draw.itemState & ODS_CHECKED) {
      dc.SetTextColor(m_clrText);
      text = L"\u221A" + record->strText;
      textRect.left -= m_nExtraWidth;
    } else {
      dc.SetTextColor(m_clrText);
      text = L"\t" + record->strText;
    }
    dc.DrawText(text, -1, &textRect, format);
  }
  dc.RestoreDC(saved);
}
