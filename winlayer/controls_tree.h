// Wrapper of the tree-view control. Items are HTREEITEM handles; TVI_ROOT, TVI_FIRST and
// TVI_LAST work where the control takes them.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "winlayer/controls.h"

namespace winlayer_detail {
inline constexpr wchar_t kTreeViewClass[] = L"SysTreeView32";
}  // namespace winlayer_detail

template <class TBase>
class CTreeViewCtrlT : public winlayer_detail::ControlBase<TBase, winlayer_detail::kTreeViewClass> {
 public:
  using winlayer_detail::ControlBase<TBase, winlayer_detail::kTreeViewClass>::ControlBase;
  CTreeViewCtrlT& operator=(HWND hWnd) {
    this->m_hWnd = hWnd;
    return *this;
  }

  // ---- walking: each returns null when there is no such item
  HTREEITEM GetNextItem(HTREEITEM item, UINT code) const {
    return reinterpret_cast<HTREEITEM>(this->Send(TVM_GETNEXTITEM, code, item));
  }
  HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
  HTREEITEM GetChildItem(HTREEITEM item) const { return GetNextItem(item, TVGN_CHILD); }
  HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXT); }
  HTREEITEM GetPrevSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PREVIOUS); }
  HTREEITEM GetParentItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PARENT); }
  HTREEITEM GetFirstVisibleItem() const { return GetNextItem(nullptr, TVGN_FIRSTVISIBLE); }
  HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
  UINT GetCount() const { return static_cast<UINT>(this->Send(TVM_GETCOUNT)); }

  // ---- items
  HTREEITEM InsertItem(const TVINSERTSTRUCTW* insert) {
    return reinterpret_cast<HTREEITEM>(this->Send(TVM_INSERTITEMW, 0, insert));
  }
  HTREEITEM InsertItem(UINT mask, LPCWSTR text, int image, int selectedImage, UINT state,
                       UINT stateMask, LPARAM param, HTREEITEM parent, HTREEITEM after) {
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = mask;
    insert.item.pszText = const_cast<LPWSTR>(text);
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    insert.item.state = state;
    insert.item.stateMask = stateMask;
    insert.item.lParam = param;
    return InsertItem(&insert);
  }
  HTREEITEM InsertItem(LPCWSTR text, HTREEITEM parent, HTREEITEM after) {
    return InsertItem(TVIF_TEXT, text, 0, 0, 0, 0, 0, parent, after);
  }
  BOOL DeleteItem(HTREEITEM item) { return static_cast<BOOL>(this->Send(TVM_DELETEITEM, 0, item)); }
  BOOL DeleteAllItems() {
    return static_cast<BOOL>(this->Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)));
  }
  BOOL GetItem(TVITEMW* item) const { return static_cast<BOOL>(this->Send(TVM_GETITEMW, 0, item)); }
  BOOL SetItem(const TVITEMW* item) { return static_cast<BOOL>(this->Send(TVM_SETITEMW, 0, item)); }
  DWORD_PTR GetItemData(HTREEITEM item) const {
    TVITEMW info = {};
    info.mask = TVIF_PARAM;
    info.hItem = item;
    return GetItem(&info) ? static_cast<DWORD_PTR>(info.lParam) : 0;
  }
  BOOL SetItemData(HTREEITEM item, DWORD_PTR data) {
    TVITEMW info = {};
    info.mask = TVIF_PARAM;
    info.hItem = item;
    info.lParam = static_cast<LPARAM>(data);
    return SetItem(&info);
  }
  UINT GetItemState(HTREEITEM item, UINT mask) const {
    return static_cast<UINT>(this->Send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), mask));
  }
  BOOL SetItemState(HTREEITEM item, UINT state, UINT mask) {
    TVITEMW info = {};
    info.mask = TVIF_STATE;
    info.hItem = item;
    info.state = state;
    info.stateMask = mask;
    return SetItem(&info);
  }
  // The text, however long; returns its length (0 for a bad item).
  int GetItemText(HTREEITEM item, CString& text) const {
    return winlayer_detail::ReadGrowingText(text, [&](LPWSTR buffer, int capacity) {
      TVITEMW info = {};
      info.mask = TVIF_TEXT;
      info.hItem = item;
      info.pszText = buffer;
      info.cchTextMax = capacity;
      buffer[0] = 0;
      return GetItem(&info) ? lstrlenW(info.pszText) : 0;
    });
  }
  BOOL SetItemText(HTREEITEM item, LPCWSTR text) {
    TVITEMW info = {};
    info.mask = TVIF_TEXT;
    info.hItem = item;
    info.pszText = const_cast<LPWSTR>(text);
    return SetItem(&info);
  }
  // textOnly: the rectangle of the text, else of the whole line.
  BOOL GetItemRect(HTREEITEM item, RECT* rect, BOOL textOnly) const {
    *reinterpret_cast<HTREEITEM*>(rect) = item;
    return static_cast<BOOL>(this->Send(TVM_GETITEMRECT, textOnly, rect));
  }

  // ---- selection and view
  BOOL SelectItem(HTREEITEM item) { return Select(item, TVGN_CARET); }
  BOOL Select(HTREEITEM item, UINT code) {
    return static_cast<BOOL>(this->Send(TVM_SELECTITEM, code, item));
  }
  BOOL Expand(HTREEITEM item, UINT code = TVE_EXPAND) {
    return static_cast<BOOL>(this->Send(TVM_EXPAND, code, item));
  }
  BOOL EnsureVisible(HTREEITEM item) {
    return static_cast<BOOL>(this->Send(TVM_ENSUREVISIBLE, 0, item));
  }
  HTREEITEM HitTest(TVHITTESTINFO* info) const {
    return reinterpret_cast<HTREEITEM>(this->Send(TVM_HITTEST, 0, info));
  }
  HTREEITEM HitTest(POINT point, UINT* flags) const {
    TVHITTESTINFO info = {};
    info.pt = point;
    HTREEITEM item = HitTest(&info);
    if (flags) *flags = info.flags;
    return item;
  }
  // Returns the previous height; -1 restores the default.
  int SetItemHeight(int height) { return static_cast<int>(this->Send(TVM_SETITEMHEIGHT, height)); }
  int GetItemHeight() const { return static_cast<int>(this->Send(TVM_GETITEMHEIGHT)); }
  COLORREF SetBkColor(COLORREF colour) {
    return static_cast<COLORREF>(this->Send(TVM_SETBKCOLOR, 0, colour));
  }
  COLORREF SetTextColor(COLORREF colour) {
    return static_cast<COLORREF>(this->Send(TVM_SETTEXTCOLOR, 0, colour));
  }
  HIMAGELIST SetImageList(HIMAGELIST list, int which = TVSIL_NORMAL) {
    return reinterpret_cast<HIMAGELIST>(this->Send(TVM_SETIMAGELIST, which, list));
  }
};
using CTreeViewCtrl = CTreeViewCtrlT<CWindow>;
