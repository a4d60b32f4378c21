// CLrcDisplayer: the window that shows the playing song's lyric and follows playback. The lines
// of its document scroll up smoothly so that the current line stays at mid-height, in a colour
// of its own that fades near line changes, with a soft fade at the top and bottom edges.
//
// The window keeps its own clock (display_clock.h) from the tick count; the workspace tells it
// the player's position now and then (SetTime), and timer 2 repaints it every 150 ms.
//
// Threads: a download thread, started by Init and stopped by StopWorker (the destructor too),
// fetches lyric files queued with AddDownloadTask and opens them into the document. The
// document's lock guards the lines and the clock; painting holds it throughout.
//
// Also offered, without a caller in the program: floating on the desktop as one sideways line,
// a title marquee, the now-playing notice to an instant messenger, and the lyric queue.
#pragma once

#include <windows.h>

#include <deque>

#include "foundation/lock.h"
#include "lyric/display_clock.h"
#include "lyric/lrc_document.h"
#include "webdata/song.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/gdi_objects.h"
#include "winlayer/geometry.h"
#include "winlayer/msg_crackers.h"
#include "winlayer/window_impl.h"

// A lyric file to fetch for a song.
struct LyricDownloadTask {
  CString strUrl;
  CString strPath;
  int nSongId = 0;
};

class CLrcDisplayer : public CWindowImpl<CLrcDisplayer> {
 public:
  enum Align { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };
  static constexpr int kMarqueeTimer = 1;
  static constexpr int kRepaintTimer = 2;

  CLrcDisplayer();
  ~CLrcDisplayer() override;

  BEGIN_MSG_MAP_EX(CLrcDisplayer)
  MSG_WM_CREATE(OnCreate)
  MSG_WM_ERASEBKGND(OnEraseBkgnd)
  MESSAGE_HANDLER(WM_PAINT, OnPaintMessage)
  MSG_WM_TIMER(OnTimer)
  MSG_WM_LBUTTONDOWN(OnLButtonDown)
  MSG_WM_MOUSEMOVE(OnMouseMove)
  MSG_WM_LBUTTONUP(OnLButtonUp)
  MSG_WM_CAPTURECHANGED(OnCaptureChanged)
  MSG_WM_SETCURSOR(OnSetCursor)
  MSG_WM_COMMAND(OnCommand)
  MSG_WM_SIZE(OnSize)
  END_MSG_MAP()

  // Defaults (font, colours, message) and the download thread.
  void Init();
  void SetStyle(int edgeDivisor, bool fade, COLORREF other, COLORREF current, COLORREF edge);

  // Opens the lyric file whose path is path with its last three characters replaced by "lrc",
  // and plays it when it has lines.
  void OpenLyricFile(CString path);
  bool OpenFile(const wchar_t* path);
  bool OpenFile(const char* path);
  bool Play();
  void SetTime(int ms);
  bool Stop();
  bool Pause();
  bool Resume();

  void SetMessage(const wchar_t* text);
  void SetAlign(int align) { m_nAlign = align; }
  int GetAlign() const { return m_nAlign; }
  void SetOtherColor(COLORREF colour) { m_crOther = colour; }
  void SetCurrentColor(COLORREF colour) { m_crCurrent = colour; }
  void SetEdgeColor(COLORREF colour) { m_crEdge = colour; }
  int GetState() const { return m_clock.m_nState; }
  int GetCurrentLine() const { return m_clock.m_nCurLine; }
  bool IsFloating() const { return m_bFloating != FALSE; }

  // The song's cached lyric (lyric folder + id + ".lrc"), or a download of it.
  void LoadSongLyric(const SongPtr& song);
  void AddDownloadTask(const LyricDownloadTask& task);
  // Ends the download thread and waits for it.
  void StopWorker();

  // Leaves the parent for the desktop, keeping the screen rectangle; one line, topmost.
  void Float();
  // Back into parent (none: the parent it has) at rect (none: the parent's window rectangle).
  void Dock(HWND parent, const RECT* rect = nullptr);

  // Tells the instant messenger what plays (category 0 music, 1 games, other office); false
  // when no messenger window is there.
  static bool NotifyNowPlaying(const wchar_t* text, int category);
  static void ClearNowPlaying();

  // The first n characters of the marquee move to its end; the twin moves the last n to the front.
  void RotateTitle(int n);
  void RotateTitleRight(int n);
  void SetMarquee(const CString& text) { m_strMarquee = text; }

  // The menu of the window (resource 305) at point; nothing when the resources have none.
  void ShowPopupMenu(POINT point);

  // The picture of the window at tick count now into dc, for the paint and the tests.
  void Paint(HDC dc, const CRect& client, DWORD now);

  // The document shown (its lock guards the lines and the clock).
  CLrcDocument m_doc;

 private:
  int OnCreate(LPCREATESTRUCT);
  BOOL OnEraseBkgnd(HDC) { return TRUE; }
  LRESULT OnPaintMessage(UINT, WPARAM wParam, LPARAM, BOOL&);
  void OnTimer(UINT_PTR id);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnCaptureChanged(HWND capture);
  BOOL OnSetCursor(HWND window, UINT hitTest, UINT message);
  void OnCommand(UINT code, int id, HWND control);
  void OnSize(UINT type, CSize size);

  void PaintBuffer(CDCHandle dc, const CRect& client, DWORD now);
  void PaintDocked(CDCHandle dc, const CRect& client, int t);
  void PaintFloating(CDCHandle dc, const CRect& client, int t);
  // The edge fade over extent rows (columns when floating) at both ends of client.
  void PaintEdgeFade(CDCHandle dc, const CRect& client);
  COLORREF CurrentLineColour(int t) const;
  COLORREF OtherLineColour(int t, int line) const;

  static DWORD WINAPI DownloadThreadProc(LPVOID self);
  void DownloadLoop();
  void DownloadLyric(const LyricDownloadTask& task);

  int m_nAlign = kAlignCentre;
  BOOL m_bFloating = FALSE;
  COLORREF m_crEdge = 0x282128;
  COLORREF m_crCurrent = 0x008080;
  COLORREF m_crOther = 0x808080;
  LrcClock m_clock;
  int m_nLineHeight = 14;
  CFont m_font;
  int m_nEdgePercent = 10;
  bool m_bFade = true;
  wchar_t m_szMessage[128] = {};

  HANDLE m_hWorker = nullptr;
  HANDLE m_hStopEvent = nullptr;
  volatile LONG m_bRunning = 0;
  CLock m_queueLock;
  std::deque<LyricDownloadTask> m_queue;

  bool m_bButtonDown = false;
  bool m_bDragging = false;
  bool m_bMoving = false;
  CPoint m_ptDown;
  CString m_strMarquee;
  CString m_strLyricDir;

  // The off-screen picture (the bitmap outlives the DC it is selected into).
  CBitmap m_backBitmap;
  CDC m_backDC;
  HBITMAP m_hBackOriginal = nullptr;
  CSize m_backSize;
  // The edge fade's picture, remade when its size, colour or width changes.
  CBitmap m_edgeBitmap;
  int m_nEdgeSize = -1;
  int m_nEdgeAcross = 0;
  COLORREF m_crEdgeMade = 0;
  bool m_bEdgeVertical = false;
};
