#include "app/login_dlg.h"

#include "app/main_frame.h"
#include "app/site_pages.h"
#include "app/strip_button.h"
#include "controls/paint_message.h"
#include "controls/skin_font.h"
#include "foundation/common_helpers.h"
#include "foundation/config.h"
#include "foundation/logger.h"
#include "foundation/md5.h"
#include "foundation/message_box.h"
#include "foundation/site_addresses.h"
#include "foundation/text_convert.h"
#include "winlayer/app_module.h"
#include "winlayer/bitmap_dc.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/geometry.h"
#include "winlayer/image.h"

namespace {

constexpr COLORREF kStaticBackground = 0x373438;
constexpr COLORREF kStaticText = 0xEFEFF0;
constexpr COLORREF kOkNormal = 0x117FE4;
constexpr COLORREF kCancelNormal = 0x575057;
constexpr COLORREF kPressed = 0xD8E9EC;
constexpr COLORREF kShapeKey = 0xFF00FF;
constexpr int kCaptionButtonSize = 20;
constexpr int kMaxUserLength = 300;
constexpr int kMaxPasswordLength = 65;
constexpr UINT_PTR kButtonTimer = 0;
const wchar_t kCheckCaption[] = L"温馨提示！";

// A skin picture of the program's resources at its own size at (x, y), or stretched into the
// rectangle when a size is given.
void DrawSkinPicture(HDC dc, UINT id, int x, int y, int width = -1, int height = -1) {
  CImage picture;
  if (!picture.LoadFromResource(_Module.GetResourceInstance(), id)) return;
  if (width < 0) {
    DrawBitmap(dc, picture, x, y);
  } else {
    DrawBitmap(dc, picture, CRect(x, y, x + width, y + height));
  }
}

}  // namespace

CLoginDlg::CLoginDlg() : m_strHost(site::LoginHost()), m_nPort(site::LoginPort()) {}

CLoginDlg::~CLoginDlg() {
  StopWorker();
}

LRESULT CLoginDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  {
    CDCHandle dc(GetDC());
    m_fScale = dc.GetDeviceCaps(LOGPIXELSY) / 96.0f;
    ReleaseDC(dc);
  }
  m_brStatic.CreateSolidBrush(kStaticBackground);
  CreateSkinFont(m_fontStatic, 14);
  m_hIcon = ::LoadIconW(_Module.GetResourceInstance(), MAKEINTRESOURCEW(IDI_MAINFRAME));
  ::SetClassLongPtrW(m_hWnd, GCLP_HICON, reinterpret_cast<LONG_PTR>(m_hIcon));
  SetIcon(m_hIcon, TRUE);

  for (CMyButton* button : {&m_btnOk, &m_btnCancel}) {
    *button = GetDlgItem(button == &m_btnOk ? IDOK : IDCANCEL);
    button->SetWindowLong(GWL_STYLE,
                          (button->GetStyle() & ~BS_TYPEMASK) | BS_OWNERDRAW);
    button->SetPressedBkColor(kPressed);
  }
  m_btnOk.SetNormalBkColor(kOkNormal);
  m_btnCancel.SetNormalBkColor(kCancelNormal);

  CConfig* config = GetConfig();
  m_bAutoLoginWasOff = config->m_bAutoLogin == 0;
  m_bRemember = !config->m_strPsw.IsEmpty();
  if (m_bRemember) {
    CheckDlgButton(IDC_LOGIN_REMEMBER, BST_CHECKED);
    SetDlgItemText(IDC_LOGIN_USER, config->m_strEmail);
    m_nPswLength = config->m_nPswLength;
    // Only the length matches the password: what is sent is the stored digest.
    m_bPrefilled = true;
    SetDlgItemText(IDC_LOGIN_PASSWORD, config->m_strPsw.Left(m_nPswLength));
  }

  if (config->m_bAutoLogin) {
    m_bKeepHidden = true;
    ShowWindow(SW_HIDE);
    OnLogin();
  } else {
    ApplyWindowShape();
    ShowWindow(SW_SHOW);
    UpdateWindow();
  }
  CenterWindow();
  SetTimer(kButtonTimer, 500);
  // The links and caption buttons each make a tooltip window, which is slow: the dialog is on
  // the screen first.
  PostMessage(kFinishSetup);
  return TRUE;
}

LRESULT CLoginDlg::OnFinishSetup(UINT, WPARAM, LPARAM, BOOL&) {
  CString text;
  GetDlgItemText(IDC_LOGIN_REGISTER, text);
  m_linkRegister.Init(GetDlgItem(IDC_LOGIN_REGISTER), SitePage(L"/member/register"), text);
  GetDlgItemText(IDC_LOGIN_FORGOT, text);
  m_linkForgot.Init(GetDlgItem(IDC_LOGIN_FORGOT), SitePage(L"/member/getpassword"), text);
  CRect client;
  GetClientRect(&client);
  CreateCaptionButton(m_btnMinimize, IDC_LOGIN_MINIMIZE, IDB_LOGIN_MINIMIZE, client.right - 49,
                      L"最小化");
  CreateCaptionButton(m_btnClose, IDC_LOGIN_CLOSE, IDB_LOGIN_CLOSE, client.right - 28, L"关闭");
  return 0;
}

void CLoginDlg::CreateCaptionButton(CBitmapButton& button, int id, UINT bitmap, int x,
                                    LPCWSTR tip) {
  // Shown only without the skin picture (known once the dialog has painted; else the timer
  // shows them): the picture has caption zones of its own where these would stand.
  CRect rect(x, 5, x + kCaptionButtonSize, 5 + kCaptionButtonSize);
  CreateStripButton(button, m_hWnd, id, bitmap, kCaptionButtonSize, tip, kStaticBackground, rect,
                    WS_CHILD | (m_bSkinPicture ? 0 : WS_VISIBLE));
}

void CLoginDlg::OnLogin() {
  GetDlgItemText(IDC_LOGIN_USER, m_strUser);
  CString password;
  GetDlgItemText(IDC_LOGIN_PASSWORD, password);
  const wchar_t* problem = nullptr;
  if (m_strUser.IsEmpty()) {
    problem = L"用户名不能为空";
  } else if (password.IsEmpty()) {
    problem = L"密码不能为空";
  } else if (m_strUser.GetLength() > kMaxUserLength) {
    problem = L"用户名过长,请确保您使用的是邮箱,而不是昵称.";
  } else if (password.GetLength() > kMaxPasswordLength) {
    problem = L"密码过长";
  }
  if (problem) {
    ShowForMessage();
    ShowMessageBox(m_hWnd, problem, kCheckCaption, MB_ICONQUESTION);
    return;
  }
  m_strPassword = password;
  m_bUseStoredDigest = !m_bTypedAnew;
  if (m_bUseStoredDigest) m_strPassword = GetConfig()->m_strPsw;
  m_bAutoLogin = IsDlgButtonChecked(IDC_LOGIN_AUTO) == BST_CHECKED;
  m_bRemember = IsDlgButtonChecked(IDC_LOGIN_REMEMBER) == BST_CHECKED;

  StopWorker();  // an earlier worker has posted its result and is ending
  m_bStop = false;
  m_hThread = ::CreateThread(nullptr, 0, &CLoginDlg::LoginThreadProc, this, 0, nullptr);
  if (!m_hThread) {
    GetLogger()->log(em_utility::log_level::error, L"登录线程启动失败：%d",
                     static_cast<int>(::GetLastError()));
    ::PostMessageW(m_hWnd, WM_LOGIN_RESULT,
                   reinterpret_cast<WPARAM>(new LoginResult{kLoginNoSocket, 0}), 0);
  }
  m_nLoginState = kSigningIn;
  GetDlgItem(IDOK).EnableWindow(FALSE);
}

DWORD WINAPI CLoginDlg::LoginThreadProc(LPVOID dialog) {
  try {
    static_cast<CLoginDlg*>(dialog)->RunLogin();
  } catch (...) {
    // The dialog must hear of it, or it would wait with its button disabled.
    CLoginDlg* self = static_cast<CLoginDlg*>(dialog);
    ::PostMessageW(self->m_hWnd, WM_LOGIN_RESULT,
                   reinterpret_cast<WPARAM>(new LoginResult{kLoginReceiveError, 0}), 0);
  }
  return 0;
}

void CLoginDlg::RunLogin() {
  std::string user = em_utility::wide_to_utf8(m_strUser.GetString());
  std::string digest;
  if (m_bUseStoredDigest) {
    digest = em_utility::wide_to_utf8(m_strPassword.GetString());
  } else {
    std::string password = em_utility::wide_to_utf8(m_strPassword.GetString());
    digest = em_utility::md5_string(password.data(), static_cast<std::uint32_t>(password.size()));
    m_nPswLength = m_strPassword.GetLength();
    m_strPassword = em_utility::utf8_to_wide(digest);
  }
  CMainFrame::GetInstance()->SetLoginAccount(m_strUser, m_strPassword);

  LoginOutcome outcome =
      RunLoginExchange(m_strHost, m_nPort, BuildLoginRequest(user, digest), m_bStop, m_timeouts);
  if (outcome.stopped) return;
  if (outcome.code == kLoginSucceeded) {
    m_nServerValue = outcome.value;
    CMainFrame::GetInstance()->SetLoginValue(outcome.value);
  }
  ::PostMessageW(m_hWnd, WM_LOGIN_RESULT,
                 reinterpret_cast<WPARAM>(new LoginResult{outcome.code, outcome.wsaError}), 0);
}

LRESULT CLoginDlg::OnLoginResult(UINT, WPARAM wParam, LPARAM, BOOL&) {
  EnableWindow(TRUE);
  LoginResult* result = reinterpret_cast<LoginResult*>(wParam);
  int code = result ? result->code : kLoginReceiveError;
  int wsaError = result ? result->wsaError : 0;
  delete result;
  StopWorker();
  if (code == kLoginSucceeded) {
    CConfig* config = GetConfig();
    config->SuccessLoginSum += 1;
    SaveAccountSettings();
    m_nLoginState = kSignedIn;
    EndDialog(IDOK);
    if (config->IsFirstRun() || config->SuccessLoginSum == 1) {
      OpenUrl(SitePage(L"/lyrichelp"));
    }
    return 0;
  }
  if (GetConfig()->m_bAutoLogin) ShowForMessage();
  ShowMessageBox(m_hWnd, LoginFailureText(code, wsaError).c_str(), L"登录失败",
                 MB_ICONEXCLAMATION);
  m_nLoginState = kIdle;
  GetDlgItem(IDOK).EnableWindow(TRUE);
  return 0;
}

void CLoginDlg::SaveAccountSettings() {
  CConfig* config = GetConfig();
  if (m_bRemember) {
    config->m_strEmail = m_strUser;
    config->m_strPsw = m_strPassword;
    config->m_nPswLength = m_nPswLength;
  } else {
    config->m_strPsw = L"";
  }
  config->m_bAutoLogin = m_bAutoLoginWasOff ? (m_bAutoLogin ? 1 : 0) : 1;
  config->Save();
}

LRESULT CLoginDlg::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  int id = LOWORD(wParam);
  int code = HIWORD(wParam);
  switch (id) {
    case IDOK:
      OnLogin();
      return 0;
    case IDC_LOGIN_MINIMIZE:
      ShowWindow(SW_MINIMIZE);
      return 0;
    case IDC_LOGIN_REMEMBER:
      if (code == BN_CLICKED && IsDlgButtonChecked(IDC_LOGIN_REMEMBER) != BST_CHECKED) {
        CheckDlgButton(IDC_LOGIN_AUTO, BST_UNCHECKED);
      }
      return 0;
    case IDC_LOGIN_AUTO:
      if (code == BN_CLICKED && IsDlgButtonChecked(IDC_LOGIN_AUTO) == BST_CHECKED) {
        CheckDlgButton(IDC_LOGIN_REMEMBER, BST_CHECKED);
      }
      return 0;
    case IDCANCEL:
    case IDC_LOGIN_CLOSE:
    case IDC_NOTICE_CLOSE:
      EndWithCode(id);
      return 0;
    case IDC_LOGIN_PASSWORD:
      if (code == EN_CHANGE) {
        // Filling the box with the remembered length is the first change; it is no typing.
        ++m_nPasswordChanges;
        if (!m_bPrefilled || m_nPasswordChanges > 1) m_bTypedAnew = true;
      }
      return 0;
    default:
      bHandled = FALSE;
      return 0;
  }
}

void CLoginDlg::EndWithCode(int code) {
  StopWorker();
  EndDialog(code);
}

void CLoginDlg::StopWorker() {
  if (!m_hThread) return;
  m_bStop = true;
  ::WaitForSingleObject(m_hThread, INFINITE);
  ::CloseHandle(m_hThread);
  m_hThread = nullptr;
}

void CLoginDlg::ShowForMessage() {
  if (!m_bKeepHidden) return;
  m_bKeepHidden = false;
  ApplyWindowShape();
  ShowWindow(SW_SHOW);
  CenterWindow();
}

LRESULT CLoginDlg::OnWindowPosChanging(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  bHandled = FALSE;
  if (m_bKeepHidden) reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
  return 0;
}

LRESULT CLoginDlg::OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&) {
  PaintWindowMessage(m_hWnd, wParam, [this](CDCHandle target) {
    CRect client;
    GetClientRect(&client);
    CMemoryDC dc(target, client);
    m_bSkinPicture = DrawSkinBackground(m_hWnd, dc, L"loginbg.jpg");
    if (!m_bSkinPicture) DrawBuiltInSkin(dc, client);
  });
  return 0;
}

void CLoginDlg::DrawBuiltInSkin(HDC target, const RECT& rect) {
  CDCHandle dc(target);
  CRect client(rect);
  int width = client.Width();
  int height = client.Height();
  dc.FillSolidRect(&client, kStaticBackground);
  DrawSkinPicture(dc, IDB_LOGIN_CAPTION, 0, 0, width, 34);
  DrawSkinPicture(dc, IDB_LOGIN_TITLE, 13, client.top + 6);
  DrawSkinPicture(dc, IDB_LOGIN_BANNER, static_cast<int>(m_fScale * (client.left + 6)),
             static_cast<int>(client.top + 34 * m_fScale + 5), width, 80);
  DrawSkinPicture(dc, IDB_LOGIN_EDGE, 0, 0, 2, height);
  DrawSkinPicture(dc, IDB_LOGIN_EDGE, width - 3, 0, 3, height);
  DrawSkinPicture(dc, IDB_LOGIN_LINE, 0, height - 2, width, 2);
  DrawSkinPicture(dc, IDB_LOGIN_LINE, 0, client.top + 2, width, 2);
}

void CLoginDlg::ApplyWindowShape() {
  CRect client;
  GetClientRect(&client);
  if (client.IsRectEmpty()) return;
  CDCHandle window(GetDC());
  CDC memory;
  memory.CreateCompatibleDC(window);
  CBitmap bitmap;
  bitmap.CreateCompatibleBitmap(window, client.Width(), client.Height());
  HBITMAP old = memory.SelectBitmap(bitmap);
  DrawBuiltInSkin(memory, client);

  CRgn shape;
  shape.CreateRectRgnIndirect(&client);
  const POINT corners[] = {{0, 0}, {client.right - 6, 0}, {0, client.bottom - 6},
                           {client.right - 6, client.bottom - 6}};
  for (const POINT& corner : corners) {
    for (int y = corner.y; y < corner.y + 6; ++y) {
      for (int x = corner.x; x < corner.x + 6; ++x) {
        if (memory.GetPixel(x, y) != kShapeKey) continue;
        CRgn pixel;
        pixel.CreateRectRgn(x, y, x + 1, y + 1);
        ::CombineRgn(shape, shape, pixel, RGN_DIFF);
      }
    }
  }
  if (SetWindowRgn(shape, TRUE)) shape.Detach();  // the window owns it now
  window.BitBlt(0, 0, client.Width(), client.Height(), memory, 0, 0, SRCCOPY);
  memory.SelectBitmap(old);
  ReleaseDC(window);
}

LRESULT CLoginDlg::OnSize(UINT, WPARAM, LPARAM, BOOL&) {
  ApplyWindowShape();
  return 0;
}

LRESULT CLoginDlg::OnCtlColorStatic(UINT, WPARAM wParam, LPARAM, BOOL&) {
  CDCHandle dc(reinterpret_cast<HDC>(wParam));
  dc.SelectFont(m_fontStatic);
  dc.SetTextColor(kStaticText);
  dc.SetBkColor(kStaticBackground);
  return reinterpret_cast<LRESULT>(static_cast<HBRUSH>(m_brStatic));
}

LRESULT CLoginDlg::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&) {
  CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  if (m_bSkinPicture) {
    CRect client;
    GetClientRect(&client);
    if (!m_bCaptionTaken) {
      m_rcCaption = CRect(0, 0, client.Width() - 2, 36);
      m_bCaptionTaken = true;
    }
    int width = client.Width();
    if (CRect(m_rcCaption).PtInRect(point)) {
      if (CRect(width - 65, 0, width - 33, 34).PtInRect(point)) {
        SendMessage(WM_COMMAND, IDC_LOGIN_MINIMIZE);
        return 0;
      }
      if (CRect(width - 32, 0, width, 34).PtInRect(point)) {
        SendMessage(WM_COMMAND, IDCANCEL);
        return 0;
      }
    }
  }
  ClientToScreen(&point);
  PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
  return 0;
}

LRESULT CLoginDlg::OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  DRAWITEMSTRUCT draw = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
  if (draw.hwndItem == m_btnOk.m_hWnd) {
    if (m_nLoginState == kSigningIn) draw.itemState |= ODS_SELECTED;
    m_btnOk.DrawItem(draw);
    return TRUE;
  }
  if (draw.hwndItem == m_btnCancel.m_hWnd) {
    m_btnCancel.DrawItem(draw);
    return TRUE;
  }
  bHandled = FALSE;
  return 0;
}

LRESULT CLoginDlg::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (wParam != kButtonTimer) {
    bHandled = FALSE;
    return 0;
  }
  if (!m_bSkinPicture) {
    for (CBitmapButton* button : {&m_btnMinimize, &m_btnClose}) {
      if (button->IsWindow() && !button->IsWindowVisible()) button->ShowWindow(SW_SHOW);
    }
  }
  return 0;
}
