// The main frame's window: creation, layout, painting, the caption strip, commands, the tray
// icon, system commands and media notices.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <ctime>

#include "app/about_dlg.h"
#include "lyric/lrcedit_dlg.h"
#include "app/frame_layout.h"
#include "app/main_frame.h"
#include "app/site_pages.h"
#include "app/strip_button.h"
#include "app/startup.h"
#include "controls/paint_message.h"
#include "controls/skin_font.h"
#include "controls/skin_scrollbar.h"
#include "foundation/common_helpers.h"
#include "foundation/config.h"
#include "foundation/logger.h"
#include "foundation/message_box.h"
#include "foundation/text_convert.h"
#include "resources/app_resource.h"
#include "winlayer/app_module.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/geometry.h"
#include "winlayer/menu.h"

namespace {

constexpr COLORREF kBandColour = 0x322B32;
constexpr COLORREF kCaptionColour = 0x282128;
constexpr COLORREF kTitleColour = 0x4369C9;
constexpr COLORREF kBorderColour = 0xC4C4C0;
constexpr COLORREF kLoadSongBackground = 0x292229;
constexpr UINT_PTR kForegroundTimer = 2;
constexpr UINT kTrayId = 296;
constexpr UINT kSysAbout = 0x10;
constexpr UINT kSysExit = 0x8031;
constexpr DWORD kExitWatchdogMs = 30000;
const CRect kLogoRect(1, 1, 87, 29);
const wchar_t kFrameTitle[] = L"Lirak歌词编辑器";

// The first tick of timer 2 brings the window forward, once per process.
bool g_broughtForward = false;
// Whether ToggleMaximize has filled the work area, and the size to go back to.
bool g_filled = false;
SIZE g_sizeBeforeFill = {kFrameWidth, kFrameHeight};

// Whole days from the local midnight that begins the date to now.
int DaysSince(int year, int month, int day) {
  std::tm start = {};
  start.tm_year = year - 1900;
  start.tm_mon = month - 1;
  start.tm_mday = day;
  start.tm_isdst = -1;
  std::time_t from = std::mktime(&start);
  std::time_t now = std::time(nullptr);
  return from == static_cast<std::time_t>(-1) ? 0 : static_cast<int>((now - from) / 86400);
}

RECT WorkArea() {
  RECT work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

void Place(CWindow& window, const CRect& rect) {
  if (window.IsWindow()) {
    window.SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                        SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace

// ---- creation

LRESULT CMainFrame::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
  GetLogger()->log(em_utility::log_level::normal, L"软件版本：%d.%d.%d.%d", m_version.major,
                   m_version.minor, m_version.build, m_version.revision);
  ::SetErrorMode(SEM_FAILCRITICALERRORS);

  CreateSkinFont(m_font, 14);
  m_penBorder.CreatePen(PS_SOLID, 2, kBorderColour);
  ModifyStyle(WS_CAPTION | WS_THICKFRAME, 0, SWP_FRAMECHANGED);
  SetFont(m_font, FALSE);

  SetTitle(kFrameTitle);
  m_hIcon = ::LoadIconW(_Module.GetResourceInstance(), MAKEINTRESOURCEW(IDI_MAINFRAME));
  SetIcon(m_hIcon, FALSE);
  SetIcon(m_hIcon, TRUE);

  HMENU systemMenu = GetSystemMenu(FALSE);
  wchar_t about[256] = {};
  if (::LoadStringW(_Module.GetResourceInstance(), IDS_ABOUTBOX, about, 256) > 0) {
    ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(systemMenu, MF_STRING, kSysAbout, about);
  }
  ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(systemMenu, MF_STRING, kSysExit, L"退出");
  ::DeleteMenu(systemMenu, 0, MF_BYPOSITION);

  m_wndTree.Create(m_hWnd, CRect(0, 0, 0, 0), nullptr, 0x54801000);
  m_wndList.Create(m_hWnd, CRect(0, 0, 0, 0), nullptr, 0x50000005);
  m_wndList.SetExtendedListViewStyle(LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  m_wndList.ModifyStyle(LVS_NOSCROLL | LVS_NOCOLUMNHEADER | LVS_NOSORTHEADER, 0);
  m_wndList.ModifyStyleEx(WS_EX_CLIENTEDGE, 0);
  m_wndList.InitColumns();
  m_wndList.SetColumnWidth(0, 620);
  m_wndList.SetColumnWidth(1, 130);
  SkinSB_DetachWindow(m_wndList);
  SkinSB_AttachWindow(m_wndList, CLrceditDlg::GetScrollBarSkin());

  // Clipping its children keeps the bar from painting over its close button.
  m_wndNoticeBar.Create(m_hWnd, CRect(0, 0, 0, 0), nullptr, WS_CHILD | WS_BORDER | WS_CLIPCHILDREN);
  m_wndStatusBar.Create(m_hWnd, CRect(0, 0, 0, 0), nullptr, WS_CHILD | WS_VISIBLE);
  // OnSize places them.
  struct Button {
    CBitmapButton& button;
    int id;
    UINT bitmap;
    int imageWidth;
    const wchar_t* tip;
    COLORREF background;
  } buttons[] = {
      {m_btnMenu, IDC_MENU_BUTTON, IDB_MENU_BUTTON, 69, L"菜单", kCaptionColour},
      {m_btnMinimize, IDC_MINIMIZE_BUTTON, IDB_FRAME_MINIMIZE, 20, L"最小化", kCaptionColour},
      {m_btnClose, IDC_CLOSE_BUTTON, IDB_FRAME_CLOSE, 20, L"关闭", kCaptionColour},
      {m_btnMaximize, IDC_MAXIMIZE_BUTTON, IDB_FRAME_MAXIMIZE, 20, L"最大化", kCaptionColour},
      {m_btnLoadSong, IDC_LOAD_SONG_BUTTON, IDB_LOAD_SONG, 26, L"加载歌曲", kLoadSongBackground},
  };
  for (const Button& b : buttons) {
    CreateStripButton(b.button, m_hWnd, b.id, b.bitmap, b.imageWidth, b.tip, b.background,
                      CRect(0, 0, b.imageWidth, 20), WS_CHILD | WS_VISIBLE);
  }
  m_btnLoadSong.SizeToImage();
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);

  m_wndSubTab.Create(m_hWnd, CRect(0, 0, 0, 0), nullptr,
                     WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_FOCUSNEVER);
  m_wndSubTab.InsertItem(0, L"最新流行专辑");
  m_wndSubTab.InsertItem(1, L"编辑歌词");
  m_wndSubTab.SetTabSpacing(10);

  m_pLrceditDlg->Create(m_hWnd);

  CWindow address;
  address.Create(L"EDIT", m_hWnd, CRect(0, 0, 0, 0), nullptr,
                 WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_WANTRETURN,
                 WS_EX_CLIENTEDGE, IDC_ADDRESS_BOX);
  m_wndAddress.Init(address);
  m_wndAddress.SetFont(m_font);
  m_wndAddress.SetCueText(L"输入专辑或歌曲url");
  address.SendMessage(EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"输入专辑或歌曲url"));

  m_wndPager.Create(m_hWnd, CRect(0, 0, 0, 0), nullptr, WS_CHILD);
  m_wndPager.SetBkColor(kBandColour);

  // One page for every three days since the station opened, and 50 more.
  int days = DaysSince(2011, 4, 1);
  GetLogger()->log(em_utility::log_level::normal, L"产品第%d天运行！", days);
  m_wndPager.SetPageInfo(1, days / 3 + 50);

  ShowPane(0);
  OnSize(kFrameWidth, kFrameHeight);

  SetTimer(kForegroundTimer, 5000);
  AddTrayIcon();
  ShowWindow(SW_SHOWNORMAL);

  LPITEMIDLIST desktop = nullptr;
  if (SUCCEEDED(::SHGetSpecialFolderLocation(m_hWnd, CSIDL_DESKTOP, &desktop))) {
    SHChangeNotifyEntry entry = {desktop, TRUE};
    m_nShellNotifyId = ::SHChangeNotifyRegister(
        m_hWnd, 0xFF, SHCNE_MEDIAINSERTED | SHCNE_MEDIAREMOVED, WM_SHELL_NOTIFY, 1, &entry);
    ::CoTaskMemFree(desktop);
  }

  HANDLE updateCheck = ::CreateThread(nullptr, 0, &CMainFrame::UpdateCheckThreadProc, this, 0,
                                     nullptr);
  if (updateCheck) ::CloseHandle(updateCheck);

  ::RegisterHotKey(m_hWnd, m_nHotKeyId1, MOD_CONTROL, VK_F2);
  ::RegisterHotKey(m_hWnd, m_nHotKeyId2, MOD_CONTROL, VK_F1);

  m_webDataManager.RequestRadioTypes();
  return 0;
}

void CMainFrame::AddTrayIcon() {
  NOTIFYICONDATAW tray = {};
  tray.cbSize = sizeof tray;
  tray.hWnd = m_hWnd;
  tray.uID = kTrayId;
  tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  tray.uCallbackMessage = WM_TRAY_NOTIFY;
  tray.hIcon = m_hIcon;
  lstrcpynW(tray.szTip, L"歌词编辑器", ARRAYSIZE(tray.szTip));
  ::Shell_NotifyIconW(NIM_ADD, &tray);
}

LRESULT CMainFrame::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  NOTIFYICONDATAW tray = {};
  tray.cbSize = sizeof tray;
  tray.hWnd = m_hWnd;
  tray.uID = kTrayId;
  ::Shell_NotifyIconW(NIM_DELETE, &tray);
  ::UnregisterHotKey(m_hWnd, m_nHotKeyId1);
  ::UnregisterHotKey(m_hWnd, m_nHotKeyId2);
  if (m_nShellNotifyId) ::SHChangeNotifyDeregister(m_nShellNotifyId);
  m_nShellNotifyId = 0;
  bHandled = FALSE;
  return 0;
}

// ---- layout

LRESULT CMainFrame::OnSizeMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  // A minimized window has no size to lay out for.
  if (IsWindow() && wParam != SIZE_MINIMIZED) OnSize(LOWORD(lParam), HIWORD(lParam));
  return 0;
}

void CMainFrame::Relayout() {
  if (!IsWindow()) return;
  CRect client;
  GetClientRect(&client);
  OnSize(client.Width(), client.Height());
}

void CMainFrame::OnSize(int width, int height) {
  // Resizing the window below sends WM_SIZE again.
  if (m_bInLayout) return;
  m_bInLayout = true;
  FrameLayout layout = ComputeFrameLayout(width, height, WorkArea(),
                                          m_wndNoticeBar.IsWindow() &&
                                              m_wndNoticeBar.IsWindowVisible());
  SetWindowPos(nullptr, 0, 0, layout.width, layout.height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Place(m_wndSubTab, layout.tabs);
  Place(m_wndAddress, layout.addressBox);
  Place(m_btnLoadSong, layout.loadSongButton);
  if (m_wndNoticeBar.IsWindow() && m_wndNoticeBar.IsWindowVisible()) {
    Place(m_wndNoticeBar, layout.noticeBar);
  }
  Place(m_wndTree, layout.tree);
  if (m_wndList.IsWindow()) {
    Place(m_wndList, layout.list);
    m_wndList.FitColumnWidth(0, layout.list.Width());
  }
  Place(m_wndPager, layout.pager);
  if (m_pLrceditDlg->IsWindow()) Place(*m_pLrceditDlg, layout.workspace);
  Place(m_wndStatusBar, layout.statusBar);
  Place(m_btnMenu, layout.menuButton);
  Place(m_btnMaximize, layout.maximizeButton);
  Place(m_btnMinimize, layout.minimizeButton);
  Place(m_btnClose, layout.closeButton);
  CenterWindow();
  if (IsWindowVisible()) RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  m_bInLayout = false;
}

void CMainFrame::ToggleMaximize() {
  if (m_bMaximizedBySystem) {
    SetForegroundWindow();
    ShowWindow(SW_SHOWNORMAL);
    m_bMaximizedBySystem = false;
    return;
  }
  g_filled = !g_filled;
  if (g_filled) {
    CRect client;
    GetClientRect(&client);
    g_sizeBeforeFill = {client.Width(), client.Height()};
    OnSize(10000, 10000);
  } else {
    OnSize(g_sizeBeforeFill.cx, g_sizeBeforeFill.cy);
    CPlayListViewCtrl* songs = m_pLrceditDlg->GetSongList();
    if (songs->IsWindow()) songs->SetScrollRange(SB_HORZ, 0, 500, FALSE);
  }
}

// ---- painting

LRESULT CMainFrame::OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&) {
  PaintWindowMessage(m_hWnd, wParam, [this](CDCHandle target) {
    CRect r;
    GetClientRect(&r);
    CMemoryDC dc(target, r);
    int saved = dc.SaveDC();
    DrawSkinImage(m_hWnd, dc, L"bg.jpg");
    dc.FillSolidRect(r.left, 30, r.Width(), 45, kBandColour);
    dc.FillSolidRect(r.left, r.top, r.Width(), 33, kCaptionColour);
    dc.SetBkMode(TRANSPARENT);
    CImage logo;
    if (logo.LoadFromResource(_Module.GetResourceInstance(), IDB_LOGO)) {
      DrawRoundBitmap(logo, dc, CRect(2, 1, 88, 29));
    }
    dc.SelectFont(m_font);
    dc.SetTextColor(kTitleColour);
    dc.TextOut(r.right / 2 - 90, r.top + 10, m_strTitle);
    const wchar_t label[] = L"地址栏：";
    SIZE labelSize = {0, 0};
    dc.GetTextExtent(label, -1, &labelSize);
    dc.TextOut(r.right - labelSize.cx - 357, r.top + 40, label);
    dc.SelectPen(m_penBorder);
    dc.MoveTo(r.left, r.top);
    dc.LineTo(r.left, r.bottom);
    dc.MoveTo(r.right - 1, r.top);
    dc.LineTo(r.right - 1, r.bottom);
    dc.MoveTo(r.left, r.bottom - 1);
    dc.LineTo(r.right, r.bottom - 1);
    dc.RestoreDC(saved);
  });
  return 0;
}

bool CMainFrame::DrawSkinImage(HWND window, HDC dc, CString name) {
  CString path = GetConfig()->GetAppDir() + L"images\\" + name;
  if (!FileExists(path)) return false;
  CImage picture;
  if (FAILED(picture.Load(path))) return false;
  CRect rect;
  ::GetWindowRect(window, &rect);
  HDC target = dc ? dc : ::GetDC(window);
  picture.Draw(target, 0, 0, rect.Width(), rect.Height());
  if (!dc) ::ReleaseDC(window, target);
  return true;
}

bool DrawSkinBackground(HWND window, HDC dc, CString name) {
  return CMainFrame::GetInstance()->DrawSkinImage(window, dc, name);
}

void CMainFrame::DrawRoundBitmap(const CImage& image, HDC target, const RECT& rect) {
  CRect area(rect);
  if (image.IsNull() || area.IsRectEmpty()) return;
  CDCHandle dc(target);
  // The picture scaled to the rectangle, as the pattern of a brush anchored at its corner.
  CDC scaledDc;
  scaledDc.CreateCompatibleDC(dc);
  CBitmap scaled;
  scaled.CreateCompatibleBitmap(dc, area.Width(), area.Height());
  HBITMAP old = scaledDc.SelectBitmap(scaled);
  int mode = scaledDc.SetStretchBltMode(HALFTONE);
  image.StretchBlt(scaledDc, 0, 0, area.Width(), area.Height());
  scaledDc.SetStretchBltMode(mode);
  scaledDc.SelectBitmap(old);

  CBrush brush;
  brush.CreatePatternBrush(scaled);
  CRgn round;
  round.CreateRoundRectRgn(area.left, area.top, area.right + 1, area.bottom + 1, 5, 5);
  POINT oldOrigin;
  ::SetBrushOrgEx(dc, area.left, area.top, &oldOrigin);
  dc.FillRgn(round, brush);
  ::SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
}

void CMainFrame::SetTitle(CString title) {
  m_strTitle = title;
  if (!IsWindow()) return;
  CRect rect;
  GetClientRect(&rect);
  rect.left += 30;
  rect.top += 8;
  RedrawWindow(&rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  SetWindowText(title);
}

// ---- caption strip, mouse and cursor

LRESULT CMainFrame::OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL&) {
  CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  ScreenToClient(&point);
  CRect client;
  GetClientRect(&client);
  return CRect(90, 1, client.right - 111, 30).PtInRect(point) ? HTCAPTION : HTCLIENT;
}

LRESULT CMainFrame::OnNcLButtonDown(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (wParam == HTCAPTION || wParam == HTCLIENT) bHandled = FALSE;  // the drag
  return 0;
}

LRESULT CMainFrame::OnNcLButtonDblClk(UINT, WPARAM, LPARAM, BOOL&) {
  ToggleMaximize();
  return 0;
}

LRESULT CMainFrame::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  if (kLogoRect.PtInRect(point)) OpenUrl(SitePage());
  if (!IsZoomed()) {
    ClientToScreen(&point);
    PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
  }
  bHandled = FALSE;
  return 0;
}

LRESULT CMainFrame::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&) {
  CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  m_nCursorState = kLogoRect.PtInRect(point) ? kCursorHand : kCursorArrow;
  return 0;
}

LRESULT CMainFrame::OnSetCursor(UINT, WPARAM, LPARAM, BOOL&) {
  static const LPCWSTR kCursors[] = {IDC_WAIT, IDC_ARROW, IDC_ARROW, IDC_HAND, IDC_IBEAM};
  int state = m_nCursorState;
  ::SetCursor(::LoadCursorW(nullptr, kCursors[state >= 0 && state <= 4 ? state : kCursorArrow]));
  return TRUE;
}

LRESULT CMainFrame::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (wParam != kForegroundTimer) {
    bHandled = FALSE;
    return 0;
  }
  if (!g_broughtForward && IsWindow()) {
    g_broughtForward = true;
    SetForegroundWindow();
    BringWindowToTop();
  }
  return 0;
}

// ---- panes and keys

void CMainFrame::ShowPane(int pane) {
  m_nPane = pane;
  for (CWindow* window : {static_cast<CWindow*>(&m_wndTree), static_cast<CWindow*>(&m_wndList),
                          static_cast<CWindow*>(m_pLrceditDlg.get()),
                          static_cast<CWindow*>(&m_wndPager)}) {
    if (window->IsWindow()) window->ShowWindow(SW_HIDE);
  }
  if (m_wndSubTab.IsWindow()) m_wndSubTab.SetCurSel(pane);
  if (pane == 0 && m_wndTree.IsWindow()) {
    m_wndTree.ShowWindow(SW_SHOW);
    m_wndList.ShowWindow(SW_SHOW);
    const RadioSort* sort = m_wndTree.GetSelectedSort();
    if (sort && sort->type_id == 2) m_wndPager.ShowWindow(SW_SHOW);
  } else if (pane == 1 && m_pLrceditDlg->IsWindow()) {
    m_pLrceditDlg->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    m_pLrceditDlg->ShowWindow(SW_SHOW);
  }
}

LRESULT CMainFrame::OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL&) {
  UINT key = static_cast<UINT>(wParam);
  if (key < 'A' || key > VK_F11) return 1;
  CLrceditDlg* workspace = m_pLrceditDlg.get();
  CEditDlg* editor = workspace->GetEditDlg();
  switch (key) {
    case 'A': {
      if (::GetKeyState(VK_CONTROL) >= 0) return 1;
      HWND focus = ::GetFocus();
      CPlayListViewCtrl* songs = workspace->GetSongList();
      if (focus && focus == editor->GetLrcEdit().m_hWnd) {
        editor->OnKeyDown(key);
      } else if (focus && focus == songs->m_hWnd) {
        for (int row = songs->GetItemCount() - 1; row >= 0; --row) {
          songs->SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        }
      }
      return 1;  // the key still goes on to the focused window
    }
    case VK_F2:
      if (!workspace->IsMediaLoaded()) return 1;
      workspace->TogglePlayPause();
      return 0;
    case VK_F3:
    case VK_F4:
      if (!workspace->IsMediaLoaded()) return 1;
      workspace->SeekBy(key == VK_F3, 5.0);
      return 0;
    case VK_F5:
    case VK_F6:
    case VK_F7:
    case VK_F8:
    case VK_F11:
      editor->OnKeyDown(key);
      return 0;
    default:
      return 1;
  }
}

// ---- notifications and commands

LRESULT CMainFrame::OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header->hwndFrom == m_wndTree.m_hWnd && header->code == TVN_SELCHANGEDW) {
    OnTreeSelChanged(reinterpret_cast<const NMTREEVIEWW*>(lParam)->itemNew.hItem);
  } else if (header->hwndFrom == m_wndPager.m_hWnd && header->code == CSelectCtrl::kPageNotify) {
    OnPagerStep();
  } else if (header->hwndFrom == m_wndSubTab.m_hWnd && header->code == TCN_SELCHANGE) {
    int tab = m_wndSubTab.GetCurSel();
    if (tab == 0 || tab == 1) ShowPane(tab);
  }
  bHandled = FALSE;  // reflected to the control as well
  return 0;
}

LRESULT CMainFrame::OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  // Menu items are the skinned menu's; anything else goes on to its control.
  const DRAWITEMSTRUCT* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  if (draw->CtlType != ODT_MENU) {
    bHandled = FALSE;
    return 0;
  }
  m_menu.DrawItem(*draw);
  return TRUE;
}

LRESULT CMainFrame::OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  MEASUREITEMSTRUCT* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
  if (measure->CtlType != ODT_MENU) {
    bHandled = FALSE;
    return 0;
  }
  m_menu.MeasureItem(*measure);
  return TRUE;
}

LRESULT CMainFrame::OnCommandMessage(UINT, WPARAM wParam, LPARAM, BOOL&) {
  OnCommand(LOWORD(wParam));
  return 0;
}

void CMainFrame::OnCommand(int id) {
  switch (id) {
    case IDOK:
    case IDCANCEL:
    case IDC_CLOSE_BUTTON:
    case ID_APP_EXIT:
      ExitApp(true);
      break;
    case IDC_MENU_BUTTON: {
      CRect button;
      m_btnMenu.GetWindowRect(&button);
      ShowMainMenu(CPoint(button.left, button.bottom + 2), TPM_LEFTALIGN | TPM_LEFTBUTTON);
      break;
    }
    case IDC_MINIMIZE_BUTTON:
      ShowWindow(SW_MINIMIZE);
      m_bMinimized = true;
      break;
    case IDC_SHOW_STATION:
      ShowPane(0);
      break;
    case IDC_SHOW_WORKSPACE:
      ShowPane(1);
      break;
    case IDC_MAXIMIZE_BUTTON:
      ToggleMaximize();
      break;
    case IDC_LOAD_SONG_BUTTON:
      m_wndAddress.OpenSongUrl();
      break;
    case ID_HELP_USAGE: {
      CString help = SitePage(L"/lyrichelp");
      if (help.Find(L"http://") == 0 || help.Find(L"ftp://") == 0 || help.Find(L"www.") == 0) {
        OpenUrl(help);
      }
      break;
    }
    case ID_APP_ABOUT:
      ShowAboutBox();
      break;
    case ID_CHECK_UPDATE:
      CheckUpdate(true);
      break;
    case ID_CHANGE_USER:
      ChangeUser();
      break;
    case ID_TOPMOST:
      m_bTopmost = (GetExStyle() & WS_EX_TOPMOST) == 0;
      SetWindowPos(m_bTopmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      break;
    case ID_BUG_REPORT:
      ::ShellExecuteW(nullptr, nullptr, GetConfig()->GetAppDir() + L"BugReport.exe", nullptr,
                      nullptr, SW_SHOW);
      break;
    default:
      break;
  }
}

void CMainFrame::ShowMainMenu(POINT at, UINT trackFlags) {
  CMenu menu;
  menu.LoadMenu(IDR_MAINMENU);
  CMenuHandle popup = menu.GetSubMenu(0);
  if (!popup.m_hMenu) return;
  m_menu.AttachMenu(popup, FALSE, 0, 0, 0);
  popup.CheckMenuItem(ID_TOPMOST, MF_BYCOMMAND | (m_bTopmost ? MF_CHECKED : MF_UNCHECKED));
  popup.TrackPopupMenu(trackFlags, at.x, at.y, m_hWnd);
  // The whole loaded menu goes with `menu`, its popup included: the skinned menu lets go of it
  // first, so it never holds a handle that may come back naming another menu.
  m_menu.Detach();
  m_menu.ClearItems();
}

void CMainFrame::ShowAboutBox() {
  CAboutDlg about;
  about.DoModal(::GetActiveWindow());
}

LRESULT CMainFrame::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  UINT command = static_cast<UINT>(wParam);
  if ((command & 0xFFF0) == kSysAbout) {
    ShowAboutBox();
  } else if (command == kSysExit) {
    ExitApp(true);
  } else if ((command & 0xFFF0) == SC_MINIMIZE) {
    ShowWindow(SW_MINIMIZE);
    m_bMinimized = true;
  } else if ((command & 0xFFF0) == SC_MAXIMIZE) {
    SetForegroundWindow();
    ShowWindow(SW_MAXIMIZE);
    m_bMaximizedBySystem = true;
  } else if ((command & 0xFFF0) == SC_CLOSE) {
    ShowWindow(SW_HIDE);  // into the tray
  } else {
    bHandled = FALSE;
  }
  return 0;
}

LRESULT CMainFrame::OnTrayNotify(UINT, WPARAM, LPARAM lParam, BOOL&) {
  em_utility::logger* log = GetLogger();
  switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONDOWN:
      log->log(em_utility::log_level::important, L"系统托盘响应LBUTTONDOWN");
      if (m_bMinimized) {
        log->log(em_utility::log_level::important, L"系统托盘响应LBUTTONDOWN最小化");
        SetForegroundWindow();
        ShowWindow(SW_SHOWNORMAL);
        m_bMinimized = false;
      } else if (!IsWindowVisible()) {
        log->log(em_utility::log_level::important, L"系统托盘响应LBUTTONDOWN不可见");
        SetForegroundWindow();
        ShowWindow(SW_SHOWNORMAL);
      } else {
        log->log(em_utility::log_level::important, L"系统托盘响应LBUTTONDOWN可见");
        ShowWindow(SW_HIDE);
      }
      return 0;
    case WM_RBUTTONDOWN: {
      log->log(em_utility::log_level::important, L"系统托盘响应RBUTTONDOWN");
      POINT cursor;
      ::GetCursorPos(&cursor);
      SetForegroundWindow();
      ShowMainMenu(cursor, TPM_LEFTALIGN | TPM_RIGHTBUTTON);
      return 0;
    }
    default:
      return 1;
  }
}

LRESULT CMainFrame::OnShellNotify(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  bHandled = FALSE;
  const LPCITEMIDLIST* items = reinterpret_cast<const LPCITEMIDLIST*>(wParam);
  char path[MAX_PATH] = {};
  if (items && items[0]) ::SHGetPathFromIDListA(items[0], path);
  // The log's narrow text is in the ANSI code page, as the path is: the texts go in wide.
  CString where = em_utility::ansi_to_wide(path);
  if (lParam == SHCNE_MEDIAINSERTED) {
    GetLogger()->log(em_utility::log_level::important, L"插入存储卡：%s", where.GetString());
  } else if (lParam == SHCNE_MEDIAREMOVED) {
    GetLogger()->log(em_utility::log_level::important,
                     L"拔出存储卡：%s, bInProcess = %d, m_bUDiskOff = %d", where.GetString(), 0,
                     m_bUDiskOff ? 1 : 0);
  }
  return 0;
}

// ---- exit

bool CMainFrame::ExitApp(bool ask) {
  if (ask && !ConfirmLyricWorkMayGo()) return false;
  if (ask && ShowMessageBox(m_hWnd, L"是否关闭程序？", L"歌词编辑器", MB_YESNO | MB_ICONQUESTION) !=
                 IDYES) {
    return false;
  }
  m_bKeepChecking = false;
  m_stopChecking.Set();
  KillTimer(kForegroundTimer);
  ShowWindow(SW_HIDE);
  HANDLE watchdog = ::CreateThread(nullptr, 0, &ExitWatchdogThread,
                                   reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(kExitWatchdogMs)),
                                   0, nullptr);
  if (watchdog) ::CloseHandle(watchdog);
  GetLogger()->log(em_utility::log_level::important, L"程序退出：等待http下载器中的任务完成。。。");
  GetLogger()->log(em_utility::log_level::important, L"程序退出。。。");
  DestroyWindow();
  ::PostQuitMessage(0);
  return true;
}

bool CMainFrame::ConfirmLyricWorkMayGo() {
  // Answered No, the work still counts as unsaved: the user may yet decline to leave.
  CEditDlg* editor = GetEditDlg();
  return !editor->m_hWnd || editor->ConfirmDiscard(CEditDlg::LetGo::kStayUnsaved);
}

void CMainFrame::ChangeUser() {
  // Asked before automatic sign-in is forgotten: a save that fails leaves the program as it was.
  if (!ConfirmLyricWorkMayGo()) return;
  CConfig* config = GetConfig();
  config->m_bAutoLogin = 0;
  config->Save();
  ExitApp(false);
  g_bRestart = 1;
}

// ---- the account the login leaves

void CMainFrame::SetLoginAccount(const CString& user, const CString& digest) {
  CLockGuard guard(m_accountLock);
  m_strLoginUser = user;
  m_strLoginDigest = digest;
}

CString CMainFrame::GetLoginUser() const {
  CLockGuard guard(m_accountLock);
  return m_strLoginUser;
}

CString CMainFrame::GetLoginDigest() const {
  CLockGuard guard(m_accountLock);
  return m_strLoginDigest;
}
