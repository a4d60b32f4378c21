// The settings dialog: proxy, download speed limit and the automatic update check. No command
// of the program opens it.
#pragma once

#include "resources/app_resource.h"
#include "winlayer/dialog.h"

// The port a proxy type suggests when the user picks it: 80 for HTTP, 1080 for SOCKS5, 0 for
// the types without a server.
int DefaultProxyPort(const CString& type);

class CSettingsDlg : public CDialogImpl<CSettingsDlg> {
 public:
  enum { IDD = IDD_SETTINGS };

  BEGIN_MSG_MAP(CSettingsDlg)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  COMMAND_HANDLER(IDC_SET_PROXY_TYPE, CBN_SELCHANGE, OnTypeChanged)
  COMMAND_HANDLER(IDC_SET_PROXY_ADDR, EN_CHANGE, OnServerChanged)
  COMMAND_HANDLER(IDC_SET_LIMIT_CHECK, BN_CLICKED, OnLimitClicked)
  COMMAND_ID_HANDLER(IDOK, OnOk)
  COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
  END_MSG_MAP()

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTypeChanged(WORD, WORD, HWND, BOOL&);
  LRESULT OnServerChanged(WORD, WORD, HWND, BOOL&);
  LRESULT OnLimitClicked(WORD, WORD, HWND, BOOL&);
  LRESULT OnOk(WORD, WORD, HWND, BOOL&);
  LRESULT OnCancel(WORD, WORD, HWND, BOOL&);

  CString SelectedType() const;
  // Enables the server fields for the types that need them.
  void ApplyTypeRule(const CString& type);

  HWND m_hTypeCombo = nullptr;
};
