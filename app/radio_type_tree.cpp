#include "app/radio_type_tree.h"

#include "app/main_frame.h"
#include "controls/skin_font.h"
#include "winlayer/geometry.h"

namespace {

constexpr COLORREF kBackground = 0x221A22;
constexpr COLORREF kSelectedText = 0x4369C9;
constexpr int kRadioTypeShown = 2;

}  // namespace

CRadioTypeTreeCtrl::CRadioTypeTreeCtrl() {
  m_nItemHeight = 30;
  CreateSkinFont(m_font, 14);
}

void CRadioTypeTreeCtrl::Clear() {
  for (HTREEITEM item = GetRootItem(); item; item = GetNextSiblingItem(item)) {
    SetItemData(item, 0);
  }
  DeleteAllItems();
}

void CRadioTypeTreeCtrl::Fill(const std::vector<RadioType>& types) {
  Clear();
  for (const RadioType& type : types) {
    if (type.type_id != kRadioTypeShown) continue;
    for (const RadioSort& sort : type.sorts) {
      HTREEITEM item = InsertItem(L"", TVI_ROOT, TVI_LAST);
      SetItemData(item, reinterpret_cast<DWORD_PTR>(&sort));
    }
  }
  HTREEITEM first = GetRootItem();
  if (first) SelectItem(first);
  // The items paint only through DoPaint: the whole tree is redrawn once they are all there.
  Invalidate();
}

RadioSort* CRadioTypeTreeCtrl::RecordOf(const CTreeViewCtrl& tree, HTREEITEM item) {
  return item ? reinterpret_cast<RadioSort*>(tree.GetItemData(item)) : nullptr;
}

RadioSort* CRadioTypeTreeCtrl::GetSelectedSort() const {
  return RecordOf(*this, GetSelectedItem());
}

void CRadioTypeTreeCtrl::DoPaint(HDC target) {
  CDCHandle dc(target);
  CRect client;
  GetClientRect(&client);
  dc.FillSolidRect(&client, kBackground);
  dc.SetBkMode(TRANSPARENT);
  HFONT old = dc.SelectFont(m_font);
  for (HTREEITEM item = GetRootItem(); item; item = GetNextSiblingItem(item)) {
    const RadioSort* sort = RecordOf(*this, item);
    if (!sort) continue;
    CRect line;
    if (!GetItemRect(item, &line, FALSE)) continue;
    bool selected = (GetItemState(item, TVIS_SELECTED) & TVIS_SELECTED) != 0;
    dc.SetTextColor(selected ? kSelectedText : RGB(255, 255, 255));
    line.left += 15;
    dc.DrawText(sort->sort_name, -1, &line, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  dc.SelectFont(old);
}

LRESULT CRadioTypeTreeCtrl::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  CMainFrame::GetInstance()->SetCursorState(CMainFrame::kCursorArrow);
  bHandled = FALSE;
  return 0;
}
