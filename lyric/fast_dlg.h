// CFastDlg: the strip above the display window (template 272): the title of the playing song
// with its play time, and the buttons that switch between display and editor and upload.
#pragma once

#include <windows.h>

#include "controls/my_button.h"
#include "resources/lyric_ids.h"
#include "winlayer/dialog.h"
#include "winlayer/gdi_objects.h"
#include "winlayer/geometry.h"
#include "winlayer/msg_crackers.h"

class CFastDlg : public CDialogImpl<CFastDlg> {
 public:
  enum { IDD = IDD_FAST_DLG };

  BEGIN_MSG_MAP_EX(CFastDlg)
  MSG_WM_INITDIALOG(OnInitDialog)
  MSG_WM_COMMAND(OnCommand)
  MSG_WM_PAINT(OnPaint)
  MSG_WM_ERASEBKGND(OnEraseBkgnd)
  MSG_WM_CTLCOLORSTATIC(OnCtlColorStatic)
  MSG_WM_DRAWITEM(OnDrawItem)
  END_MSG_MAP()

  void SetTitle(const CString& title);
  CString GetTitle() const { return m_strCaption; }

  void OnCommand(UINT code, int id, HWND control);

 private:
  BOOL OnInitDialog(HWND focus, LPARAM param);
  void OnPaint(HDC dc);
  BOOL OnEraseBkgnd(HDC) { return TRUE; }
  HBRUSH OnCtlColorStatic(HDC dc, HWND label);
  void OnDrawItem(int id, LPDRAWITEMSTRUCT item);
  CRect TitleRect();

  CMyButton m_buttons[3];
  CString m_strCaption;
  CFont m_titleFont;
  CBrush m_brush;
};
