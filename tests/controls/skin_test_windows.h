// Windows the skinned-control tests share: a hidden host that reflects notifications to its
// controls (as the program's dialogs do) and records what reaches it; a skinned list with the
// library list's columns; a skinned tree painted like the category tree.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "controls/skin_list_ctrl.h"
#include "controls/skin_font.h"
#include "controls/skin_tree_ctrl.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/geometry.h"
#include "winlayer/window_impl.h"

class ReflectingHost
    : public CWindowImpl<ReflectingHost, CWindow, CWinTraits<WS_POPUP | WS_CLIPCHILDREN>> {
 public:
  BEGIN_MSG_MAP(ReflectingHost)
  MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  std::vector<NMHDR> notices;  // every WM_NOTIFY, in order

 private:
  LRESULT OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    notices.push_back(*reinterpret_cast<NMHDR*>(lParam));
    bHandled = FALSE;  // on to the reflection
    return 0;
  }
};

// Two columns as the library list has them, painted by the base list.
class LibraryList : public CSkinListCtrlEx {
 public:
  void InitColumns() override {
    InsertColumn(0, L"名称", LVCFMT_LEFT, 300);
    InsertColumn(1, L"试听", LVCFMT_CENTER, 120);
  }
  int HitTestItemButton(POINT*) override { return -1; }
  using CSkinListCtrlEx::m_header;
};

// The radio category tree's look: the items' texts on a dark ground, the selected one in the
// accent colour.
class CategoryTree : public CSkinTreeCtrl {
 public:
  static constexpr COLORREF kBackground = 0x221A22;
  static constexpr COLORREF kSelectedText = 0x4369C9;

  explicit CategoryTree(int itemHeight) {
    m_nItemHeight = itemHeight;
    CreateSkinFont(m_font, 14);
  }
  void DoPaint(HDC hdc) override {
    CDCHandle dc(hdc);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, kBackground);
    int saved = dc.SaveDC();
    dc.SelectFont(m_font);
    dc.SetBkMode(TRANSPARENT);
    for (HTREEITEM item = GetRootItem(); item; item = GetNextSiblingItem(item)) {
      CRect line;
      GetItemRect(item, &line, FALSE);
      const bool selected = (GetItemState(item, TVIS_SELECTED) & TVIS_SELECTED) != 0;
      dc.SetTextColor(selected ? kSelectedText : RGB(255, 255, 255));
      CString text;
      GetItemText(item, text);
      line.left += 15;
      dc.DrawText(text, -1, &line, DT_SINGLELINE | DT_VCENTER);
    }
    dc.RestoreDC(saved);
  }

 private:
  CFont m_font;
};
