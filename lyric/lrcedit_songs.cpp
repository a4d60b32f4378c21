// The workspace's song list: its notifications, its context menu and the commands on its rows.
#include <windows.h>
#include <commctrl.h>

#include "app/main_frame.h"
#include "foundation/common_helpers.h"
#include "foundation/logger.h"
#include "foundation/message_box.h"
#include "foundation/site_addresses.h"
#include "lyric/lrcedit_dlg.h"
#include "lyric/song_download.h"

namespace {

const wchar_t kNoticeCaption[] = L"温馨提示";
const wchar_t kEditorCaption[] = L"歌词编辑";
const wchar_t kNothingSelected[] = L"未选中列表歌曲！！";

void LogErase(const wchar_t* format, int value = 0) {
  GetLogger()->log(em_utility::log_level::important, format, value);
}

// Downloads url beside path and puts it in path's place only once it is whole: a download that
// fails leaves the file at path as it was.
bool ReplaceWithDownload(const CString& url, const CString& path) {
  const CString fresh = path + L".download";
  DeleteFileLogged(fresh);
  bool replaced = DownloadWithProgress(url, fresh, nullptr, 0) == kSongDownloadDone &&
                  ::MoveFileExW(fresh, path, MOVEFILE_REPLACE_EXISTING);
  if (!replaced) DeleteFileLogged(fresh);
  return replaced;
}

}  // namespace

int CLrceditDlg::SelectedRow(const wchar_t* noneWarning) {
  int selected = m_wndSongList.GetSelectedCount();
  if (selected == 0) {
    ShowMessageBox(m_hWnd, noneWarning, kNoticeCaption, MB_ICONWARNING);
    return -1;
  }
  if (selected > 1) return -1;
  for (int row = m_wndSongList.GetItemCount() - 1; row >= 0; --row) {
    if (m_wndSongList.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) return row;
  }
  return -1;
}

SongPtr CLrceditDlg::SongAt(int row) {
  return row >= 0 ? FindSong(static_cast<int>(m_wndSongList.GetItemData(row))) : SongPtr();
}

LRESULT CLrceditDlg::OnNotify(int, LPNMHDR header) {
  if (header->hwndFrom != m_wndSongList.m_hWnd ||
      (header->code != NM_RCLICK && header->code != NM_DBLCLK)) {
    // The list's custom draw and item changes go back to it (reflection, below in the map).
    SetMsgHandled(FALSE);
    return 0;
  }
  if (header->code == NM_RCLICK) {
    ShowSongMenu();
  } else {
    OnSongDoubleClick(reinterpret_cast<NMITEMACTIVATE*>(header)->iItem);
  }
  return 0;
}

void CLrceditDlg::ShowSongMenu() {
  HMENU loaded = ::LoadMenuW(_Module.GetResourceInstance(), MAKEINTRESOURCEW(IDR_SONG_LIST_MENU));
  if (!loaded) return;
  HMENU menu = ::GetSubMenu(loaded, 0);
  m_skinMenu.AttachMenu(menu, FALSE, 0, 0, 0);
  POINT cursor = {0, 0};
  ::GetCursorPos(&cursor);
  int selected = m_wndSongList.GetSelectedCount();
  if (selected == 0) {
    ShowMessageBox(m_hWnd, kNothingSelected, kNoticeCaption, MB_ICONWARNING);
  } else {
    if (selected > 1) {
      for (UINT id :
           {ID_PLAY_SONG, ID_EDIT_SONG_LYRIC, ID_DOWNLOAD_LYRIC_AGAIN, ID_OPEN_SONG_PAGE}) {
        ::EnableMenuItem(menu, id, MF_BYCOMMAND | MF_GRAYED);
      }
    }
    ::TrackPopupMenu(menu, 0, cursor.x, cursor.y, 0, m_hWnd, nullptr);
  }
  ::DestroyMenu(loaded);
}

void CLrceditDlg::OnSongDoubleClick(int item) {
  int opened = OpenSongAt(item);
  int selected = m_wndSongList.GetSelectedCount();
  if (selected == 0) {
    ShowMessageBox(m_hWnd, kNothingSelected, kNoticeCaption, MB_ICONWARNING);
    return;
  }
  if (selected > 1) return;
  SongPtr song = SongAt(SelectedRow(kNothingSelected));
  // The row just opened is not opened a second time (a song still buffering would be announced
  // twice, a buffered one started twice).
  if (!song || song->GetSongId() == opened) return;
  LoadSongLyric(song);
  m_wndDisplayer.Stop();
  PlaySong(song);
}

int CLrceditDlg::OpenSongAt(int item) {
  SongPtr song = SongAt(item);
  if (!song) return -1;
  OpenSong(song);
  return song->GetSongId();
}

void CLrceditDlg::OpenSong(const SongPtr& song) {
  // The editor's unsaved work is asked about before the lyric is downloaded (which blocks) and
  // opened; a save that fails keeps the song from opening.
  if (!m_wndEdit.ConfirmDiscard()) return;
  CString lyricPath = song->GetLyricPath().c_str();
  if (!FileExists(lyricPath)) {
    DownloadWithProgress(song->GetLyric().c_str(), lyricPath, nullptr, 0);
  }
  LoadSongLyric(song);
  m_wndDisplayer.Stop();
  PlaySong(song);
  if (m_bMediaLoaded) {
    double position = GetCurrentPosition();
    m_wndDisplayer.OpenLyricFile(lyricPath);
    m_wndDisplayer.Pause();
    m_wndDisplayer.SetTime(static_cast<int>(position * 1000));
  }
}

void CLrceditDlg::StopIfPlaying(int row) {
  if (static_cast<int>(m_wndSongList.GetItemData(row)) != m_nPlayingId) return;
  m_player.Stop();
  m_wndDisplayer.Stop();
  m_wndDisplayer.SetTime(0);
  m_player.SetPosition(0.0);
}

void CLrceditDlg::OnSongCommand(int id) {
  switch (id) {
    case ID_EDIT_SONG_LYRIC: {
      int selected = m_wndSongList.GetSelectedCount();
      if (selected == 0) {
        ShowMessageBox(m_hWnd, L"未选中列表歌曲！", kNoticeCaption, MB_ICONWARNING);
        LoadSongLyric(FindSong(m_nPlayingId));
      } else if (selected > 1) {
        ShowMessageBox(m_hWnd, L"编辑歌词请选中一行歌曲！", kNoticeCaption, MB_ICONWARNING);
      } else {
        LoadSongLyric(SongAt(SelectedRow(kNothingSelected)));
      }
      break;
    }
    case ID_PLAY_SONG: {
      int row = SelectedRow(kNothingSelected);
      if (row < 0) break;
      CMainFrame::GetInstance()->SetCursorState(0);
      OpenSongAt(row);
      CMainFrame::GetInstance()->SetCursorState(1);
      break;
    }
    case ID_DOWNLOAD_LYRIC_AGAIN:
      DownloadLyricAgain(SongAt(SelectedRow(kNothingSelected)));
      break;
    case ID_DELETE_SONGS:
      if (ShowMessageBox(m_hWnd, L"确定要删除选中的歌曲？", kNoticeCaption,
                         MB_YESNO | MB_ICONQUESTION) != IDYES) {
        break;
      }
      m_wndSongList.SendMessage(WM_VSCROLL, SB_TOP, 0);
      // No redrawing between rows: updating the list and its skinned scroll bar after every
      // removal held the UI thread for 3 s over a thousand rows (0.4 s without).
      m_wndSongList.SetRedraw(FALSE);
      for (int row = m_wndSongList.GetItemCount() - 1; row >= 0; --row) {
        if (!(m_wndSongList.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED)) continue;
        StopIfPlaying(row);
        m_wndSongList.RemoveItem(row, 0);
      }
      m_wndSongList.SetRedraw(TRUE);
      m_wndSongList.Invalidate();
      break;
    case ID_CLEAR_SONG_LIST:
      if (ShowMessageBox(m_hWnd, L"确定要清空所有歌曲？", kNoticeCaption,
                         MB_YESNO | MB_ICONQUESTION) == IDYES) {
        m_wndSongList.SendMessage(WM_VSCROLL, SB_TOP, 0);
        LogErase(L"erase song begin");
        LogErase(L"当前歌曲项数为%d", m_wndSongList.GetItemCount());
        m_wndSongList.SetRedraw(FALSE);  // as above
        for (int row = m_wndSongList.GetItemCount() - 1; row >= 0; --row) {
          LogErase(L"Erase songs, nsongid = %d", static_cast<int>(m_wndSongList.GetItemData(row)));
          StopIfPlaying(row);
          m_wndSongList.RemoveItem(row, 0);
        }
        m_wndSongList.SetRedraw(TRUE);
        LogErase(L"erase song end");
        m_wndSongList.Invalidate();
      }
      BackToDisplay();
      break;
    case ID_OPEN_SONG_PAGE: {
      SongPtr song = SongAt(SelectedRow(kNothingSelected));
      if (!song) break;
      CString url;
      url.Format(L"http://%S/song/%d", site::HomeHost().c_str(), song->GetSongId());
      OpenUrl(url);
      break;
    }
    case ID_RESET_SONG_BUFFER:
      ResetSongBuffer(SongAt(SelectedRow(kNothingSelected)));
      break;
    default:
      break;
  }
}

void CLrceditDlg::DownloadLyricAgain(const SongPtr& song) {
  if (!song || !m_wndEdit.ConfirmDiscard()) return;
  CString path = song->GetLyricPath().c_str();
  if (!FileExists(path)) {
    FetchMissingLyric(song);
  } else if (ShowMessageBox(m_hWnd, L"已有歌词文件存在，是否替换？", kEditorCaption, MB_YESNO) ==
                 IDYES &&
             !ReplaceWithDownload(song->GetLyric().c_str(), path)) {
    // The user's file (perhaps edited and saved, not yet uploaded) stays; on No it stays too.
    ShowMessageBox(m_hWnd, L"歌词下载失败，原有的歌词文件没有改动！", kNoticeCaption,
                   MB_ICONWARNING);
  }
  if (m_wndEdit.OpenSong(song)) ShowEditor(true);
}

void CLrceditDlg::ResetSongBuffer(const SongPtr& song) {
  if (!song) return;
  CString path = song->GetMp3Path().c_str();
  CLockedMap<Song>& songs = CMainFrame::GetInstance()->GetSongMap();
  {
    auto lock = songs.GetLock();
    // A download still writing the file keeps it.
    if (!FileExists(path) || song->GetDownloadThread()) return;
  }
  // The player lets go of the playing song's file, so that it can be deleted.
  if (song->GetSongId() == m_nPlayingId) {
    m_player.Close();
  } else {
    m_player.Stop();
  }
  {
    auto lock = songs.GetLock();
    song->SetProgress(0.0f);
  }
  songs.Update(song);
  DeleteFileLogged(path);
  m_wndSongList.Invalidate();
}

int CLrceditDlg::SplitterOffset(int clientWidth, int left, int right) {
  if (right > clientWidth - kColumnWidth) return clientWidth - right - kColumnWidth;
  if (left < clientWidth - kColumnWidth - 4) return clientWidth - left - kColumnWidth - 4;
  return 0;
}

void CLrceditDlg::OnSplitterMoved(int left, int, int right, int, void* context) {
  auto* self = static_cast<CLrceditDlg*>(context);
  CRect client;
  self->GetClientRect(&client);
  CWindow box = self->m_wndEdit.GetLrcEdit();
  box.SendMessage(WM_SETREDRAW, FALSE, 0);
  self->Layout(client.Width(), client.Height(), SplitterOffset(client.Width(), left, right));
  box.SendMessage(WM_SETREDRAW, TRUE, 0);
  box.Invalidate();
}
