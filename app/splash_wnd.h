// The fading splash picture: a layered dialog that fades in over about 13 seconds and out over
// about 77. Nothing in the program shows it.
#pragma once

#include <windows.h>

#include "winlayer/cstring.h"

class CSplashWnd {
 public:
  explicit CSplashWnd(CString picturePath);
  virtual ~CSplashWnd();
  CSplashWnd(const CSplashWnd&) = delete;
  CSplashWnd& operator=(const CSplashWnd&) = delete;

  // Runs the dialog (template 245) modally over parent.
  virtual INT_PTR DoModal(HWND parent);
  virtual BOOL OnInitDialog();

  int GetAlpha() const { return m_nAlpha; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  void ApplyAlpha();
  void OnTimer(UINT_PTR id);

  HWND m_hWnd = nullptr;
  int m_nAlpha = 0;
  HBITMAP m_hPicture = nullptr;
  CString m_strPicturePath;
};
