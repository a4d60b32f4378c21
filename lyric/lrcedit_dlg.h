// CLrceditDlg: the lyric workspace, a modeless child dialog of the main frame (template 264).
// It puts together the song list, the media player control, the lyric display window, the
// lyric editor, the strip above them and the splitter between the list and the right column.
// Songs come from the main frame; each is buffered on a download thread of its own (progress in
// the song list), played once buffered, and its lyric opened in the editor.
//
// Threads: everything here runs on the UI thread. The main frame's result handlers may call
// the Add* operations from the request queue's worker: those hand themselves over to the UI
// thread with a synchronous message, so the list and the current song change on one thread.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "controls/rc_splitter.h"
#include "controls/skin_menu.h"
#include "foundation/lock.h"
#include "lyric/edit_dlg.h"
#include "lyric/fast_dlg.h"
#include "lyric/hosted_player.h"
#include "lyric/lrc_displayer.h"
#include "lyric/play_list_view.h"
#include "lyric/player_panel.h"
#include "resources/lyric_ids.h"
#include "webdata/song.h"
#include "webdata/song_item.h"
#include "winlayer/ax_dialog.h"
#include "winlayer/msg_crackers.h"
#include "winlayer/window_thread.h"

namespace proto {
class albumdetail;
}

class CLrceditDlg : public CAxDialogImpl<CLrceditDlg> {
 public:
  enum { IDD = IDD_LRCEDIT_DLG };
  // Width of the right-hand column (player, strip, display or editor) before any drag.
  static constexpr int kColumnWidth = 353;
  // How much wider than kColumnWidth the column is laid out once the splitter bar has been
  // dragged to left..right in a client area clientWidth wide (narrower when negative).
  static int SplitterOffset(int clientWidth, int left, int right);
  static constexpr int kPositionTimer = 0;
  static constexpr int kStartTimer = 1;
  static constexpr int kIdleTimer = 2;

  CLrceditDlg();
  ~CLrceditDlg() override;

  BEGIN_MSG_MAP_EX(CLrceditDlg)
  MSG_WM_INITDIALOG(OnInitDialog)
  MSG_WM_COMMAND(OnCommand)
  MSG_WM_DESTROY(OnDestroy)
  MSG_WM_TIMER(OnTimer)
  MSG_WM_SIZE(OnSize)
  MSG_WM_ERASEBKGND(OnEraseBkgnd)
  MSG_WM_NOTIFY(OnNotify)
  MSG_WM_DRAWITEM(OnDrawItem)
  MSG_WM_MEASUREITEM(OnMeasureItem)
  MESSAGE_HANDLER_EX(kRunOnWindowThread, OnRunOnUiThread)
  // The song list's custom draw and item changes go back to it.
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  CPlayListViewCtrl* GetSongList() { return &m_wndSongList; }
  CEditDlg* GetEditDlg() { return &m_wndEdit; }
  CFastDlg* GetFastDlg() { return &m_wndFast; }
  CLrcDisplayer* GetDisplayer() { return &m_wndDisplayer; }
  IMediaPlayer* GetPlayer() { return &m_player; }
  // The player's face while the control stays idle; no window when the control plays itself.
  CPlayerPanel* GetPlayerPanel() { return &m_wndPlayerPanel; }
  bool IsMediaLoaded() const { return m_bMediaLoaded; }
  int GetPlayingSongId() const { return m_nPlayingId; }
  int GetCurrentSongId() const { return m_nCurrentId; }

  // Songs from the main frame (any thread).
  void AddSongItem(const CSongItem* item, bool keepCurrent);
  void AddSongItems(const std::vector<CSongItem>& items);
  void AddSong(SongPtr song, bool keepCurrent);
  void AddAlbumSongs(const proto::albumdetail& album);

  // F3 and F4: the player and the display move by seconds.
  void SeekBy(bool forward, double seconds);
  // The player and the display go to seconds from the start (F3, F4 and the player's bar).
  void SeekTo(double seconds);
  // F2: pause or play the playing song.
  void TogglePlayPause();
  double GetCurrentPosition();
  void CloseMedia();

  // The scroll-bar skin of the song list and the lyric box (bitmap 231), loaded once per process
  // and kept for its life.
  static HBITMAP GetScrollBarSkin();

  // Buffers a song that is in the song map and has not started buffering.
  void BufferSong(const SongPtr& song);
  void StartDownloadTask(const CString& url, const CString& path, HWND notify, const SongPtr& song);
  // Plays a buffered song, or starts buffering it to play it once buffered.
  void PlaySong(const SongPtr& song);
  // Selects the song's row, opens its lyric and plays it.
  void PlayBufferedSong(const SongPtr& song);
  // Hands the song's audio file to the player and plays it: it is the playing song now.
  void StartPlayer(const SongPtr& song);
  // Makes sure the song's lyric file exists and opens it in the editor.
  void LoadSongLyric(const SongPtr& song);
  // The full action of opening a row: its lyric in the editor, the song played or buffered, the
  // display set to the lyric. The row's song id, or -1 when the row holds no song.
  //
  // Each of these that opens a lyric in the editor first asks about the editor's unsaved work,
  // before anything else changes (the row, a download, which blocks), and does nothing more when
  // the work's save failed.
  int OpenSongAt(int item);
  void OpenSong(const SongPtr& song);
  // Stops the player and the display when the row's song is the one playing.
  void StopIfPlaying(int row);

 private:
  BOOL OnInitDialog(HWND focus, LPARAM param);
  void OnCommand(UINT code, int id, HWND control);
  void OnDestroy();
  void OnTimer(UINT_PTR id);
  void OnSize(UINT type, CSize size);
  BOOL OnEraseBkgnd(HDC) { return TRUE; }
  LRESULT OnRunOnUiThread(UINT, WPARAM wParam, LPARAM);
  LRESULT OnNotify(int id, LPNMHDR header);
  void OnDrawItem(int id, LPDRAWITEMSTRUCT item);
  void OnMeasureItem(int id, LPMEASUREITEMSTRUCT item);

  // The song list (lrcedit_songs.cpp).
  void ShowSongMenu();
  void OnSongDoubleClick(int item);
  void OnSongCommand(int id);
  void DownloadLyricAgain(const SongPtr& song);
  void ResetSongBuffer(const SongPtr& song);
  // The one selected row: -1 (after noneWarning) when none is selected, -1 when several are.
  int SelectedRow(const wchar_t* noneWarning);
  SongPtr SongAt(int row);
  static void OnSplitterMoved(int left, int top, int right, int bottom, void* context);

  // Runs work now on the window's thread, or hands it over and waits.
  void RunOnUiThread(const std::function<void()>& work);
  void Layout(int width, int height, int offset);
  void OnPositionTimer();
  void OnStartTimer();
  void ShowEditor(bool editor);
  void BackToDisplay();
  SongPtr FindSong(int songId);
  // When the song's lyric file is not there: downloads it, or makes an empty one.
  void FetchMissingLyric(const SongPtr& song);
  static void CreateEmptyLyricFile(const CString& path);

  CHostedPlayer m_player;
  HWND m_hPlayerWnd = nullptr;
  // Shown in the control's place while the control is idle (see hosted_player.h).
  CPlayerPanel m_wndPlayerPanel{m_player.GetSubstitute()};
  CLrcDisplayer m_wndDisplayer;
  CPlayListViewCtrl m_wndSongList;
  CFont m_listFont;
  CEditDlg m_wndEdit;
  HMENU m_hMenu = nullptr;
  CFastDlg m_wndFast;
  CRCSplitter m_wndSplitter;
  int m_nPlayingId = -1;
  int m_nCurrentId = -1;
  CSkinMenu m_skinMenu;
  bool m_bMediaLoaded = false;
  CLock m_lock;
  bool m_bPlayToggle = true;  // F2 pauses first
};
