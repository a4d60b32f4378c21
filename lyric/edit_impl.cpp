#include "lyric/edit_impl.h"

#include <commctrl.h>

#include "app/main_frame.h"
#include "controls/skin_font.h"
#include "foundation/site_addresses.h"
#include "lyric/song_address.h"
#include "webdata/web_data_manager.h"
#include "winlayer/gdi_dc.h"

namespace {

constexpr COLORREF kFocusedBackground = RGB(255, 255, 255);
constexpr COLORREF kText = 0x848484;
constexpr COLORREF kDimmedBackground = 0x2F282F;
constexpr COLORREF kCueText = 0xC1C1C1;
constexpr UINT_PTR kTooltipId = 1314;

}  // namespace

CEditImpl::CEditImpl() {
  CreateSkinFont(m_font, 14);
  m_brushFocused.CreateSolidBrush(kFocusedBackground);
}

CEditImpl::~CEditImpl() {
  if (m_hTooltip && ::IsWindow(m_hTooltip)) ::DestroyWindow(m_hTooltip);
}

BOOL CEditImpl::Init(HWND edit) {
  if (!SubclassWindow(edit)) return FALSE;
  SetFont(m_font);
  return TRUE;
}

CString CEditImpl::Text() const {
  CString text;
  GetWindowText(text);
  return text;
}

void CEditImpl::OpenSongUrl() {
  std::wstring label(site::DomainLabel().begin(), site::DomainLabel().end());
  SongAddress address = ParseSongAddress(Text(), label.c_str());
  CMainFrame* frame = CMainFrame::GetInstance();
  if (address.isSong) {
    frame->ShowPane(1);
    frame->GetWebDataManager().RequestTrackDetail(address.songId);
  }
  if (address.isAlbum) {
    frame->ShowPane(1);
    frame->GetWebDataManager().RequestAlbumDetail(0, 0, 2, address.albumId, address.albumId, 2);
  }
}

void CEditImpl::InitTooltip() {
  if (m_hTooltip) return;
  m_hTooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd,
                                 nullptr, nullptr, nullptr);
  if (!m_hTooltip) return;
  TTTOOLINFOW tool = {};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = m_hWnd;
  tool.uId = kTooltipId;
  GetClientRect(&tool.rect);
  tool.lpszText = const_cast<LPWSTR>(L"请输入歌曲或专辑url");
  ::SendMessageW(m_hTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(m_hTooltip, TTM_ACTIVATE, TRUE, 0);
}

void CEditImpl::OnKeyDown(UINT vk, UINT, UINT) {
  if (vk == VK_RETURN) OpenSongUrl();
  SetMsgHandled(FALSE);
}

void CEditImpl::OnKillFocus(HWND) {
  CMainFrame::GetInstance()->SetCursorState(3);
  m_bFocused = false;
  CString text = Text();
  m_bHasText = !text.IsEmpty();
  if (m_bHasText) {
    m_strSaved = text;
    SetWindowText(L"");
  }
  Invalidate();
  SetMsgHandled(FALSE);
}

void CEditImpl::OnSetFocus(HWND) {
  CMainFrame::GetInstance()->SetCursorState(4);
  m_bFocused = true;
  Invalidate();
  m_bHasText = !Text().IsEmpty();
  if (m_bHasText) SetWindowText(L"");
  Invalidate();
  SetMsgHandled(FALSE);
}

LRESULT CEditImpl::OnPaint(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  // With the focus the edit control paints itself (in the colours of OnCtlColorEdit), so that
  // its caret and selection show.
  if (m_bFocused) {
    bHandled = FALSE;
    return 0;
  }
  if (wParam) {
    DoPaint(reinterpret_cast<HDC>(wParam));
  } else {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(&paint);
    DoPaint(dc);
    EndPaint(&paint);
  }
  return 0;
}

LRESULT CEditImpl::OnCtlColorEdit(UINT, WPARAM wParam, LPARAM, BOOL&) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  ::SetTextColor(dc, kText);
  ::SetBkColor(dc, kFocusedBackground);
  return reinterpret_cast<LRESULT>(static_cast<HBRUSH>(m_brushFocused));
}

void CEditImpl::DoPaint(HDC target) {
  CDCHandle dc(target);
  CRect client;
  GetClientRect(&client);
  int saved = dc.SaveDC();
  dc.SetBkMode(TRANSPARENT);
  dc.SelectFont(m_font);
  const CString* text = &m_strCue;
  COLORREF background = kFocusedBackground;
  COLORREF colour = kCueText;
  CString current;
  if (m_bFocused) {
    current = Text();
    text = &current;
    colour = kText;
  } else if (m_bHasText || GetWindowTextLength() > 0) {
    text = &m_strSaved;
    background = kDimmedBackground;
    colour = kText;
  }
  dc.FillSolidRect(&client, background);
  dc.SetTextColor(colour);
  CRect area = client;
  area.left += 4;
  dc.DrawText(*text, text->GetLength(), &area, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  dc.RestoreDC(saved);
}
