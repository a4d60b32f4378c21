// The program's main frame: its one top-level window and the owner of every long-lived pane.
// Every subsystem reports to it through the singleton.
//
// So far the frame holds what the lower layers need of it: the singleton, its window handle
// (the owner of the program's message boxes), the busy cursor, the pane switch, the image
// downloader and the song map. The window itself, its panes and the result handlers join it
// here.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>

#include "foundation/lock.h"
#include "foundation/locked_map.h"
#include "webdata/image_downloader.h"
#include "webdata/song.h"
#include "winlayer/window.h"

class CEditDlg;
class CLrceditDlg;

class CMainFrame : public CWindow {
 public:
  // The frame, created on first use (before its window exists) and never destroyed: worker
  // threads may report to it until the process ends.
  static CMainFrame* GetInstance();

  // Cursor by state: 0 busy, 1 end busy, 2 arrow, 3 hand, 4 text beam. While busy, other states
  // are remembered and restored when the busy state ends.
  void SetCursorState(int state);
  int GetCursorState() const { return m_nCursorState.load(); }

  // 0 the music-station panes, 1 the lyric workspace.
  void ShowPane(int pane);

  CImageDownloader& GetImageDownloader() { return m_imageDownloader; }

  // Song id to song: the songs of the lyric workspace, shared with the song list and the
  // download threads.
  CLockedMap<Song>& GetSongMap() { return m_songMap; }

  // The lyric workspace, which owns the lyric editor, the display window and the song list.
  CLrceditDlg* GetLrceditDlg() { return m_pLrceditDlg.get(); }
  CEditDlg* GetEditDlg();

  // What the login leaves for the web API's token request.
  void SetLoginAccount(const CString& user, const CString& digest);
  CString GetLoginUser() const;
  CString GetLoginDigest() const;

 private:
  CMainFrame();
  ~CMainFrame();
  CMainFrame(const CMainFrame&) = delete;
  CMainFrame& operator=(const CMainFrame&) = delete;

  CImageDownloader m_imageDownloader;
  CLockedMap<Song> m_songMap;
  std::atomic<int> m_nCursorState{2};
  int m_nPane = 0;
  std::unique_ptr<CLrceditDlg> m_pLrceditDlg;
  mutable CLock m_accountLock;
  CString m_strLoginUser;
  CString m_strLoginDigest;
};
