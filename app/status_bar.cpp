#include "app/status_bar.h"

#include "app/main_frame.h"
#include "controls/paint_message.h"
#include "controls/skin_font.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/geometry.h"

namespace {

constexpr COLORREF kBackground = 0x282128;

}  // namespace

CStatusBar::CStatusBar() {
  CreateSkinFont(m_font, 12);
}

CString CStatusBar::VersionText(const em_utility::file_version& version) {
  CString text;
  text.Format(L"版本号：v %d.%d.%d.%d", version.major, version.minor, version.build,
              version.revision);
  return text;
}

LRESULT CStatusBar::OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&) {
  PaintWindowMessage(m_hWnd, wParam, [this](CDCHandle target) {
    CRect client;
    GetClientRect(&client);
    CMemoryDC dc(target, client);
    int saved = dc.SaveDC();
    dc.FillSolidRect(&client, kBackground);
    dc.SetBkMode(TRANSPARENT);
    dc.SelectFont(m_font);
    dc.TextOut(client.left + 15, client.top + 9,
               VersionText(CMainFrame::GetInstance()->GetFileVersion()));
    dc.RestoreDC(saved);
  });
  return 0;
}
