#include "lyric/fast_dlg.h"

#include "app/main_frame.h"
#include "controls/skin_font.h"
#include "foundation/message_box.h"
#include "lyric/edit_dlg.h"
#include "winlayer/gdi_dc.h"

namespace {

constexpr COLORREF kBackground = 0x282128;
constexpr COLORREF kTitleText = RGB(255, 255, 255);
constexpr COLORREF kButtonFace = 0x141414;
const int kButtonIds[3] = {IDC_FAST_PREVIEW, IDC_FAST_EDIT, IDC_FAST_UPLOAD};

}  // namespace

BOOL CFastDlg::OnInitDialog(HWND, LPARAM) {
  for (int i = 0; i < 3; ++i) {
    m_buttons[i] = GetDlgItem(kButtonIds[i]);
    m_buttons[i].SetButtonStyle(BS_OWNERDRAW);
    m_buttons[i].SetPressedBkColor(kButtonFace);
    m_buttons[i].SetNormalBkColor(kButtonFace);
  }
  CreateSkinFont(m_titleFont, 14, FW_BOLD);
  m_brush.CreateSolidBrush(kBackground);
  return TRUE;
}

CRect CFastDlg::TitleRect() {
  CRect rect;
  CWindow label = GetDlgItem(IDC_FAST_TITLE);
  label.GetWindowRect(&rect);
  ScreenToClient(&rect);
  return rect;
}

void CFastDlg::SetTitle(const CString& title) {
  if (title == m_strCaption) return;
  m_strCaption = title;
  CRect rect = TitleRect();
  InvalidateRect(&rect);
}

void CFastDlg::OnPaint(HDC target) {
  PAINTSTRUCT paint;
  HDC dc = target ? target : BeginPaint(&paint);
  CDCHandle canvas(dc);
  CRect client;
  GetClientRect(&client);
  canvas.FillSolidRect(&client, kBackground);
  int saved = canvas.SaveDC();
  canvas.SetBkMode(TRANSPARENT);
  canvas.SetTextColor(kTitleText);
  canvas.SelectFont(m_titleFont);
  CRect title = TitleRect();
  canvas.DrawText(m_strCaption, m_strCaption.GetLength(), &title,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  canvas.RestoreDC(saved);
  if (!target) EndPaint(&paint);
}

HBRUSH CFastDlg::OnCtlColorStatic(HDC dc, HWND label) {
  if (::GetDlgCtrlID(label) != IDC_FAST_TITLE) {
    SetMsgHandled(FALSE);
    return nullptr;
  }
  ::SelectObject(dc, m_titleFont);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, kTitleText);
  return m_brush;
}

void CFastDlg::OnDrawItem(int id, LPDRAWITEMSTRUCT item) {
  for (CMyButton& button : m_buttons) {
    if (item->CtlType == ODT_BUTTON && button.GetDlgCtrlID() == id) {
      button.DrawItem(*item);
      return;
    }
  }
  SetMsgHandled(FALSE);
}

void CFastDlg::OnCommand(UINT, int id, HWND) {
  CEditDlg* editor = CMainFrame::GetInstance()->GetEditDlg();
  switch (id) {
    case IDC_FAST_PREVIEW:
      if (!editor || editor->GetFilePath().IsEmpty()) return;
      if (editor->HasUnsavedWork() &&
          ShowMessageBox(m_hWnd, L"歌词文件已经修改，是否保存？", L"歌词编辑",
                         MB_YESNO | MB_ICONQUESTION) == IDYES) {
        editor->SaveLyric();
      }
      ::SendMessageW(GetParent(), WM_COMMAND, MAKEWPARAM(ID_BACK_TO_DISPLAY, 0), 0);
      break;
    case IDC_FAST_EDIT:
      ::SendMessageW(GetParent(), WM_COMMAND, MAKEWPARAM(ID_EDIT_SONG_LYRIC, 0), 0);
      break;
    case IDC_FAST_UPLOAD:
      if (editor && editor->m_hWnd) {
        editor->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_UPLOAD_LYRIC, BN_CLICKED), 0);
      }
      break;
    default:
      SetMsgHandled(FALSE);
      break;
  }
}
