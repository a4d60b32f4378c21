// A report list view that sorts itself when a column header is clicked.
//
// CSortListViewImpl<T> is the sorting part, for a window class T over a list view: it keeps the
// sort column, the direction and a sort type per column (columns start as LVCOLSORT_TEXT and
// the list stays in step when columns are inserted or deleted), sorts by the texts stored in a
// column, and marks the sorted column's header item with HDF_SORTUP or HDF_SORTDOWN.
// CSortListViewCtrlImpl<T> is a whole list-view window class with it (a superclass of the list
// view); its message map is chained from T's.
//
// A left click on a header item sorts by that column, ascending, or reverses the direction when
// the column is already the sorted one; the click then goes on to the list view as usual
// (LVN_COLUMNCLICK reaches the parent).
//
// Sorting moves rows and keeps each row's item data (lParam), state and texts together. Rows with
// equal keys keep their order.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "winlayer/controls_list.h"
#include "winlayer/message_map.h"
#include "winlayer/window_impl.h"

// Sort types of a column.
constexpr WORD LVCOLSORT_NONE = 0;        // clicking the header does not sort
constexpr WORD LVCOLSORT_TEXT = 1;        // by text, as the user's locale orders it
constexpr WORD LVCOLSORT_TEXTNOCASE = 2;  // the same, ignoring case
constexpr WORD LVCOLSORT_LONG = 3;        // by the integer the text starts with
constexpr WORD LVCOLSORT_DOUBLE = 4;      // by the number the text starts with
constexpr WORD LVCOLSORT_LAST = LVCOLSORT_DOUBLE;

namespace winlayer_detail {

// Sorts the rows of list by the stored texts of a column. False when there is no such column, the
// type is LVCOLSORT_NONE or unknown, or the list refused.
bool SortListViewRows(HWND list, int column, WORD sortType, bool descending);
// Marks column's header item as sorted up or down and clears the marks of the others (column -1
// clears every mark).
void SetHeaderSortMark(HWND header, int column, bool descending);

}  // namespace winlayer_detail

template <class T>
class CSortListViewImpl {
 public:
  int GetSortColumn() const { return m_iSortColumn; }
  bool IsSortDescending() const { return m_bSortDescending; }

  WORD GetColumnSortType(int column) const {
    if (column < 0) return LVCOLSORT_NONE;
    // Columns the list had before this object knew it are text columns.
    return column < static_cast<int>(m_arrColSortType.size()) ? m_arrColSortType[column]
                                                              : LVCOLSORT_TEXT;
  }
  void SetColumnSortType(int column, WORD type) {
    if (column < 0 || type > LVCOLSORT_LAST) return;
    if (column >= static_cast<int>(m_arrColSortType.size())) {
      m_arrColSortType.resize(column + 1, LVCOLSORT_TEXT);
    }
    m_arrColSortType[column] = type;
  }

  // Sorts by column and marks it; false (and nothing changed) when the column cannot be sorted.
  bool DoSortItems(int column, bool descending = false) {
    T* self = static_cast<T*>(this);
    if (!winlayer_detail::SortListViewRows(*self, column, GetColumnSortType(column), descending)) {
      return false;
    }
    m_bSortDescending = descending;
    SetSortColumn(column);
    return true;
  }
  // Marks a column as the sorted one without sorting (-1: none).
  void SetSortColumn(int column) {
    T* self = static_cast<T*>(this);
    m_iSortColumn = column;
    winlayer_detail::SetHeaderSortMark(self->GetHeader(), column, m_bSortDescending);
  }

  BEGIN_MSG_MAP(CSortListViewImpl)
  MESSAGE_HANDLER(LVM_INSERTCOLUMNW, OnInsertColumn)
  MESSAGE_HANDLER(LVM_INSERTCOLUMNA, OnInsertColumn)
  MESSAGE_HANDLER(LVM_DELETECOLUMN, OnDeleteColumn)
  NOTIFY_CODE_HANDLER(HDN_ITEMCLICKW, OnHeaderItemClick)
  NOTIFY_CODE_HANDLER(HDN_ITEMCLICKA, OnHeaderItemClick)
  END_MSG_MAP()

  LRESULT OnInsertColumn(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    LRESULT index = static_cast<T*>(this)->DefWindowProc(uMsg, wParam, lParam);
    if (index < 0) return index;
    int at = static_cast<int>(index);
    if (at <= static_cast<int>(m_arrColSortType.size())) {
      m_arrColSortType.insert(m_arrColSortType.begin() + at, LVCOLSORT_TEXT);
    }
    if (m_iSortColumn >= at) ++m_iSortColumn;
    return index;
  }

  LRESULT OnDeleteColumn(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    LRESULT deleted = static_cast<T*>(this)->DefWindowProc(uMsg, wParam, lParam);
    if (!deleted) return deleted;
    int at = static_cast<int>(wParam);
    if (at < static_cast<int>(m_arrColSortType.size())) {
      m_arrColSortType.erase(m_arrColSortType.begin() + at);
    }
    if (m_iSortColumn == at) {
      m_iSortColumn = -1;
    } else if (m_iSortColumn > at) {
      --m_iSortColumn;
    }
    return deleted;
  }

  LRESULT OnHeaderItemClick(int, LPNMHDR header, BOOL& bHandled) {
    auto* click = reinterpret_cast<LPNMHEADERW>(header);
    if (click->iButton == 0) {
      bool descending = click->iItem == m_iSortColumn ? !m_bSortDescending : false;
      DoSortItems(click->iItem, descending);
    }
    bHandled = FALSE;  // the list view still tells its parent about the click
    return 0;
  }

 protected:
  std::vector<WORD> m_arrColSortType;
  int m_iSortColumn = -1;
  bool m_bSortDescending = false;
};

template <class T, class TBase = CListViewCtrl, class TWinTraits = CControlWinTraits>
class CSortListViewCtrlImpl : public CWindowImpl<T, TBase, TWinTraits>,
                              public CSortListViewImpl<T> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, TBase::GetWndClassName())

  // Sorts by a column (the list view's own SortItems taking a comparison stays reachable
  // through TBase).
  bool SortItems(int column, bool descending = false) {
    return this->DoSortItems(column, descending);
  }

  BEGIN_MSG_MAP(CSortListViewCtrlImpl)
  CHAIN_MSG_MAP(CSortListViewImpl<T>)
  END_MSG_MAP()
};

// A sortable list view used as it is.
class CSortListViewCtrl : public CSortListViewCtrlImpl<CSortListViewCtrl> {
 public:
  DECLARE_WND_SUPERCLASS(L"WinLayer_SortListView", CListViewCtrl::GetWndClassName())
};
