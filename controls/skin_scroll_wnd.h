// Skinned scroll bars by wrapping a window: AttachSkinScrollBars puts the window inside a frame
// (CSkinScrollWnd) that holds two CSkinScrollBar children and a clipping child ("LIMIT") in
// which the window lies, so that the window's own scroll bars fall outside what is shown. The
// window keeps its styles and its own scroll information: a subclass procedure copies that
// information into the skinned bars after every erase and places the bars whenever the window's
// frame is calculated; the skinned bars' scroll messages go on to the window.
//
// The frame object is found through the window's GWLP_USERDATA. It deletes itself once its
// frame window is gone (DetachSkinScrollBars, or the window's destruction, destroys it) and its
// bars have finished the messages they were handling.
//
// The program's windows use the other scroll-bar skinning (skin_scrollbar.h); nothing wraps
// its windows this way.
#pragma once

#include <windows.h>

#include "controls/skin_scroll_bar.h"
#include "winlayer/window_impl.h"

class CSkinScrollWnd : public CWindowImpl<CSkinScrollWnd> {
 public:
  DECLARE_WND_CLASS_EX(L"RevSkinScrollWnd", 0, COLOR_WINDOW)

  static constexpr UINT kLayoutMessage = WM_USER + 100;  // wParam vertical bar, lParam left bar
  static constexpr int kHorzBarId = 100;
  static constexpr int kVertBarId = 101;
  static constexpr int kLimitId = 200;
  static constexpr UINT_PTR kTimerId = 100;

  // Corner modes: where the square between two shown bars is.
  enum Corner { kNoCorner = 0, kCornerLeft = 1, kCornerRight = 2 };

  CSkinScrollWnd() = default;
  ~CSkinScrollWnd() override = default;

  // The frame that wraps hWnd, or null when hWnd is not wrapped.
  static CSkinScrollWnd* FromWindow(HWND hWnd);

  // Wraps hWnd; false (and hWnd left as it was) when it is wrapped already or a window cannot
  // be made.
  bool Attach(HWND hWnd, HBITMAP skin);
  // Gives the window back to its parent, then destroys the frame (which deletes this object).
  void Detach();

  HWND GetTarget() const { return m_hWndTarget; }
  CSkinScrollBar& GetBar(int bar) { return bar == SB_VERT ? m_sbVert : m_sbHorz; }
  CWindow GetLimit() const { return m_wndLimit; }

  BEGIN_MSG_MAP(CSkinScrollWnd)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
  MESSAGE_HANDLER(WM_TIMER, OnTimer)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_VSCROLL, OnScroll)
  MESSAGE_HANDLER(WM_HSCROLL, OnScroll)
  MESSAGE_HANDLER(kLayoutMessage, OnLayout)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  END_MSG_MAP()

 protected:
  void OnFinalMessage(HWND hWnd) override;

 private:
  static LRESULT CALLBACK TargetProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  // After the window erased: its scroll information, where it changed, goes to the bars.
  void SyncBars();
  // After the window's frame was calculated: the bars beside and below its client area
  // (relative to the window), shown as the window's scroll-bar styles say.
  void PlaceBars(const RECT& shown, DWORD style, bool left);

  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnEraseBkgnd(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnTimer(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnScroll(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnLayout(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

  // The frame's bars. A scroll that a bar sends can end the frame (the window may destroy
  // itself), so the frame object, which holds the bars, goes only once neither bar is still
  // handling a message: the last of the final messages deletes it.
  class FrameBar : public CSkinScrollBar {
   public:
    explicit FrameBar(CSkinScrollWnd* frame) : m_pFrame(frame) {}
    void OnFinalMessage(HWND) override { m_pFrame->DeleteWhenDone(); }

   private:
    CSkinScrollWnd* const m_pFrame;
  };
  // Deletes this object once its window is gone and neither bar is in a message.
  void DeleteWhenDone();

  FrameBar m_sbHorz{this};
  FrameBar m_sbVert{this};
  int m_nScrollWid = 16;  // the skin's cell size: the bars' thickness
  CWindow m_wndLimit;
  HBITMAP m_hBmpScroll = nullptr;
  int m_nAngleType = kNoCorner;
  bool m_bOp = false;     // the frame itself is scrolling the window
  bool m_bDying = false;  // the frame window is being destroyed
  bool m_bGone = false;   // the frame window is gone
  HWND m_hWndTarget = nullptr;
  WNDPROC m_funOldProc = nullptr;
};

// Wraps the window; the frame object, or null when it cannot be made. skin: nine square cells
// in a row, three rows (not owned: the caller keeps it alive while the window is wrapped).
CSkinScrollWnd* AttachSkinScrollBars(HWND hWnd, HBITMAP skin);
// Unwraps the window; TRUE, also for a window that was never wrapped.
BOOL DetachSkinScrollBars(HWND hWnd);
