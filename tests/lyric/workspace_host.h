// The frame's lyric workspace in a shown host window, as the tests of the lyric windows use it:
// COM, the common controls and the scroll-bar hooks as the program's start-up sets them up. And
// the song list as a user drives it.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>

#include "app/main_frame.h"
#include "controls/skin_scrollbar.h"
#include "lyric/lrcedit_dlg.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/window_impl.h"

// A host painted as the frame paints behind its panes.
class WorkspaceHost : public CWindowImpl<WorkspaceHost, CWindow,
                                         CWinTraits<WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN>> {
 public:
  BEGIN_MSG_MAP(WorkspaceHost)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
  END_MSG_MAP()

  // The host at size, with the workspace below top.
  void Open(SIZE size, int top) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&init);
    ASSERT_TRUE(SkinSB_InstallApiHooks());
    ASSERT_NE(nullptr, Create(nullptr, CRect(0, 0, size.cx, size.cy)));
    CLrceditDlg* workspace = CMainFrame::GetInstance()->GetLrceditDlg();
    ASSERT_NE(nullptr, workspace->Create(m_hWnd)) << GetLastError();
    workspace->MoveWindow(0, top, size.cx, size.cy - top);
    workspace->ShowWindow(SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
  }

 private:
  LRESULT OnEraseBkgnd(UINT, WPARAM wParam, LPARAM, BOOL&) {
    CRect client;
    GetClientRect(&client);
    CDCHandle(reinterpret_cast<HDC>(wParam)).FillSolidRect(&client, 0x282128);
    return 1;
  }
};

// The row of a song in the workspace's song list; -1 when it is not listed.
inline int RowOfSong(CLrceditDlg* workspace, int songId) {
  CPlayListViewCtrl* list = workspace->GetSongList();
  for (int row = 0; row < list->GetItemCount(); ++row) {
    if (static_cast<int>(list->GetItemData(row)) == songId) return row;
  }
  return -1;
}

// Selects the rows of these songs, and only them.
inline void SelectSongRows(CLrceditDlg* workspace, std::initializer_list<int> songIds) {
  CPlayListViewCtrl* list = workspace->GetSongList();
  for (int row = 0; row < list->GetItemCount(); ++row) list->SetItemState(row, 0, LVIS_SELECTED);
  for (int id : songIds) list->SetItemState(RowOfSong(workspace, id), LVIS_SELECTED, LVIS_SELECTED);
}

// A notice of the song list (NM_DBLCLK, NM_RCLICK) about item, as the list sends it.
inline void SendSongListNotice(CLrceditDlg* workspace, UINT code, int item = -1) {
  CPlayListViewCtrl* list = workspace->GetSongList();
  NMITEMACTIVATE notice = {};
  notice.hdr.hwndFrom = *list;
  notice.hdr.idFrom = static_cast<UINT_PTR>(list->GetDlgCtrlID());
  notice.hdr.code = code;
  notice.iItem = item;
  workspace->SendMessage(WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
}
