// Test helpers: a report list view with rows, painted into a memory DC (custom-draw
// notifications then flow without a visible window), and a list that answers its reflected
// custom draw.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "support/canvas.h"
#include "winlayer/controls_list.h"
#include "winlayer/window_impl.h"

inline void FillAndPaintList(HWND list, int rows) {
  CListViewCtrl view(list);
  view.InsertColumn(0, L"", LVCFMT_LEFT, 100);
  for (int i = 0; i < rows; ++i) view.InsertItem(i, L"row");
  testsupport::Canvas canvas(300, 200);
  view.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.hdc()), PRF_CLIENT);
}

// Answers a list's custom draw so that item stages follow, and counts them.
class CustomDrawCounter {
 public:
  int itemPrePaints = 0;
  LRESULT Answer(LPNMHDR header) {
    DWORD stage = reinterpret_cast<NMLVCUSTOMDRAW*>(header)->nmcd.dwDrawStage;
    if (stage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (stage == CDDS_ITEMPREPAINT) ++itemPrePaints;
    return CDRF_DODEFAULT;
  }
};

// A list view (superclassed when created, or any list subclassed) that draws through the custom
// draw its parent reflects to it.
class ReflectedList : public CWindowImpl<ReflectedList>, public CustomDrawCounter {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, WC_LISTVIEWW)
  BEGIN_MSG_MAP(ReflectedList)
  REFLECTED_NOTIFY_CODE_HANDLER(NM_CUSTOMDRAW, OnCustomDraw)
  DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()
  LRESULT OnCustomDraw(int, LPNMHDR header, BOOL&) { return Answer(header); }
};
