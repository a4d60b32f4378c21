#include "app/splash_wnd.h"

#include "resources/app_resource.h"
#include "winlayer/app_module.h"
#include "winlayer/image.h"

namespace {

constexpr int kWidth = 346;
constexpr int kHeight = 247;
constexpr UINT_PTR kFadeIn = 1;
constexpr UINT_PTR kFadeOut = 2;

// The dialog procedure finds its object here: the one live splash.
CSplashWnd* g_splash = nullptr;

}  // namespace

CSplashWnd::CSplashWnd(CString picturePath) : m_strPicturePath(picturePath) {
  g_splash = this;
}

CSplashWnd::~CSplashWnd() {
  if (g_splash == this) g_splash = nullptr;
  if (m_hPicture) ::DeleteObject(m_hPicture);
}

INT_PTR CSplashWnd::DoModal(HWND parent) {
  return ::DialogBoxParamW(_Module.GetResourceInstance(), MAKEINTRESOURCEW(IDD_SPLASH), parent,
                           &CSplashWnd::DialogProc, 0);
}

BOOL CSplashWnd::OnInitDialog() {
  ApplyAlpha();
  CImage picture;
  if (SUCCEEDED(picture.Load(m_strPicturePath)) ||
      picture.LoadFromResource(_Module.GetResourceInstance(), IDB_SPLASH)) {
    m_hPicture = picture.Detach();
  }
  int x = ::GetSystemMetrics(SM_CXSCREEN) / 2 - 173;
  int y = ::GetSystemMetrics(SM_CYSCREEN) / 2 - 123;
  ::MoveWindow(m_hWnd, x, y, kWidth, kHeight, FALSE);
  ::SetWindowTextW(m_hWnd, L"Solvik");
  ::SetTimer(m_hWnd, kFadeIn, 50, nullptr);
  return TRUE;
}

void CSplashWnd::ApplyAlpha() {
  ::SetLayeredWindowAttributes(m_hWnd, 0, static_cast<BYTE>(m_nAlpha), LWA_ALPHA);
}

void CSplashWnd::OnTimer(UINT_PTR id) {
  if (id == kFadeIn) {
    ++m_nAlpha;
    ApplyAlpha();
    if (m_nAlpha >= 255) {
      ::KillTimer(m_hWnd, kFadeIn);
      ::SetTimer(m_hWnd, kFadeOut, 300, nullptr);
    }
  } else if (id == kFadeOut) {
    --m_nAlpha;
    ApplyAlpha();
    if (m_nAlpha <= 0) {
      ::KillTimer(m_hWnd, kFadeOut);
      ::ShowWindow(m_hWnd, SW_HIDE);
    }
  }
}

INT_PTR CALLBACK CSplashWnd::DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM) {
  CSplashWnd* self = g_splash;
  if (!self) return FALSE;
  switch (uMsg) {
    case WM_INITDIALOG:
      self->m_hWnd = hWnd;
      ::SetWindowLongW(hWnd, GWL_EXSTYLE, ::GetWindowLongW(hWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
      return self->OnInitDialog();
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      HDC memory = ::CreateCompatibleDC(dc);
      HGDIOBJ old = ::SelectObject(memory, self->m_hPicture);
      ::BitBlt(dc, 0, 0, kWidth, kHeight, memory, 0, 0, SRCCOPY);
      ::SelectObject(memory, old);
      ::DeleteDC(memory);
      return TRUE;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      ::BeginPaint(hWnd, &paint);
      ::EndPaint(hWnd, &paint);
      return TRUE;
    }
    case WM_TIMER:
      self->OnTimer(wParam);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) ::EndDialog(hWnd, 2);
      return TRUE;
    default:
      return FALSE;
  }
}
