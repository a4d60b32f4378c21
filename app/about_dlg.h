// The about box: the program's name and version beside its picture.
#pragma once

#include "foundation/module_info.h"
#include "resources/app_resource.h"
#include "winlayer/dialog.h"
#include "winlayer/gdi_objects.h"

class CAboutDlg : public CDialogImpl<CAboutDlg> {
 public:
  enum { IDD = IDD_ABOUTBOX };

  // "Lirak歌词编辑器 v1.0.15.17" and the notice line, for a version.
  static CString AboutText(const em_utility::file_version& version);

  BEGIN_MSG_MAP(CAboutDlg)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_COMMAND, OnCommand)
  END_MSG_MAP()

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);

  CFont m_font;
};
