#include "lyric/lrc_displayer.h"

#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "app/main_frame.h"
#include "controls/paint_message.h"
#include "controls/skin_font.h"
#include "foundation/common_helpers.h"
#include "foundation/config.h"
#include "foundation/folder_util.h"
#include "foundation/scoped_handle.h"
#include "lyric/gdi_painter.h"
#include "resources/lyric_ids.h"
#include "webdata/download_session.h"
#include "winlayer/app_module.h"
#include "winlayer/gdi_dc.h"

namespace {

constexpr COLORREF kBackground = 0x282128;
constexpr COLORREF kPastLineColour = 0x818181;
constexpr int kLineRectHeight = 20;
constexpr int kMargin = 5;
constexpr int kFloatGap = 20;
constexpr int kRepaintMs = 150;
constexpr int kMarqueeMs = 300;
constexpr DWORD kQueuePollMs = 300;
constexpr int kResizeBorder = 3;
constexpr UINT kDisplayMenu = 305;
constexpr ULONG_PTR kNowPlayingId = 1351;

UINT AlignFormat(int align) {
  return align == CLrcDisplayer::kAlignLeft    ? DT_LEFT
         : align == CLrcDisplayer::kAlignRight ? DT_RIGHT
                                               : DT_CENTER;
}

void SendNowPlaying(HWND window, const CString& payload) {
  COPYDATASTRUCT data = {kNowPlayingId, static_cast<DWORD>((payload.GetLength() + 1) * 2),
                         const_cast<wchar_t*>(payload.GetString())};
  ::SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

const wchar_t kMessengerClass[] = L"MsnMsgrUIManager";

}  // namespace

CLrcDisplayer::CLrcDisplayer() {
  wcscpy(m_szMessage, L"无歌词信息");
}

CLrcDisplayer::~CLrcDisplayer() {
  StopWorker();
}

void CLrcDisplayer::Init() {
  {
    CLockGuard guard(m_doc.m_lock);
    m_clock = LrcClock();
  }
  m_bFloating = FALSE;
  m_nAlign = kAlignCentre;
  m_font.DeleteObject();
  CreateSkinFont(m_font, 12, FW_NORMAL, GB2312_CHARSET, DEFAULT_PITCH | FF_DONTCARE,
                 CLEARTYPE_QUALITY);
  m_nLineHeight = 14;
  SetMessage(L"无歌词信息");
  m_crEdge = kBackground;
  m_nEdgePercent = 10;
  m_bFade = true;
  m_crOther = 0x808080;
  m_crCurrent = 0x008080;
  m_strLyricDir = GetConfig()->GetTempDir();
  if (!m_strLyricDir.IsEmpty()) em_utility::make_dirs(m_strLyricDir);
  if (!m_hWorker) {
    m_hStopEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_bRunning = 1;
    m_hWorker = ::CreateThread(nullptr, 0, DownloadThreadProc, this, 0, nullptr);
  }
}

void CLrcDisplayer::SetStyle(int edgeDivisor, bool fade, COLORREF other, COLORREF current,
                             COLORREF edge) {
  m_nEdgePercent = edgeDivisor ? static_cast<int>(1.0 / edgeDivisor * 100.0) : 0;
  m_bFade = fade;
  m_crOther = other;
  m_crCurrent = current;
  m_crEdge = edge;
}

void CLrcDisplayer::SetMessage(const wchar_t* text) {
  wcsncpy(m_szMessage, text ? text : L"", 127);
  m_szMessage[127] = L'\0';
}

// ---- the clock

void CLrcDisplayer::OpenLyricFile(CString path) {
  // A path shorter than three characters has nothing to replace: "lrc" is put after it.
  path = path.Left(std::max(0, path.GetLength() - 3)) + L"lrc";
  CLockGuard guard(m_doc.m_lock);
  m_doc.Open(path.GetString());
  if (!m_doc.m_vecLines.empty()) Play();
}

bool CLrcDisplayer::OpenFile(const wchar_t* path) {
  return m_doc.Open(path);
}

bool CLrcDisplayer::OpenFile(const char* path) {
  return m_doc.Open(path);
}

bool CLrcDisplayer::Play() {
  CLockGuard guard(m_doc.m_lock);
  return m_clock.Play(::GetTickCount(), m_doc.m_nOffset, m_doc.m_vecLines);
}

void CLrcDisplayer::SetTime(int ms) {
  CLockGuard guard(m_doc.m_lock);
  m_clock.SetTime(::GetTickCount(), m_doc.m_nOffset, ms);
}

bool CLrcDisplayer::Stop() {
  {
    CLockGuard guard(m_doc.m_lock);
    m_clock.Stop();
  }
  if (m_hWnd) KillTimer(kMarqueeTimer);
  return true;
}

bool CLrcDisplayer::Pause() {
  if (m_hWnd) KillTimer(kMarqueeTimer);
  CLockGuard guard(m_doc.m_lock);
  return m_clock.Pause(::GetTickCount());
}

bool CLrcDisplayer::Resume() {
  if (m_hWnd) SetTimer(kMarqueeTimer, kMarqueeMs);
  CLockGuard guard(m_doc.m_lock);
  return m_clock.Resume();
}

// ---- painting

LRESULT CLrcDisplayer::OnPaintMessage(UINT, WPARAM wParam, LPARAM, BOOL&) {
  PaintWindowMessage(m_hWnd, wParam, [this](CDCHandle dc) {
    CRect client;
    GetClientRect(&client);
    Paint(dc, client, ::GetTickCount());
  });
  return 0;
}

void CLrcDisplayer::Paint(HDC target, const CRect& client, DWORD now) {
  // The picture is made off screen, in a buffer kept from one paint to the next.
  if (!m_backDC.m_hDC) m_backDC.CreateCompatibleDC(target);
  if (!m_backBitmap.m_hBitmap || m_backSize != client.Size()) {
    // The DC gives back its own bitmap first: a selected bitmap cannot be deleted.
    if (m_backBitmap.m_hBitmap) m_backDC.SelectBitmap(m_hBackOriginal);
    m_backBitmap.DeleteObject();
    m_backBitmap.CreateCompatibleBitmap(target, client.Width(), client.Height());
    HBITMAP original = m_backDC.SelectBitmap(m_backBitmap);
    if (!m_hBackOriginal) m_hBackOriginal = original;
    m_backSize = client.Size();
  }
  CDCHandle dc(m_backDC.m_hDC);
  ::SetViewportOrgEx(dc, -client.left, -client.top, nullptr);
  PaintBuffer(dc, client, now);
  ::BitBlt(target, client.left, client.top, client.Width(), client.Height(), dc, client.left,
           client.top, SRCCOPY);
}

void CLrcDisplayer::PaintBuffer(CDCHandle dc, const CRect& client, DWORD now) {
  dc.FillSolidRect(&client, kBackground);
  int saved = dc.SaveDC();
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(kPastLineColour);
  if (m_font.m_hFont) dc.SelectFont(m_font);

  CLockGuard guard(m_doc.m_lock);
  std::vector<LrcLine>& lines = m_doc.m_vecLines;
  if (!lines.empty() && lines[0].nWidth == 0) {
    for (LrcLine& line : lines) {
      SIZE size = {0, 0};
      dc.GetTextExtent(line.strText, line.strText.GetLength(), &size);
      line.nWidth = size.cx;
    }
  }
  if (m_clock.m_nState == LrcClock::kStopped) {
    dc.SetTextColor(m_crOther);
    CRect area = client;
    dc.DrawText(m_szMessage, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  } else if (m_clock.m_nState == LrcClock::kPlaying || m_clock.m_nState == LrcClock::kPaused) {
    int t = m_clock.Elapsed(now);
    m_clock.m_nCurLine = AdvanceCurrentLine(m_clock.m_nCurLine, t, lines);
    if (m_bFloating) {
      PaintFloating(dc, client, t);
    } else {
      PaintDocked(dc, client, t);
    }
    PaintEdgeFade(dc, client);
    if (m_bDragging && !m_bFloating) {
      CPen pen;
      pen.CreatePen(PS_SOLID, 1, m_crOther);
      int middle = client.Height() / 2;
      int left = client.left + kMargin;
      int right = client.right - kMargin;
      CGdiPainter* painter = CGdiPainter::GetInstance();
      painter->DrawLine(dc, pen, left, middle, right, middle);
      painter->DrawLine(dc, pen, left, middle - 3, left, middle + 4);
      painter->DrawLine(dc, pen, right, middle - 3, right, middle + 4);
    }
  }
  dc.RestoreDC(saved);
}

COLORREF CLrcDisplayer::CurrentLineColour(int t) const {
  const std::vector<LrcLine>& lines = m_doc.m_vecLines;
  int next = m_clock.m_nCurLine + 1;
  if (!m_bFade || next >= static_cast<int>(lines.size())) return m_crCurrent;
  return BlendColour(m_crOther, m_crCurrent, CurrentLineFade(t, lines[next].nTime));
}

COLORREF CLrcDisplayer::OtherLineColour(int t, int line) const {
  const std::vector<LrcLine>& lines = m_doc.m_vecLines;
  if (!m_bFade || m_clock.m_nCurLine + 1 >= static_cast<int>(lines.size())) return m_crOther;
  return BlendColour(m_crOther, m_crCurrent, OtherLineFade(t, lines[line].nTime));
}

void CLrcDisplayer::PaintDocked(CDCHandle dc, const CRect& client, int t) {
  const std::vector<LrcLine>& lines = m_doc.m_vecLines;
  const int count = static_cast<int>(lines.size());
  const int cur = m_clock.m_nCurLine;
  const int height = client.Height();
  const int lineHeight = std::max(1, m_nLineHeight);
  const int scroll = DockedScroll(t, cur, lines, lineHeight);
  const UINT format = AlignFormat(m_nAlign) | DT_SINGLELINE | DT_NOPREFIX;
  for (int i = std::max(0, cur - height / lineHeight - 1); i < count; ++i) {
    long long y = height / 2 - static_cast<long long>(cur - i) * lineHeight - scroll;
    if (y > height) break;
    if (y + kLineRectHeight < 0) continue;
    CRect rect(kMargin, static_cast<int>(y), client.right - kMargin,
               static_cast<int>(y) + kLineRectHeight);
    dc.SetTextColor(i == cur ? CurrentLineColour(t) : OtherLineColour(t, i));
    dc.DrawText(lines[i].strText, lines[i].strText.GetLength(), &rect, format);
  }
}

void CLrcDisplayer::PaintFloating(CDCHandle dc, const CRect& client, int t) {
  const std::vector<LrcLine>& lines = m_doc.m_vecLines;
  const int count = static_cast<int>(lines.size());
  const int cur = m_clock.m_nCurLine;
  const int width = client.Width();
  const int span = (cur >= 0 && cur < count ? lines[cur].nWidth : 0) + kFloatGap;
  const int scroll = FloatingScroll(t, cur, lines, client.right / 2, span);
  const int x = (cur < 0 ? width : width / 2) - scroll - 10;
  const UINT format = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
  auto draw = [&](int line, int left, COLORREF colour) {
    CRect rect(left, client.top, left + lines[line].nWidth + 1, client.bottom);
    dc.SetTextColor(colour);
    dc.DrawText(lines[line].strText, lines[line].strText.GetLength(), &rect, format);
  };
  int right = x;
  if (cur >= 0 && cur < count) {
    draw(cur, x, CurrentLineColour(t));
    right = x + lines[cur].nWidth + kFloatGap;
  }
  int left = x;
  for (int i = std::min(cur, count) - 1; i >= 0; --i) {
    left -= lines[i].nWidth + kFloatGap;
    draw(i, left, kPastLineColour);
    if (left < 0) break;
  }
  for (int i = std::max(cur + 1, 0); i < count && right <= width; ++i) {
    draw(i, right, i == cur + 1 ? OtherLineColour(t, i) : m_crOther);
    right += lines[i].nWidth + kFloatGap;
  }
}

void CLrcDisplayer::PaintEdgeFade(CDCHandle dc, const CRect& client) {
  const bool vertical = m_bFloating != FALSE;  // the floating line fades at its left and right
  const int size = EdgeFadeSize(m_nEdgePercent, vertical ? client.Width() : client.Height());
  if (size <= 0) return;
  const int rows = size + 1;
  // One picture of both ends, as wide (tall when floating) as the window, so it is blended
  // without stretching: the outer rows most opaque, premultiplied for AlphaBlend.
  const int across = vertical ? client.Height() : client.Width();
  if (!m_edgeBitmap.m_hBitmap || size != m_nEdgeSize || m_crEdge != m_crEdgeMade ||
      vertical != m_bEdgeVertical || across != m_nEdgeAcross) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = vertical ? rows * 2 : across;
    info.bmiHeader.biHeight = -(vertical ? across : rows * 2);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_edgeBitmap.DeleteObject();
    if (!m_edgeBitmap.CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)) return;
    auto* pixels = static_cast<DWORD*>(bits);
    for (int k = 0; k <= size; ++k) {
      DWORD alpha = static_cast<DWORD>(EdgeFadeAlpha(k, size));
      DWORD pixel = alpha << 24 | (GetRValue(m_crEdge) * alpha / 255) << 16 |
                    (GetGValue(m_crEdge) * alpha / 255) << 8 | (GetBValue(m_crEdge) * alpha / 255);
      // Near end: row e - k; far end: row extent - (e - k).
      for (int i = 0; i < across; ++i) {
        if (vertical) {
          pixels[i * rows * 2 + size - k] = pixel;
          pixels[i * rows * 2 + rows + k] = pixel;
        } else {
          pixels[(size - k) * across + i] = pixel;
          pixels[(rows + k) * across + i] = pixel;
        }
      }
    }
    m_nEdgeSize = size;
    m_crEdgeMade = m_crEdge;
    m_bEdgeVertical = vertical;
    m_nEdgeAcross = across;
  }
  CDC source;
  source.CreateCompatibleDC(dc);
  HBITMAP previous = source.SelectBitmap(m_edgeBitmap);
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  if (vertical) {
    ::AlphaBlend(dc, client.left, client.top, rows, across, source, 0, 0, rows, across, blend);
    ::AlphaBlend(dc, client.right - size, client.top, rows, across, source, rows, 0, rows, across,
                 blend);
  } else {
    ::AlphaBlend(dc, client.left, client.top, across, rows, source, 0, 0, across, rows, blend);
    ::AlphaBlend(dc, client.left, client.bottom - size, across, rows, source, 0, rows, across, rows,
                 blend);
  }
  source.SelectBitmap(previous);
}

// ---- messages

int CLrcDisplayer::OnCreate(LPCREATESTRUCT) {
  ModifyStyle(0, WS_CLIPCHILDREN);
  SetTimer(kRepaintTimer, kRepaintMs);
  return 0;
}

void CLrcDisplayer::OnTimer(UINT_PTR id) {
  if (id == kMarqueeTimer) {
    RotateTitle(1);
    CMainFrame* frame = CMainFrame::GetInstance();
    if (frame->m_hWnd) frame->SetWindowText(m_strMarquee);
  } else if (id == kRepaintTimer) {
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
}

void CLrcDisplayer::OnLButtonDown(UINT, CPoint point) {
  m_ptDown = point;
  m_bButtonDown = true;
  ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
  if (!m_bFloating) {
    // The button may come up outside the window: the drag marker must still go.
    SetCapture();
    return;
  }
  CRect client;
  GetClientRect(&client);
  // A floating window has no frame: the right edge resizes it, the rest moves it.
  WPARAM area = point.x >= client.right - kResizeBorder ? HTRIGHT : HTCAPTION;
  m_bMoving = area == HTCAPTION;
  m_bButtonDown = false;
  ::ReleaseCapture();
  SendMessage(WM_NCLBUTTONDOWN, area, 0);
  if (m_bMoving) ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  m_bMoving = false;
}

void CLrcDisplayer::OnMouseMove(UINT flags, CPoint point) {
  if ((flags & MK_LBUTTON) && m_bButtonDown) m_bDragging = true;
  if (!m_bFloating || m_bMoving) return;
  CRect client;
  GetClientRect(&client);
  ::SetCursor(
      ::LoadCursorW(nullptr, point.x >= client.right - kResizeBorder ? IDC_SIZEWE : IDC_ARROW));
}

void CLrcDisplayer::OnLButtonUp(UINT, CPoint) {
  m_bButtonDown = false;
  m_bDragging = false;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  ::SetCursor(::LoadCursorW(nullptr, m_bFloating ? IDC_ARROW : IDC_HAND));
}

void CLrcDisplayer::OnCaptureChanged(HWND) {
  // Another window took the mouse (a menu, a message box, a switch of windows) before the
  // button came up here.
  m_bButtonDown = false;
  m_bDragging = false;
}

BOOL CLrcDisplayer::OnSetCursor(HWND, UINT, UINT) {
  if (m_bFloating) {
    SetMsgHandled(FALSE);
    return FALSE;
  }
  ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
  return TRUE;
}

void CLrcDisplayer::OnCommand(UINT, int id, HWND) {
  if (id == ID_DISPLAY_EDIT_LYRIC) {
    ::SendMessageW(GetParent(), WM_COMMAND, MAKEWPARAM(ID_EDIT_SONG_LYRIC, 0), 0);
  }
}

void CLrcDisplayer::OnSize(UINT, CSize) {
  Invalidate(FALSE);
  UpdateWindow();
}

// ---- floating, marquee, messenger, menu

void CLrcDisplayer::Float() {
  CRect screen;
  GetWindowRect(&screen);
  ShowWindow(SW_HIDE);
  m_bFloating = TRUE;
  ::SetParent(m_hWnd, nullptr);
  ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, WS_EX_TOOLWINDOW | WS_EX_RIGHT);
  ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(WS_POPUP | WS_VISIBLE));
  SetWindowPos(HWND_TOPMOST, screen.left, screen.top, screen.Width(), screen.Height(),
               SWP_FRAMECHANGED);
  HRGN region = ::CreateRoundRectRgn(0, 0, screen.Width() + 1, screen.Height() + 1, 3, 3);
  if (!SetWindowRgn(region, TRUE)) ::DeleteObject(region);  // the window owns it once set
  ShowWindow(SW_SHOW);
}

void CLrcDisplayer::Dock(HWND parent, const RECT* rect) {
  ShowWindow(SW_HIDE);
  m_bFloating = FALSE;
  if (parent) {
    ::SetParent(m_hWnd, parent);
    ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, 0);
    ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN));
    CRect place;
    if (rect) {
      place = *rect;
    } else {
      ::GetWindowRect(parent, &place);
      place.MoveToXY(0, 0);
    }
    SetWindowPos(HWND_TOP, place.left, place.top, place.Width(), place.Height(), SWP_FRAMECHANGED);
  }
  SetWindowRgn(nullptr, TRUE);
  ShowWindow(SW_SHOW);
}

bool CLrcDisplayer::NotifyNowPlaying(const wchar_t* text, int category) {
  HWND messenger = ::FindWindowExW(nullptr, nullptr, kMessengerClass, nullptr);
  if (!messenger) return false;
  // The "\0" of these payloads are the two characters backslash and zero.
  const wchar_t* format = category == 0   ? L"\\0Music\\01\\0{0}\\0%s\\0\\0\\0\\0"
                          : category == 1 ? L"\\0Games\\01\\0{0}\\0%s\\0\\0\\0\\0"
                                          : L"\\0Office\\01\\0{0}\\0%s\\0\\0\\0\\0";
  CString payload;
  payload.Format(format, text ? text : L"");
  SendNowPlaying(messenger, payload);
  return true;
}

void CLrcDisplayer::ClearNowPlaying() {
  const CString payload = L"\\0Music\\00\\0\\0\\0\\0\\0";
  for (HWND messenger = ::FindWindowExW(nullptr, nullptr, kMessengerClass, nullptr); messenger;
       messenger = ::FindWindowExW(nullptr, messenger, kMessengerClass, nullptr)) {
    SendNowPlaying(messenger, payload);
  }
}

void CLrcDisplayer::RotateTitle(int n) {
  int length = m_strMarquee.GetLength();
  if (length == 0) return;
  n = ((n % length) + length) % length;
  m_strMarquee = m_strMarquee.Mid(n) + m_strMarquee.Left(n);
}

void CLrcDisplayer::RotateTitleRight(int n) {
  int length = m_strMarquee.GetLength();
  if (length > 0) RotateTitle(length - n % length);
}

void CLrcDisplayer::ShowPopupMenu(POINT point) {
  HMENU menu = ::LoadMenuW(_Module.GetResourceInstance(), MAKEINTRESOURCEW(kDisplayMenu));
  if (!menu) return;
  ClientToScreen(&point);
  ::TrackPopupMenu(::GetSubMenu(menu, 0), 0, point.x, point.y, 0, m_hWnd, nullptr);
  ::DestroyMenu(menu);
}

// ---- the lyric queue

void CLrcDisplayer::LoadSongLyric(const SongPtr& song) {
  if (!song) return;
  Stop();
  CString path;
  path.Format(L"%s%d.lrc", m_strLyricDir.GetString(), song->GetSongId());
  if (FileExists(path)) {
    if (OpenFile(path.GetString())) Play();
    return;
  }
  AddDownloadTask(LyricDownloadTask{song->GetLyric().c_str(), path, song->GetSongId()});
}

void CLrcDisplayer::AddDownloadTask(const LyricDownloadTask& task) {
  CLockGuard guard(m_queueLock);
  m_queue.push_back(task);
}

void CLrcDisplayer::StopWorker() {
  if (!m_hWorker) return;
  ::InterlockedExchange(&m_bRunning, 0);
  ::SetEvent(m_hStopEvent);
  ::WaitForSingleObject(m_hWorker, INFINITE);
  ::CloseHandle(m_hWorker);
  ::CloseHandle(m_hStopEvent);
  m_hWorker = nullptr;
  m_hStopEvent = nullptr;
}

DWORD WINAPI CLrcDisplayer::DownloadThreadProc(LPVOID self) {
  try {
    static_cast<CLrcDisplayer*>(self)->DownloadLoop();
  } catch (...) {
  }
  return 0;
}

void CLrcDisplayer::DownloadLoop() {
  while (m_bRunning) {
    LyricDownloadTask task;
    bool found = false;
    {
      CLockGuard guard(m_queueLock);
      if (!m_queue.empty()) {
        task = m_queue.front();
        m_queue.pop_front();
        found = true;
      }
    }
    if (found) {
      DownloadLyric(task);
    } else {
      ::WaitForSingleObject(m_hStopEvent, kQueuePollMs);
    }
  }
}

void CLrcDisplayer::DownloadLyric(const LyricDownloadTask& task) {
  InternetHandle session(::InternetOpenW(L"Microsoft@Internet Explorer",
                                         INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return;
  InternetHandle request(
      ::InternetOpenUrlW(session.get(), task.strUrl, nullptr, 0, INTERNET_FLAG_DONT_CACHE, 0));
  if (!request || QueryStatusCode(request.get()) != 200) return;
  bool written = false;
  {
    UniqueFile file(_wfopen(task.strPath, L"wb"));
    if (file) {
      char buffer[4096];
      DWORD got = 0;
      while (::InternetReadFile(request.get(), buffer, sizeof buffer, &got) && got > 0) {
        fwrite(buffer, 1, got, file.get());
      }
      written = true;
    }
  }
  if (written && m_doc.Open(task.strPath.GetString())) Play();
}
