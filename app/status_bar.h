// The strip at the bottom of the main frame: the program's version on the caption colour.
#pragma once

#include <windows.h>

#include "foundation/module_info.h"
#include "winlayer/gdi_objects.h"
#include "winlayer/window_impl.h"

class CStatusBar : public CWindowImpl<CStatusBar> {
 public:
  DECLARE_WND_CLASS(L"RevIverod_StatusBar")

  CStatusBar();
  ~CStatusBar() override = default;

  // "版本号：v 1.0.15.17" for that version.
  static CString VersionText(const em_utility::file_version& version);

  BEGIN_MSG_MAP(CStatusBar)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  END_MSG_MAP()

 private:
  LRESULT OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }

  CFont m_font;
};
