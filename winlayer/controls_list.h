// Wrappers of the list-view control and of its header.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "winlayer/controls.h"

namespace winlayer_detail {
inline constexpr wchar_t kHeaderClass[] = L"SysHeader32";
inline constexpr wchar_t kListViewClass[] = L"SysListView32";
}  // namespace winlayer_detail

template <class TBase>
class CHeaderCtrlT : public winlayer_detail::ControlBase<TBase, winlayer_detail::kHeaderClass> {
 public:
  using winlayer_detail::ControlBase<TBase, winlayer_detail::kHeaderClass>::ControlBase;
  CHeaderCtrlT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }

  int GetItemCount() const { return static_cast<int>(this->Send(HDM_GETITEMCOUNT)); }
  BOOL GetItem(int index, HDITEMW* item) const {
    return static_cast<BOOL>(this->Send(HDM_GETITEMW, index, item));
  }
  BOOL SetItem(int index, const HDITEMW* item) {
    return static_cast<BOOL>(this->Send(HDM_SETITEMW, index, item));
  }
  int InsertItem(int index, const HDITEMW* item) {
    return static_cast<int>(this->Send(HDM_INSERTITEMW, index, item));
  }
  BOOL DeleteItem(int index) { return static_cast<BOOL>(this->Send(HDM_DELETEITEM, index)); }
  BOOL GetItemRect(int index, RECT* rect) const {
    return static_cast<BOOL>(this->Send(HDM_GETITEMRECT, index, rect));
  }
  BOOL Layout(HDLAYOUT* layout) { return static_cast<BOOL>(this->Send(HDM_LAYOUT, 0, layout)); }
  int HitTest(HDHITTESTINFO* info) const {
    return static_cast<int>(this->Send(HDM_HITTEST, 0, info));
  }
  int OrderToIndex(int order) const {
    return static_cast<int>(this->Send(HDM_ORDERTOINDEX, order));
  }
  HIMAGELIST GetImageList() const {
    return reinterpret_cast<HIMAGELIST>(this->Send(HDM_GETIMAGELIST));
  }
  HIMAGELIST SetImageList(HIMAGELIST list) {
    return reinterpret_cast<HIMAGELIST>(this->Send(HDM_SETIMAGELIST, 0, list));
  }
};
using CHeaderCtrl = CHeaderCtrlT<CWindow>;

template <class TBase>
class CListViewCtrlT : public winlayer_detail::ControlBase<TBase, winlayer_detail::kListViewClass> {
 public:
  using winlayer_detail::ControlBase<TBase, winlayer_detail::kListViewClass>::ControlBase;
  CListViewCtrlT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }

  // ---- items
  int GetItemCount() const { return static_cast<int>(this->Send(LVM_GETITEMCOUNT)); }
  BOOL GetItem(LVITEMW* item) const { return static_cast<BOOL>(this->Send(LVM_GETITEMW, 0, item)); }
  BOOL SetItem(const LVITEMW* item) { return static_cast<BOOL>(this->Send(LVM_SETITEMW, 0, item)); }
  BOOL SetItem(int index, int subItem, UINT mask, LPCWSTR text, int image, UINT state,
               UINT stateMask, LPARAM param) {
    LVITEMW item = {};
    item.mask = mask;
    item.iItem = index;
    item.iSubItem = subItem;
    item.pszText = const_cast<LPWSTR>(text);
    item.iImage = image;
    item.state = state;
    item.stateMask = stateMask;
    item.lParam = param;
    return SetItem(&item);
  }
  // Each InsertItem returns the new item's index, -1 on failure.
  int InsertItem(const LVITEMW* item) {
    return static_cast<int>(this->Send(LVM_INSERTITEMW, 0, item));
  }
  int InsertItem(UINT mask, int index, LPCWSTR text, UINT state, UINT stateMask, int image,
                 LPARAM param) {
    LVITEMW item = {};
    item.mask = mask;
    item.iItem = index;
    item.pszText = const_cast<LPWSTR>(text);
    item.state = state;
    item.stateMask = stateMask;
    item.iImage = image;
    item.lParam = param;
    return InsertItem(&item);
  }
  int InsertItem(int index, LPCWSTR text) { return InsertItem(LVIF_TEXT, index, text, 0, 0, 0, 0); }
  int InsertItem(int index, LPCWSTR text, int image) {
    return InsertItem(LVIF_TEXT | LVIF_IMAGE, index, text, 0, 0, image, 0);
  }
  BOOL DeleteItem(int index) { return static_cast<BOOL>(this->Send(LVM_DELETEITEM, index)); }
  BOOL DeleteAllItems() { return static_cast<BOOL>(this->Send(LVM_DELETEALLITEMS)); }

  // The text of an item or sub-item, however long; returns its length.
  int GetItemText(int index, int subItem, CString& text) const {
    return winlayer_detail::ReadGrowingText(text, [&](LPWSTR buffer, int capacity) {
      return GetItemText(index, subItem, buffer, capacity);
    });
  }
  int GetItemText(int index, int subItem, LPWSTR buffer, int capacity) const {
    LVITEMW item = {};
    item.iSubItem = subItem;
    item.pszText = buffer;
    item.cchTextMax = capacity;
    return static_cast<int>(this->Send(LVM_GETITEMTEXTW, index, &item));
  }
  BOOL SetItemText(int index, int subItem, LPCWSTR text) {
    return SetItem(index, subItem, LVIF_TEXT, text, 0, 0, 0, 0);
  }
  DWORD_PTR GetItemData(int index) const {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    return GetItem(&item) ? static_cast<DWORD_PTR>(item.lParam) : 0;
  }
  BOOL SetItemData(int index, DWORD_PTR data) {
    return SetItem(index, 0, LVIF_PARAM, nullptr, 0, 0, 0, static_cast<LPARAM>(data));
  }
  UINT GetItemState(int index, UINT mask) const {
    return static_cast<UINT>(this->Send(LVM_GETITEMSTATE, index, mask));
  }
  // index -1 changes every item.
  BOOL SetItemState(int index, UINT state, UINT mask) {
    LVITEMW item = {};
    item.state = state;
    item.stateMask = mask;
    return SetItemState(index, &item);
  }
  BOOL SetItemState(int index, LVITEMW* item) {
    return static_cast<BOOL>(this->Send(LVM_SETITEMSTATE, index, item));
  }
  // code: LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL or LVIR_SELECTBOUNDS.
  BOOL GetItemRect(int index, RECT* rect, UINT code) const {
    rect->left = static_cast<LONG>(code);
    return static_cast<BOOL>(this->Send(LVM_GETITEMRECT, index, rect));
  }
  BOOL GetSubItemRect(int index, int subItem, int code, RECT* rect) const {
    rect->top = subItem;
    rect->left = code;
    return static_cast<BOOL>(this->Send(LVM_GETSUBITEMRECT, index, rect));
  }
  int GetSelectedCount() const { return static_cast<int>(this->Send(LVM_GETSELECTEDCOUNT)); }
  // The next item after start (-1: from the top) with the flags (LVNI_SELECTED, ...); -1 when
  // there is none.
  int GetNextItem(int start, int flags) const {
    return static_cast<int>(this->Send(LVM_GETNEXTITEM, start, MAKELPARAM(flags, 0)));
  }
  int GetSelectedIndex() const { return GetNextItem(-1, LVNI_SELECTED); }
  int HitTest(LVHITTESTINFO* info) const {
    return static_cast<int>(this->Send(LVM_HITTEST, 0, info));
  }
  int HitTest(POINT point, UINT* flags) const {
    LVHITTESTINFO info = {};
    info.pt = point;
    int index = HitTest(&info);
    if (flags) *flags = info.flags;
    return index;
  }
  int SubItemHitTest(LVHITTESTINFO* info) const {
    return static_cast<int>(this->Send(LVM_SUBITEMHITTEST, 0, info));
  }
  BOOL EnsureVisible(int index, BOOL partialOk) {
    return static_cast<BOOL>(this->Send(LVM_ENSUREVISIBLE, index, partialOk));
  }
  BOOL RedrawItems(int first, int last) {
    return static_cast<BOOL>(this->Send(LVM_REDRAWITEMS, first, last));
  }
  BOOL Update(int index) { return static_cast<BOOL>(this->Send(LVM_UPDATE, index)); }
  int GetTopIndex() const { return static_cast<int>(this->Send(LVM_GETTOPINDEX)); }
  int GetCountPerPage() const { return static_cast<int>(this->Send(LVM_GETCOUNTPERPAGE)); }
  BOOL Scroll(SIZE by) { return static_cast<BOOL>(this->Send(LVM_SCROLL, by.cx, by.cy)); }

  // compare(lParam1, lParam2, data) gets the items' lParams.
  BOOL SortItems(PFNLVCOMPARE compare, LPARAM data) {
    return static_cast<BOOL>(this->Send(LVM_SORTITEMS, data, reinterpret_cast<LPARAM>(compare)));
  }
  // compare(index1, index2, data) gets item indexes. Under Wine the items move while the
  // comparison runs, so a comparison must not read the items from the list by these indexes:
  // gather the keys before sorting.
  BOOL SortItemsEx(PFNLVCOMPARE compare, LPARAM data) {
    return static_cast<BOOL>(this->Send(LVM_SORTITEMSEX, data, reinterpret_cast<LPARAM>(compare)));
  }

  // ---- columns
  int InsertColumn(int index, const LVCOLUMNW* column) {
    return static_cast<int>(this->Send(LVM_INSERTCOLUMNW, index, column));
  }
  // width -1 leaves the width unset; subItem -1 uses index.
  int InsertColumn(int index, LPCWSTR heading, int format = LVCFMT_LEFT, int width = -1,
                   int subItem = -1) {
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = format;
    column.pszText = const_cast<LPWSTR>(heading);
    column.iSubItem = subItem == -1 ? index : subItem;
    if (width != -1) {
      column.mask |= LVCF_WIDTH;
      column.cx = width;
    }
    return InsertColumn(index, &column);
  }
  BOOL DeleteColumn(int index) { return static_cast<BOOL>(this->Send(LVM_DELETECOLUMN, index)); }
  BOOL GetColumn(int index, LVCOLUMNW* column) const {
    return static_cast<BOOL>(this->Send(LVM_GETCOLUMNW, index, column));
  }
  BOOL SetColumn(int index, const LVCOLUMNW* column) {
    return static_cast<BOOL>(this->Send(LVM_SETCOLUMNW, index, column));
  }
  int GetColumnWidth(int index) const {
    return static_cast<int>(this->Send(LVM_GETCOLUMNWIDTH, index));
  }
  BOOL SetColumnWidth(int index, int width) {
    return static_cast<BOOL>(this->Send(LVM_SETCOLUMNWIDTH, index, MAKELPARAM(width, 0)));
  }
  // Report view only: the number of header items.
  int GetColumnCount() const { return GetHeader().GetItemCount(); }
  CHeaderCtrl GetHeader() const {
    return CHeaderCtrl(reinterpret_cast<HWND>(this->Send(LVM_GETHEADER)));
  }

  // ---- looks
  // mask 0 changes every extended style.
  DWORD SetExtendedListViewStyle(DWORD style, DWORD mask = 0) {
    return static_cast<DWORD>(this->Send(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style));
  }
  DWORD GetExtendedListViewStyle() const {
    return static_cast<DWORD>(this->Send(LVM_GETEXTENDEDLISTVIEWSTYLE));
  }
  HIMAGELIST SetImageList(HIMAGELIST list, int which) {
    return reinterpret_cast<HIMAGELIST>(this->Send(LVM_SETIMAGELIST, which, list));
  }
  HIMAGELIST GetImageList(int which) const {
    return reinterpret_cast<HIMAGELIST>(this->Send(LVM_GETIMAGELIST, which));
  }
  BOOL SetBkColor(COLORREF colour) {
    return static_cast<BOOL>(this->Send(LVM_SETBKCOLOR, 0, colour));
  }
  BOOL SetTextColor(COLORREF colour) {
    return static_cast<BOOL>(this->Send(LVM_SETTEXTCOLOR, 0, colour));
  }
  BOOL SetTextBkColor(COLORREF colour) {
    return static_cast<BOOL>(this->Send(LVM_SETTEXTBKCOLOR, 0, colour));
  }
};
using CListViewCtrl = CListViewCtrlT<CWindow>;
