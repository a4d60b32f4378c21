// The program's main frame: its one top-level window and the owner of every long-lived pane.
// Every subsystem reports to it through the singleton.
//
// The object is made before its window (the login needs it) and never destroyed: worker threads
// may report to it until the process ends. Its window is a borderless, self-painted frame of
// 1020 x 720 with its own caption strip and buttons, the tab strip, the address box, the panes,
// the status and notice bars and a tray icon (main_frame_window.cpp). Results of the request
// queue arrive through the result handlers and are dispatched by kind to the panes.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include <boost/shared_ptr.hpp>

#include "app/program_version.h"
#include "app/radio_lib_list.h"
#include "app/radio_type_tree.h"
#include "app/status_bar.h"
#include "app/tooltip_bar.h"
#include "controls/select_ctrl.h"
#include "controls/skin_menu.h"
#include "controls/sub_tab.h"
#include "foundation/lock.h"
#include "foundation/locked_map.h"
#include "foundation/module_info.h"
#include "lyric/edit_impl.h"
#include "webdata/image_downloader.h"
#include "webdata/song.h"
#include "winlayer/bitmap_button.h"
#include "winlayer/frame.h"
#include "winlayer/gdi_objects.h"
#include "winlayer/image.h"
#include "webdata/web_data_manager.h"
#include "winlayer/window.h"

class CEditDlg;
class CLrceditDlg;

// The frame's messages from the tray icon and the shell's media notices.
constexpr UINT WM_TRAY_NOTIFY = WM_USER + 1;
constexpr UINT WM_SHELL_NOTIFY = 0x0BDC;

class CMainFrame
    : public CFrameWindowImpl<CMainFrame, CWindow,
                              CWinTraits<0x06CF0000, WS_EX_APPWINDOW | WS_EX_WINDOWEDGE>> {
 public:
  using Base = CFrameWindowImpl<CMainFrame, CWindow,
                                CWinTraits<0x06CF0000, WS_EX_APPWINDOW | WS_EX_WINDOWEDGE>>;

  // States of SetCursorState.
  enum : int { kCursorBusy = 0, kCursorEndBusy = 1, kCursorArrow = 2, kCursorHand = 3,
               kCursorBeam = 4 };

  BEGIN_MSG_MAP(CMainFrame)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  MESSAGE_HANDLER(WM_SIZE, OnSizeMessage)
  MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
  MESSAGE_HANDLER(WM_DEVICECHANGE, OnDeviceChange)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
  MESSAGE_HANDLER(WM_NCHITTEST, OnNcHitTest)
  MESSAGE_HANDLER(WM_NCLBUTTONDOWN, OnNcLButtonDown)
  MESSAGE_HANDLER(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
  MESSAGE_HANDLER(WM_COMMAND, OnCommandMessage)
  MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
  MESSAGE_HANDLER(WM_TIMER, OnTimer)
  MESSAGE_HANDLER(WM_MEASUREITEM, OnMeasureItem)
  MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
  MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
  MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
  MESSAGE_HANDLER(WM_SHELL_NOTIFY, OnShellNotify)
  MESSAGE_HANDLER(WM_HOTKEY, OnHotKey)
  MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
  MESSAGE_HANDLER(WM_TRAY_NOTIFY, OnTrayNotify)
  CHAIN_MSG_MAP(Base)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  // The key handler, also called by the UI thread's message filter for every WM_KEYDOWN:
  // 0 means handled (the key goes no further).
  LRESULT OnKeyDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

  // The exit sequence. When ask is set, asks first: about the lyric editor's unsaved work (a
  // save that fails keeps the program), then whether to close. False when the program stays.
  bool ExitApp(bool ask);
  // Forgets the automatic sign-in and closes the program, which then starts again; the lyric
  // editor's unsaved work is asked about first, as for an exit.
  void ChangeUser();
  // Fills the work area, or goes back to the size before.
  void ToggleMaximize();
  void SetTitle(CString title);
  CString GetTitle() const { return m_strTitle; }
  // Lays the children out again for the current client size.
  void Relayout();

  // Draws images\name of the program folder stretched over the window into dc (null: a DC of
  // the window); false when there is no such picture.
  bool DrawSkinImage(HWND window, HDC dc, CString name);
  // Fills rect with the picture stretched to it, clipped to a rectangle with 5 x 5 corners.
  static void DrawRoundBitmap(const CImage& image, HDC dc, const RECT& rect);

  // What the login leaves for the web API's token request.
  void SetLoginAccount(const CString& user, const CString& digest);
  void SetLoginValue(int value) { m_nLoginValue = value; }
  CString GetLoginUser() const;
  CString GetLoginDigest() const;

  // One update check: manual from the menu (tells the user the outcome), else only when the
  // settings ask for automatic checks (silent unless there is a newer version).
  void CheckUpdate(bool manual);
  // The hourly check, until a newer version has been shown once or the program ends.
  static DWORD WINAPI UpdateCheckThreadProc(LPVOID frame);

  const em_utility::file_version& GetFileVersion() const { return m_version; }
  CToolTipBar& GetNoticeBar() { return m_wndNoticeBar; }
  CRadioTypeTreeCtrl& GetRadioTree() { return m_wndTree; }
  CRadioLibListCtrl& GetRadioList() { return m_wndList; }
  CSelectCtrl& GetPager() { return m_wndPager; }
  CEditImpl& GetAddressBox() { return m_wndAddress; }
  // The page the pager last showed for a tree node (0 when none).
  int GetRememberedPage(int nodeId) const;

  // Marks of one entry of the radio lists (by type id and list id) in its flags word, redrawn in
  // the library list. Nothing in the program calls them.
  void ClearRadioListMarks(int typeId, int listId);
  void MarkRadioListWaiting(int typeId, int listId);
  void MarkRadioListDone(int typeId, int listId);

  // The music-station panes react to a tree item: its lists, or the pager's page of them.
  void OnTreeSelChanged(HTREEITEM item);
  bool IsTopmost() const { return m_bTopmost; }
  bool IsKeepChecking() const { return m_bKeepChecking; }

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
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled);
  LRESULT OnSizeMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
  LRESULT OnDeviceChange(UINT, WPARAM, LPARAM, BOOL&) { return TRUE; }
  LRESULT OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
  LRESULT OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnNcLButtonDown(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
  LRESULT OnNcLButtonDblClk(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnCommandMessage(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
  LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
  LRESULT OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
  LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
  LRESULT OnShellNotify(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnHotKey(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
  LRESULT OnTrayNotify(UINT, WPARAM, LPARAM lParam, BOOL&);

  // Kind 4: the update description is in the web-data manager.
  void OnUpdateDescription(bool manual);
  // Kind 0: the radio types and lists are in the web-data manager.
  void OnRadioTypes();
  // Kind 1: the songs of a radio list are in the web-data manager.
  void OnRadioSongs(const WebRequestParam* request);
  // Kind 3: a page of album promotions is in the web-data manager. On the UI thread, so that
  // the page is weighed against the node and page shown and then listed between two of the
  // user's choices, never after a newer one.
  void OnAlbumPromotions(const AlbumPromotionParam* page);
  void OnPagerStep();
  // Changes the flags of the entry of the frame's copy and redraws it in the library list.
  void ChangeRadioListFlags(int typeId, int listId, unsigned set, unsigned clear);
  // The lists of the frame's copy with this type and sort.
  std::vector<RadioList> RadioListsOf(int typeId, int sortId) const;

  // The layout routine, for a wished client size.
  void OnSize(int width, int height);
  void OnCommand(int id);
  void ShowMainMenu(POINT at, UINT trackFlags);
  // Before the program ends: the lyric editor's question about its unsaved work. False when the
  // program must stay (the save failed).
  bool ConfirmLyricWorkMayGo();
  void ShowAboutBox();
  void AddTrayIcon();

  // The frame's window parts, in their order of construction.
  CRadioTypeTreeCtrl m_wndTree;
  CRadioLibListCtrl m_wndList;
  CToolTipBar m_wndNoticeBar;
  CStatusBar m_wndStatusBar;
  CFont m_font;
  CSkinMenu m_menu;
  CBitmapButton m_btnMenu;
  CBitmapButton m_btnMinimize;
  CBitmapButton m_btnMaximize;
  CBitmapButton m_btnClose;
  CBitmapButton m_btnLoadSong;
  CSelectCtrl m_wndPager;
  CEditImpl m_wndAddress;
  // The radio lists and types of the last kind-0 result, and the page shown last per tree node:
  // written by the request worker, read by the UI thread. Never held across a message to a
  // window (the tree's selection handler takes it on the UI thread).
  mutable CLock m_radioLock;
  std::vector<RadioList> m_radioLists;
  RadioTypeTable m_radioTypes;
  std::map<int, int> m_pageByNode;
  CString m_strTitle;
  bool m_bTopmost = false;
  ULONG m_nShellNotifyId = 0;
  CSubTab m_wndSubTab;
  mutable CLock m_accountLock;
  CString m_strLoginUser;
  CString m_strLoginDigest;
  int m_nLoginValue = 0;
  std::atomic<bool> m_bKeepChecking{true};
  // Set at exit: the update check leaves its hour's wait at once instead of being cut off in it
  // by the end of the process.
  CManualEvent m_stopChecking{false};
  int m_nHotKeyId1 = 1;
  int m_nHotKeyId2 = 2;
  bool m_bUDiskOff = true;
  HICON m_hIcon = nullptr;
  bool m_bMinimized = false;
  bool m_bMaximizedBySystem = false;
  em_utility::file_version m_version = RunningProgramVersion();
  CPen m_penBorder;
  bool m_bInLayout = false;

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
};

// Draws images\name of the program folder over the window through the frame; false when there
// is no such picture. The login dialog paints its skin with it.
bool DrawSkinBackground(HWND window, HDC dc, CString name);

// The update description downloaded to path: its lines joined without their breaks.
std::string ReadUpdateFile(const wchar_t* path);
