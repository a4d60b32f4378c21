#include "app/update_dlg.h"

#include "app/dialog_font.h"
#include "foundation/logger.h"

bool IsWebAddress(const CString& address) {
  CString lower = address;
  lower.MakeLower();
  for (const wchar_t* scheme : {L"http://", L"https://", L"ftp://"}) {
    if (lower.Find(scheme) == 0 && lower.GetLength() > lstrlenW(scheme)) return true;
  }
  return false;
}

CString UpdateTipText(const CString& tip) {
  CString text = tip;
  text.Replace(L"#", L"\r\n");
  return text;
}

bool CUpdateLink::Navigate() {
  if (!IsWebAddress(GetHyperLink())) {
    GetLogger()->log(em_utility::log_level::error, L"拒绝打开更新地址：%s", GetHyperLink());
    return false;
  }
  return CHyperLinkImpl<CUpdateLink>::Navigate();
}

void CUpdateDlg::SetInfo(const UpdateInfo& info, bool manual) {
  m_info = info;
  m_bManual = manual;
}

LRESULT CUpdateDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  CenterWindow();
  m_link.SubclassWindow(GetDlgItem(IDC_UPDATE_LINK));
  m_link.SetLabel(m_info.url);
  m_link.SetHyperLink(m_info.url);
  SetDlgItemText(IDC_UPDATE_TIP, UpdateTipText(m_info.tip));
  ApplyDialogFont(m_hWnd, m_font);
  return TRUE;
}

LRESULT CUpdateDlg::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  int id = LOWORD(wParam);
  if (id != IDOK && id != IDCANCEL) {
    bHandled = FALSE;
    return 0;
  }
  EndDialog(id);
  return 0;
}
