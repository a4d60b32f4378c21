#include "app/settings_dlg.h"

#include <commctrl.h>

#include "foundation/config.h"

namespace {

// The up-down control's range keeps only the low 16 bits of 1,000,000.
constexpr int kSpeedRangeTop = 16960;
const int kServerFields[] = {IDC_SET_PROXY_ADDR, IDC_SET_PROXY_PORT, IDC_SET_PROXY_USER,
                             IDC_SET_PROXY_PW};

}  // namespace

int DefaultProxyPort(const CString& type) {
  if (type == L"HTTP") return 80;
  if (type == L"SOCKS5") return 1080;
  return 0;
}

LRESULT CSettingsDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  CenterWindow();
  CConfig* config = GetConfig();
  m_hTypeCombo = GetDlgItem(IDC_SET_PROXY_TYPE);
  for (const wchar_t* name : ProxyTypeNames) {
    ::SendMessageW(m_hTypeCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  }
  ::SendMessageW(m_hTypeCombo, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(config->proxy_type.GetString()));
  SetDlgItemText(IDC_SET_PROXY_ADDR, config->proxy_addr);
  SetDlgItemInt(IDC_SET_PROXY_PORT, static_cast<UINT>(config->proxy_port), TRUE);
  SetDlgItemText(IDC_SET_PROXY_USER, config->proxy_user);
  SetDlgItemText(IDC_SET_PROXY_PW, config->proxy_pw);
  // Only the enabling: a stored custom port must survive opening the dialog.
  ApplyTypeRule(config->proxy_type);
  bool limited = config->max_speed > 0;
  CheckDlgButton(IDC_SET_LIMIT_CHECK, limited ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemInt(IDC_SET_SPEED_LIMIT, static_cast<UINT>(config->max_speed), TRUE);
  GetDlgItem(IDC_SET_SPEED_LIMIT).EnableWindow(limited);
  SendDlgItemMessage(IDC_SET_SPEED_SPIN, UDM_SETRANGE, 0, MAKELPARAM(kSpeedRangeTop, 0));
  CheckDlgButton(IDC_SET_AUTO_UPDATE, config->auto_check_update ? BST_CHECKED : BST_UNCHECKED);
  GetDlgItem(IDC_SET_TEST).EnableWindow(!config->proxy_addr.IsEmpty());
  return TRUE;
}

CString CSettingsDlg::SelectedType() const {
  CString type;
  CWindow(m_hTypeCombo).GetWindowText(type);
  return type;
}

void CSettingsDlg::ApplyTypeRule(const CString& type) {
  bool manual = IsManualProxyType(type);
  for (int id : kServerFields) GetDlgItem(id).EnableWindow(manual);
}

LRESULT CSettingsDlg::OnTypeChanged(WORD, WORD, HWND, BOOL&) {
  // CBN_SELCHANGE comes before the combo box's text changes: read the chosen entry.
  int index = static_cast<int>(::SendMessageW(m_hTypeCombo, CB_GETCURSEL, 0, 0));
  if (index < 0 || index >= 4) return 0;
  CString type = ProxyTypeNames[index];
  ApplyTypeRule(type);
  if (IsManualProxyType(type)) SetDlgItemInt(IDC_SET_PROXY_PORT, static_cast<UINT>(DefaultProxyPort(type)), TRUE);
  return 0;
}

LRESULT CSettingsDlg::OnServerChanged(WORD, WORD, HWND, BOOL&) {
  GetDlgItem(IDC_SET_TEST).EnableWindow(GetDlgItem(IDC_SET_PROXY_ADDR).GetWindowTextLength() > 0);
  return 0;
}

LRESULT CSettingsDlg::OnLimitClicked(WORD, WORD, HWND, BOOL&) {
  GetDlgItem(IDC_SET_SPEED_LIMIT)
      .EnableWindow(IsDlgButtonChecked(IDC_SET_LIMIT_CHECK) == BST_CHECKED);
  return 0;
}

LRESULT CSettingsDlg::OnOk(WORD, WORD, HWND, BOOL&) {
  CConfig* config = GetConfig();
  config->proxy_type = SelectedType();
  GetDlgItemText(IDC_SET_PROXY_ADDR, config->proxy_addr);
  config->proxy_port = static_cast<int>(GetDlgItemInt(IDC_SET_PROXY_PORT, nullptr, TRUE));
  GetDlgItemText(IDC_SET_PROXY_USER, config->proxy_user);
  GetDlgItemText(IDC_SET_PROXY_PW, config->proxy_pw);
  config->max_speed = IsDlgButtonChecked(IDC_SET_LIMIT_CHECK) == BST_CHECKED
                          ? static_cast<int>(GetDlgItemInt(IDC_SET_SPEED_LIMIT, nullptr, TRUE))
                          : 0;
  config->auto_check_update = IsDlgButtonChecked(IDC_SET_AUTO_UPDATE) == BST_CHECKED ? 1 : 0;
  config->Save();
  EndDialog(1);
  return 0;
}

LRESULT CSettingsDlg::OnCancel(WORD, WORD, HWND, BOOL&) {
  EndDialog(2);
  return 0;
}
