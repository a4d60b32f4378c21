#include "lyric/edit_dlg.h"

#include <algorithm>

#include "app/main_frame.h"
#include "controls/skin_scrollbar.h"
#include "foundation/common_helpers.h"
#include "foundation/file_dialog.h"
#include "foundation/message_box.h"
#include "foundation/text_convert.h"
#include "lyric/lrc_document.h"
#include "lyric/lrcedit_dlg.h"
#include "lyric/lyric_file.h"
#include "lyric/time_tag.h"
#include "lyric/upload_result.h"
#include "webdata/lrc_helper.h"
#include "winlayer/gdi_dc.h"

namespace {

constexpr COLORREF kBackground = 0x2C282E;
constexpr COLORREF kBoxText = 0xC8C8C8;
constexpr COLORREF kBoxBackground = 0x282128;
constexpr COLORREF kButtonFace = 0x141414;
constexpr int kShiftMs = 500;

const int kButtonIds[7] = {IDC_UPLOAD_LYRIC, IDC_SHIFT_FORWARD, IDC_SHIFT_BACK, IDC_INSERT_TAG,
                           IDC_REPLACE_TAG,  IDC_OPEN_LYRIC,    IDC_SAVE_LYRIC};
const struct {
  int id;
  const wchar_t* text;
} kTips[5] = {{IDC_UPLOAD_LYRIC, L"F11"},
              {IDC_SHIFT_FORWARD, L"F7"},
              {IDC_SHIFT_BACK, L"F8"},
              {IDC_INSERT_TAG, L"F5"},
              {IDC_REPLACE_TAG, L"F6"}};

const wchar_t kLrcFilter[] = L"LRC Files (*.lrc)|*.lrc";
const wchar_t kEditorCaption[] = L"歌词编辑";

CString WindowText(CWindow window) {
  CString text;
  window.GetWindowText(text);
  return text;
}

void ShowFileError(HWND owner, const wchar_t* caption, DWORD error) {
  CString text;
  text.Format(L"打开歌词文件失败！[error = %d]", static_cast<int>(error));
  ShowMessageBox(owner, text, caption, MB_ICONERROR);
}

}  // namespace

BOOL CEditDlg::OnInitDialog(HWND, LPARAM) {
  m_wndLrcEdit = GetDlgItem(IDC_LYRIC_EDIT);
  m_wndLrcEdit.SetCueBannerText(L"请在此编辑歌词");
  m_font.CreateFont(16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                    DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
  m_wndLrcEdit.SetFont(m_font);
  SkinSB_AttachWindow(m_wndLrcEdit, CLrceditDlg::GetScrollBarSkin());
  m_brushEdit.CreateSolidBrush(kBoxBackground);
  for (int i = 0; i < 7; ++i) {
    CMyButton& button = m_buttons[i];
    button = GetDlgItem(kButtonIds[i]);
    button.SetButtonStyle(BS_OWNERDRAW);
    button.SetPressedBkColor(kButtonFace);
    button.SetNormalBkColor(kButtonFace);
  }
  for (int i = 0; i < 5; ++i) m_tips[i].Init(GetDlgItem(kTips[i].id), kTips[i].text);
  return TRUE;
}

void CEditDlg::OnSize(UINT, CSize size) {
  if (m_wndLrcEdit.m_hWnd) m_wndLrcEdit.MoveWindow(10, 40, size.cx - 20, size.cy - 50);
}

void CEditDlg::OnPaint(HDC target) {
  PAINTSTRUCT paint;
  HDC dc = target ? target : BeginPaint(&paint);
  CRect client;
  GetClientRect(&client);
  CDCHandle(dc).FillSolidRect(&client, kBackground);
  if (!target) EndPaint(&paint);
}

HBRUSH CEditDlg::OnCtlColorEdit(HDC dc, HWND edit) {
  if (edit != m_wndLrcEdit.m_hWnd) {
    SetMsgHandled(FALSE);
    return nullptr;
  }
  ::SetTextColor(dc, kBoxText);
  ::SetBkColor(dc, kBoxBackground);
  return m_brushEdit;
}

CMyButton* CEditDlg::FindButton(int id) {
  for (int i = 0; i < 7; ++i) {
    if (kButtonIds[i] == id) return &m_buttons[i];
  }
  return nullptr;
}

void CEditDlg::OnDrawItem(int id, LPDRAWITEMSTRUCT item) {
  CMyButton* button = item->CtlType == ODT_BUTTON ? FindButton(id) : nullptr;
  if (button) {
    button->DrawItem(*item);
  } else {
    SetMsgHandled(FALSE);
  }
}

// ---- keys and commands

void CEditDlg::OnKeyDown(UINT vk, UINT, UINT) {
  if (::GetFocus() != m_wndLrcEdit.m_hWnd && vk != VK_F11) {
    ShowMessageBox(m_hWnd, L"光标不在歌词编辑框内！", L"温馨提示", MB_ICONWARNING);
    return;
  }
  if (vk < 65 || vk > 122) return;
  if (vk == 'A' && ::GetKeyState(VK_CONTROL) < 0) {
    m_wndLrcEdit.SetSel(0, -1);
    return;
  }
  int command = vk == VK_F5    ? IDC_INSERT_TAG
                : vk == VK_F6  ? IDC_REPLACE_TAG
                : vk == VK_F7  ? IDC_SHIFT_FORWARD
                : vk == VK_F8  ? IDC_SHIFT_BACK
                : vk == VK_F11 ? IDC_UPLOAD_LYRIC
                               : 0;
  if (command) SendMessage(WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
}

void CEditDlg::OnCommand(UINT code, int id, HWND control) {
  if (control == m_wndLrcEdit.m_hWnd) return;  // the box's own notices
  (void)code;
  switch (id) {
    case IDC_OPEN_LYRIC:
      OnOpen();
      break;
    case IDC_SAVE_LYRIC:
      OnSaveAs();
      break;
    case IDC_UPLOAD_LYRIC:
      OnUpload();
      break;
    case IDC_INSERT_TAG:
    case IDC_REPLACE_TAG:
    case IDC_SHIFT_FORWARD:
    case IDC_SHIFT_BACK:
      m_wndLrcEdit.SetModify(TRUE);
      m_bModified = true;
      if (id == IDC_INSERT_TAG || id == IDC_REPLACE_TAG) {
        InsertTimeTag(id == IDC_INSERT_TAG);
      } else {
        ShiftTimeTags(id == IDC_SHIFT_FORWARD);
      }
      break;
    default:
      SetMsgHandled(FALSE);
      break;
  }
}

void CEditDlg::InsertTimeTag(bool keep) {
  CLrceditDlg* workspace = CMainFrame::GetInstance()->GetLrceditDlg();
  CString tag = FormatInsertTag(workspace ? workspace->GetCurrentPosition() : 0.0);
  int start = m_wndLrcEdit.LineIndex(-1);
  int length = std::min(m_wndLrcEdit.LineLength(start), 10);
  CString prefix = WindowText(m_wndLrcEdit).Mid(start, length);
  TagInsertion plan = PlanTagInsertion(prefix, tag, keep);
  m_wndLrcEdit.SetSel(start, start + plan.replaceCount);
  m_wndLrcEdit.ReplaceSel(plan.text, TRUE);
  if (!plan.moveToNextLine) return;
  int next = m_wndLrcEdit.LineIndex(m_wndLrcEdit.LineFromChar(-1) + 1);
  if (next >= 0) m_wndLrcEdit.SetSel(next, next);
  m_wndLrcEdit.SetFocus();
}

void CEditDlg::ShiftTimeTags(bool forward) {
  int first = 0;
  int last = 0;
  m_wndLrcEdit.GetSel(first, last);
  int topLine = m_wndLrcEdit.GetFirstVisibleLine();
  CString shifted = ShiftTimeTagsText(WindowText(m_wndLrcEdit), forward ? kShiftMs : -kShiftMs);
  m_wndLrcEdit.SetWindowText(shifted);
  // Every tag keeps its length, so the caret and the view stay where they were.
  m_wndLrcEdit.SetSel(first, last, TRUE);
  m_wndLrcEdit.LineScroll(topLine);
}

// ---- files

bool CEditDlg::HasUnsavedWork() const {
  return !m_strFilePath.IsEmpty() && (m_wndLrcEdit.GetModify() || m_bModified);
}

void CEditDlg::SetModified(bool modified) {
  m_bModified = modified;
  if (m_wndLrcEdit.m_hWnd) m_wndLrcEdit.SetModify(modified);
}

bool CEditDlg::ConfirmDiscard(LetGo letGo) {
  if (!HasUnsavedWork()) return true;
  if (ShowMessageBox(m_hWnd, L"歌词文件已经修改，是否保存？", kEditorCaption,
                     MB_YESNO | MB_ICONQUESTION) == IDYES) {
    return SaveLyric();
  }
  if (letGo == LetGo::kForget) SetModified(false);
  return true;
}

bool CEditDlg::LoadLyric(CString path) {
  // A file that cannot be shown is refused before the question about the box's changes: the
  // answer would otherwise let them go for nothing.
  LyricFileText kind = ClassifyLyricFile(path);
  if (kind == LyricFileText::kUtf16 || kind == LyricFileText::kNotUtf8) {
    ShowMessageBox(m_hWnd, L"歌词文件不是UTF-8编码，无法打开！", L"加载失败", MB_ICONERROR);
    return false;
  }
  if (!ConfirmDiscard()) return false;
  CLrcDocument document;
  if (!document.Open(path.GetString())) {
    ShowFileError(m_hWnd, L"加载失败", ::GetLastError());
    return false;
  }
  CString text;
  document.GetText(text);
  text.Replace(L"\n", L"\r\n");
  m_wndLrcEdit.SetWindowText(text);
  m_strLoadedText = text;
  m_strFilePath = path;
  SetModified(false);
  return true;
}

bool CEditDlg::SaveLyricTo(const CString& path) {
  DWORD error = 0;
  if (!WriteLyricBytes(path, EncodeLyricText(WindowText(m_wndLrcEdit)), &error)) {
    ShowFileError(m_hWnd, L"保存失败", error);
    return false;
  }
  FilterLyricFile(path);
  return true;
}

bool CEditDlg::SaveLyric() {
  if (!SaveLyricTo(m_strFilePath)) return false;
  SetModified(false);
  return true;
}

bool CEditDlg::OpenSong(const SongPtr& song) {
  if (!song || !LoadLyric(song->GetLyricPath().c_str())) return false;
  m_spSong = song;
  return true;
}

void CEditDlg::OnOpen() {
  std::wstring path;
  if (!ShowFileDialog(false, ::GetActiveWindow(), L"lrc", kLrcFilter, &path)) return;
  // A file opened by its path belongs to no song of the list.
  if (LoadLyric(path.c_str())) m_spSong.reset();
}

void CEditDlg::OnSaveAs() {
  std::wstring chosenPath;
  if (!ShowFileDialog(true, ::GetActiveWindow(), L"lrc", kLrcFilter, &chosenPath)) return;
  CString chosen = chosenPath.c_str();
  bool written = false;
  if (chosen == m_strFilePath) {
    written = SaveLyric();
  } else {
    if (FileExists(chosen) && ShowMessageBox(m_hWnd, L"保存目录已有歌词文件存在，是否替换？",
                                             kEditorCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) {
      return;
    }
    // The song's own file is saved as well. The chosen file gets what the box shows, through
    // the same save (for the song's own file the same bytes a copy would give), so a file that
    // cannot be written is told, where a copy's failure would pass unseen.
    bool ownFile =
        m_spSong && !m_strFilePath.IsEmpty() && m_strFilePath == m_spSong->GetLyricPath().c_str();
    written = (!ownFile || SaveLyric()) && SaveLyricTo(chosen);
  }
  if (written) SetModified(false);
}

int CEditDlg::UploadLyric(std::string& errText) {
  errText.clear();
  if (m_strFilePath.IsEmpty()) return kUploadSongNotFound;
  if (!m_spSong) {
    errText = em_utility::wide_to_ansi(L"这个歌词文件不属于列表中的歌曲，不能上传！");
    return kUploadSongNotFound;
  }
  if (!SaveLyric()) return kUploadSaveFailed;
  CMainFrame* frame = CMainFrame::GetInstance();
  boost::shared_ptr<LrcHelper> helper = LrcHelper::Instance();
  if (!helper->Login(frame->GetLoginUser().GetString(), frame->GetLoginDigest().GetString())) {
    return kUploadNotSent;
  }
  std::string status;
  std::string err;
  std::wstring lyric;
  if (!helper->UploadLyric(m_spSong->GetSongId(),
                           em_utility::wide_to_ansi(m_strFilePath.GetString()), status, err,
                           lyric)) {
    return kUploadNotSent;
  }
  int result = MapUploadResult(status, err, errText);
  if (result == kUploadDone) {
    m_spSong->SetLyric(lyric);
    frame->GetSongMap().Update(m_spSong);
  }
  return result;
}

void CEditDlg::OnUpload() {
  std::string errText;
  int result = UploadLyric(errText);
  CMainFrame* frame = CMainFrame::GetInstance();
  frame->ShowPane(1);
  if (result == kUploadDone) {
    ShowMessageBox(m_hWnd, L"上传完成！", kEditorCaption, MB_ICONWARNING);
    CLrceditDlg* workspace = frame->GetLrceditDlg();
    if (workspace && m_spSong) workspace->GetSongList()->SelectSong(m_spSong->GetSongId());
  } else if (result != kUploadSaveFailed) {
    // A failed save has told the user already. The site's own reason is shown as it came; a
    // transfer or sign-in that failed, or a reply that gives no reason, has none to show, and an
    // empty box would say nothing.
    CString text = em_utility::ansi_to_wide(errText);
    if (text.IsEmpty() && (result == kUploadNotSent || result == kUploadOtherError)) {
      text = L"上传失败，请检查网络连接后重试！";
    }
    ShowMessageBox(nullptr, text, L"温馨提示", MB_ICONWARNING);
  }
}
