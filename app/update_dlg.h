// The new-version notice: the published version's tip and a link to its download address.
#pragma once

#include "resources/app_resource.h"
#include "webdata/update_info.h"
#include "winlayer/dialog.h"
#include "winlayer/gdi_objects.h"
#include "winlayer/hyperlink.h"

// True for an address the browser may be given from the update description: http, https or
// ftp. Anything else (a file, a program, a script scheme) from a plain-text download is refused.
bool IsWebAddress(const CString& address);

// The tip's "#" marks line breaks.
CString UpdateTipText(const CString& tip);

// The download link: opens only web addresses.
class CUpdateLink : public CHyperLinkImpl<CUpdateLink> {
 public:
  DECLARE_WND_SUPERCLASS(L"RevIverod_UpdateLink", CStatic::GetWndClassName())
  bool Navigate();
};

class CUpdateDlg : public CDialogImpl<CUpdateDlg> {
 public:
  enum { IDD = IDD_UPDATE };

  void SetInfo(const UpdateInfo& info, bool manual);
  const UpdateInfo& GetInfo() const { return m_info; }
  bool IsManual() const { return m_bManual; }

  BEGIN_MSG_MAP(CUpdateDlg)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  MESSAGE_HANDLER(WM_COMMAND, OnCommand)
  END_MSG_MAP()

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);

  UpdateInfo m_info;
  bool m_bManual = false;
  CUpdateLink m_link;
  CFont m_font;
};
