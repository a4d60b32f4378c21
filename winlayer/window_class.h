// Window classes and styles of the window layer: the traits that give a window class its default
// styles, and the class description that CWindowImpl registers on first use.
//
//   DECLARE_WND_CLASS(name)                  a class of our own (null name: generated)
//   DECLARE_WND_CLASS_EX(name, style, color) ... with class style and COLOR_ background index
//   DECLARE_FRAME_WND_CLASS(name, iconId)    a top-level frame: no class style, arrow cursor
//   DECLARE_WND_SUPERCLASS(name, base)       a copy of the system class base (e.g. "SysListView32")
//                                            whose procedure stays the superclass procedure
#pragma once

#include <windows.h>

template <DWORD t_dwStyle = 0, DWORD t_dwExStyle = 0>
class CWinTraits {
 public:
  static DWORD GetWndStyle(DWORD style) { return style == 0 ? t_dwStyle : style; }
  static DWORD GetWndExStyle(DWORD exStyle) { return exStyle == 0 ? t_dwExStyle : exStyle; }
};

using CControlWinTraits = CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0>;
using CFrameWinTraits = CWinTraits<WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                   WS_EX_APPWINDOW | WS_EX_WINDOWEDGE>;

class CWndClassInfo {
 public:
  static CWndClassInfo Plain(LPCWSTR className, UINT style, int backgroundColor);
  static CWndClassInfo Frame(LPCWSTR className, UINT iconId);
  static CWndClassInfo Superclass(LPCWSTR className, LPCWSTR baseClassName);

  // Registers the class once per process (thread-safe). Returns its atom, 0 on failure (for a
  // superclass: the base class is not registered), and gives the procedure that the class's
  // windows pass unhandled messages to.
  ATOM Register(WNDPROC* superProc);

  // The registered description (lpszClassName holds the generated name when none was given).
  const WNDCLASSEXW& GetWndClass() const { return m_wc; }

 private:
  CWndClassInfo() = default;

  WNDCLASSEXW m_wc = {};
  LPCWSTR m_baseClassName = nullptr;
  UINT m_iconId = 0;
  WNDPROC m_baseProc = ::DefWindowProcW;
  ATOM m_atom = 0;
  wchar_t m_generatedName[32] = {};
};

#define DECLARE_WND_CLASS_EX(WndClassName, style, bkgnd)                                \
  static CWndClassInfo& GetWndClassInfo() {                                             \
    static CWndClassInfo info = CWndClassInfo::Plain((WndClassName), (style), (bkgnd)); \
    return info;                                                                        \
  }

#define DECLARE_WND_CLASS(WndClassName) \
  DECLARE_WND_CLASS_EX(WndClassName, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, COLOR_WINDOW)

#define DECLARE_FRAME_WND_CLASS(WndClassName, uCommonResourceID)                           \
  static CWndClassInfo& GetWndClassInfo() {                                                \
    static CWndClassInfo info = CWndClassInfo::Frame((WndClassName), (uCommonResourceID)); \
    return info;                                                                           \
  }

#define DECLARE_WND_SUPERCLASS(WndClassName, OrigWndClassName)                                 \
  static CWndClassInfo& GetWndClassInfo() {                                                    \
    static CWndClassInfo info = CWndClassInfo::Superclass((WndClassName), (OrigWndClassName)); \
    return info;                                                                               \
  }
