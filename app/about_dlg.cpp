#include "app/about_dlg.h"

#include "app/dialog_font.h"
#include "controls/paint_message.h"
#include "app/program_version.h"
#include "winlayer/app_module.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/geometry.h"
#include "winlayer/image.h"

namespace {

constexpr COLORREF kBackground = 0xD8E9EC;

}  // namespace

CString CAboutDlg::AboutText(const em_utility::file_version& version) {
  CString text;
  text.Format(L"Lirak歌词编辑器 v%d.%d.%d.%d  为音乐站点的歌词维护者而作：粘贴歌曲地址，"
              L"边听边写时间标签，保存并上传。",
              version.major, version.minor, version.build, version.revision);
  return text;
}

LRESULT CAboutDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  CenterWindow();
  SetDlgItemText(IDC_ABOUT_TEXT, AboutText(RunningProgramVersion()));
  ApplyDialogFont(m_hWnd, m_font);
  return TRUE;
}

LRESULT CAboutDlg::OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&) {
  PaintWindowMessage(m_hWnd, wParam, [this](CDCHandle target) {
    CRect client;
    GetClientRect(&client);
    CMemoryDC dc(target, client);
    dc.FillSolidRect(&client, kBackground);
    CImage picture;
    if (picture.LoadFromResource(_Module.GetResourceInstance(), IDB_ABOUT)) {
      int old = dc.SetStretchBltMode(HALFTONE);
      picture.StretchBlt(dc, 22, 18, 128, 128);
      dc.SetStretchBltMode(old);
    }
  });
  return 0;
}

LRESULT CAboutDlg::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  int id = LOWORD(wParam);
  if (id != IDOK && id != IDCANCEL) {
    bHandled = FALSE;
    return 0;
  }
  EndDialog(0);
  return 0;
}
