// Windows the skinned-control tests share: a hidden host that reflects notifications to its
// controls (as the program's dialogs do), records what reaches it and answers menu items
// through a skinned menu; and a skinned list with the columns and hit areas of the radio
// library list.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "controls/skin_list_ctrl.h"
#include "controls/skin_menu.h"
#include "winlayer/window_impl.h"

class ReflectingHost
    : public CWindowImpl<ReflectingHost, CWindow, CWinTraits<WS_POPUP | WS_CLIPCHILDREN>> {
 public:
  BEGIN_MSG_MAP(ReflectingHost)
  MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
  MESSAGE_HANDLER(WM_MEASUREITEM, OnMenuItem)
  MESSAGE_HANDLER(WM_DRAWITEM, OnMenuItem)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  std::vector<NMHDR> notices;  // every WM_NOTIFY, in order
  CSkinMenu* menu = nullptr;   // answers WM_MEASUREITEM and WM_DRAWITEM of menu items

 private:
  LRESULT OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    notices.push_back(*reinterpret_cast<NMHDR*>(lParam));
    bHandled = FALSE;  // on to the reflection
    return 0;
  }
  LRESULT OnMenuItem(UINT uMsg, WPARAM, LPARAM lParam, BOOL& bHandled) {
    if (!menu) {
      bHandled = FALSE;
      return 0;
    }
    if (uMsg == WM_MEASUREITEM) {
      menu->MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    } else {
      menu->DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    }
    return TRUE;
  }
};

// Two columns as the library list has them; a cover square in column 0 is hit area 0.
class LibraryList : public CSkinListCtrlEx {
 public:
  void InitColumns() override {
    InsertColumn(0, L"名称", LVCFMT_LEFT, 300);
    InsertColumn(1, L"试听", LVCFMT_CENTER, 120);
  }
  int HitTestItemButton(POINT* point) override {
    LVHITTESTINFO hit = {};
    hit.pt = *point;
    if (SubItemHitTest(&hit) < 0 || hit.iSubItem != 0) return -1;
    CRect cell;
    GetSubItemRect(hit.iItem, 0, LVIR_BOUNDS, &cell);
    CRect cover(cell.left + 5, cell.top + m_nImageTop, cell.left + 5 + kPictureSize,
                cell.top + m_nImageTop + kPictureSize);
    return cover.PtInRect(*point) ? 0 : -1;
  }
  using CSkinListCtrlEx::m_header;
  using CSkinListCtrlEx::m_nItemHeight;
};
