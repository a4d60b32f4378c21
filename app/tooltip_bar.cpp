#include "app/tooltip_bar.h"

#include "app/main_frame.h"
#include "controls/paint_message.h"
#include "controls/skin_font.h"
#include "resources/app_resource.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/geometry.h"
#include "winlayer/imagelist.h"

namespace {

constexpr COLORREF kNoticeBack = 0xC3E5FF;
constexpr COLORREF kNoticeText = 0x00389F;
constexpr COLORREF kWarningBack = 0x7FE5FF;
constexpr COLORREF kWarningText = 0x0000FF;
constexpr int kCloseSize = 16;

void MakeFont(CFont& font) {
  CreateSkinFont(font, 13);
}

}  // namespace

CToolTipBar::CToolTipBar() {
  MakeFont(m_fontNotice);
  MakeFont(m_fontWarning);
  m_penSeparator.CreatePen(PS_SOLID, 1, 0x0000FF);
}

void CToolTipBar::ShowNotice(int mode, CString text) {
  if (mode == kModeHidden) {
    ShowWindow(SW_HIDE);
  } else if (mode >= kModeNotice && mode <= kModeClosable) {
    m_nMode = mode;
    m_strText = text;
    m_btnClose.ShowWindow(mode == kModeClosable ? SW_SHOW : SW_HIDE);
    ShowWindow(SW_SHOW);
    Invalidate();
  }
  CMainFrame::GetInstance()->Relayout();
}

LRESULT CToolTipBar::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
  CImageList images;
  images.CreateFromImage(IDB_NOTICE_CLOSE, kCloseSize, 4, CLR_NONE, IMAGE_BITMAP,
                         LR_CREATEDIBSECTION);
  m_btnClose.SetImageList(images);
  m_btnClose.SetImages(0, 0, 0, 0);
  m_btnClose.SetToolTipText(L"关闭");
  m_btnClose.Create(m_hWnd, CRect(0, 0, kCloseSize, kCloseSize), nullptr, WS_CHILD | WS_VISIBLE,
                    0, IDC_NOTICE_CLOSE);
  m_btnClose.SizeToImage();
  return 0;
}

LRESULT CToolTipBar::OnSize(UINT, WPARAM, LPARAM lParam, BOOL&) {
  int width = LOWORD(lParam);
  if (m_btnClose.IsWindow()) {
    m_btnClose.SetWindowPos(nullptr, width - 26, 6, kCloseSize, kCloseSize,
                            SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return 0;
}

LRESULT CToolTipBar::OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&) {
  PaintWindowMessage(m_hWnd, wParam, [this](CDCHandle target) {
    CRect client;
    GetClientRect(&client);
    CMemoryDC dc(target, client);
    int saved = dc.SaveDC();
    bool notice = m_nMode == kModeNotice;
    dc.FillSolidRect(&client, notice ? kNoticeBack : kWarningBack);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(notice ? kNoticeText : kWarningText);
    dc.SelectFont(notice ? m_fontNotice : m_fontWarning);
    CRect text(client.left + 10, client.top + 2, client.right, client.bottom);
    dc.DrawText(m_strText, -1, &text, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (!notice) {
      dc.SelectPen(m_penSeparator);
      dc.MoveTo(client.Width() - 220, client.top + 5);
      dc.LineTo(client.Width() - 220, client.bottom - 5);
    }
    dc.RestoreDC(saved);
  });
  return 0;
}

LRESULT CToolTipBar::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (LOWORD(wParam) != IDC_NOTICE_CLOSE) {
    bHandled = FALSE;
    return 0;
  }
  ShowWindow(SW_HIDE);
  CMainFrame::GetInstance()->Relayout();
  return 0;
}

LRESULT CToolTipBar::OnSetCursor(UINT, WPARAM, LPARAM, BOOL&) {
  CMainFrame::GetInstance()->SetCursorState(1);
  return TRUE;
}
