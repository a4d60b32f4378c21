// Wrapper of the tab control.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "winlayer/controls.h"

namespace winlayer_detail {
inline constexpr wchar_t kTabClass[] = L"SysTabControl32";
}  // namespace winlayer_detail

template <class TBase>
class CTabCtrlT : public winlayer_detail::ControlBase<TBase, winlayer_detail::kTabClass> {
 public:
  using winlayer_detail::ControlBase<TBase, winlayer_detail::kTabClass>::ControlBase;
  CTabCtrlT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }

  int GetItemCount() const { return static_cast<int>(this->Send(TCM_GETITEMCOUNT)); }
  BOOL GetItemRect(int index, RECT* rect) const {
    return static_cast<BOOL>(this->Send(TCM_GETITEMRECT, index, rect));
  }
  // -1 when no tab is selected.
  int GetCurSel() const { return static_cast<int>(this->Send(TCM_GETCURSEL)); }
  // Returns the previously selected tab. Sends no TCN_SELCHANGE.
  int SetCurSel(int index) { return static_cast<int>(this->Send(TCM_SETCURSEL, index)); }
  int GetCurFocus() const { return static_cast<int>(this->Send(TCM_GETCURFOCUS)); }
  BOOL GetItem(int index, TCITEMW* item) const {
    return static_cast<BOOL>(this->Send(TCM_GETITEMW, index, item));
  }
  BOOL SetItem(int index, const TCITEMW* item) {
    return static_cast<BOOL>(this->Send(TCM_SETITEMW, index, item));
  }
  // Each returns the new tab's index, -1 on failure.
  int InsertItem(int index, const TCITEMW* item) {
    return static_cast<int>(this->Send(TCM_INSERTITEMW, index, item));
  }
  int InsertItem(int index, LPCWSTR text) {
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPWSTR>(text);
    return InsertItem(index, &item);
  }
  BOOL DeleteItem(int index) { return static_cast<BOOL>(this->Send(TCM_DELETEITEM, index)); }
  BOOL DeleteAllItems() { return static_cast<BOOL>(this->Send(TCM_DELETEALLITEMS)); }
  // The tab under a point of the client area, -1 when none.
  int HitTest(TCHITTESTINFO* info) const {
    return static_cast<int>(this->Send(TCM_HITTEST, 0, info));
  }
  // larger TRUE: the window rectangle for a display area; FALSE: the display area of a window
  // rectangle.
  void AdjustRect(BOOL larger, RECT* rect) { this->Send(TCM_ADJUSTRECT, larger, rect); }
  SIZE SetItemSize(SIZE size) {
    DWORD old = static_cast<DWORD>(this->Send(TCM_SETITEMSIZE, 0, MAKELPARAM(size.cx, size.cy)));
    return SIZE{LOWORD(old), HIWORD(old)};
  }
  void SetPadding(SIZE size) { this->Send(TCM_SETPADDING, 0, MAKELPARAM(size.cx, size.cy)); }
  int GetRowCount() const { return static_cast<int>(this->Send(TCM_GETROWCOUNT)); }
  HIMAGELIST SetImageList(HIMAGELIST list) {
    return reinterpret_cast<HIMAGELIST>(this->Send(TCM_SETIMAGELIST, 0, list));
  }
};
using CTabCtrl = CTabCtrlT<CWindow>;
