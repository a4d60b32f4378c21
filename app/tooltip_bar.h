// The notice bar the main frame can show under its caption: one line of text in one of two
// colour schemes, with a close button in mode 2. A visible bar moves the frame's panes down.
#pragma once

#include <windows.h>

#include "winlayer/bitmap_button.h"
#include "winlayer/cstring.h"
#include "winlayer/gdi_objects.h"
#include "winlayer/window_impl.h"

class CToolTipBar : public CWindowImpl<CToolTipBar> {
 public:
  DECLARE_WND_CLASS(L"RevIverod_NoticeBar")

  // Modes 0 (notice), 1 (warning), 2 (warning with a close button) show the bar; 3 hides it.
  enum { kModeNotice = 0, kModeWarning = 1, kModeClosable = 2, kModeHidden = 3 };

  CToolTipBar();
  ~CToolTipBar() override = default;

  void ShowNotice(int mode, CString text);
  int GetMode() const { return m_nMode; }
  HWND GetCloseButton() const { return m_btnClose.m_hWnd; }

  BEGIN_MSG_MAP(CToolTipBar)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_COMMAND, OnCommand)
  MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
  END_MSG_MAP()

 private:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnSize(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
  LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL&);

  CFont m_fontNotice;
  CFont m_fontWarning;
  CPen m_penSeparator;
  CBitmapButton m_btnClose;
  int m_nMode = kModeNotice;
  CString m_strText;
};
