// The program's main frame: its one top-level window and the owner of every long-lived pane.
// Every subsystem reports to it through the singleton.
//
// So far the frame holds what the lower layers need of it: the singleton, its window handle
// (the owner of the program's message boxes), the busy cursor, the pane switch, the image
// downloader, the song map, the web-data manager and the entry points of the request results.
// The window itself, its panes and the dispatch of results to them join it here.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <functional>
#include <mutex>
#include <string>

#include <boost/shared_ptr.hpp>

#include "foundation/lock.h"
#include "foundation/locked_map.h"
#include "webdata/image_downloader.h"
#include "webdata/song.h"
#include "webdata/web_data_manager.h"
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
  CWebDataManager& GetWebDataManager() { return m_webDataManager; }

  // Results of the request queue, on its worker thread. The web-data manager parses or stores
  // the result; then, unless param is -1 (fill the caches only) or the window does not exist
  // yet, the result is dispatched for its kind. A parameter record that is not dispatched is
  // freed here.
  void OnWebServiceReply(const std::string& reply, int kind, int param);
  void OnApiReply(boost::shared_ptr<proto::base> result, int kind, int param);

  // The dispatch of a result to the panes, by kind (WebRequestKind); also called at once by the
  // web-data manager's front ends on a cache hit. It owns the parameter record of kinds 1, 3
  // and 7 and frees it on every path (ScopedRequestParam).
  void OnWebServiceData(int kind, int param);
  void OnApiData(int kind, int param);

  // Tests only: called by OnWebServiceData (api false) and OnApiData (api true) with the kind and
  // param, before the parameter record is freed. An empty function removes it.
  using DataObserver = std::function<void(bool api, int kind, int param)>;
  void SetDataObserverForTesting(DataObserver observer);

 private:
  CMainFrame();
  ~CMainFrame();
  CMainFrame(const CMainFrame&) = delete;
  CMainFrame& operator=(const CMainFrame&) = delete;

  void NotifyDataObserver(bool api, int kind, int param);

  CImageDownloader m_imageDownloader;
  CLockedMap<Song> m_songMap;
  CWebDataManager m_webDataManager;
  std::mutex m_observerMutex;
  DataObserver m_dataObserver;
  std::atomic<int> m_nCursorState{2};
  int m_nPane = 0;
  std::unique_ptr<CLrceditDlg> m_pLrceditDlg;
  mutable CLock m_accountLock;
  CString m_strLoginUser;
  CString m_strLoginDigest;
};
