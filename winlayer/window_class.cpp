#include "winlayer/window_class.h"

#include <mutex>

#include "winlayer/app_module.h"
#include "winlayer/window_impl.h"

namespace {

std::mutex& RegistrationLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

CWndClassInfo CWndClassInfo::Plain(LPCWSTR className, UINT style, int backgroundColor) {
  CWndClassInfo info;
  info.m_wc.style = style;
  info.m_wc.lpszClassName = className;
  info.m_wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  info.m_wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(backgroundColor + 1));
  return info;
}

CWndClassInfo CWndClassInfo::Frame(LPCWSTR className, UINT iconId) {
  CWndClassInfo info = Plain(className, 0, COLOR_WINDOW);
  info.m_iconId = iconId;
  return info;
}

CWndClassInfo CWndClassInfo::Superclass(LPCWSTR className, LPCWSTR baseClassName) {
  CWndClassInfo info;
  info.m_wc.lpszClassName = className;
  info.m_baseClassName = baseClassName;
  return info;
}

ATOM CWndClassInfo::Register(WNDPROC* superProc) {
  std::lock_guard<std::mutex> lock(RegistrationLock());
  if (!m_atom) {
    HINSTANCE instance = _Module.GetModuleInstance();
    WNDCLASSEXW wc = m_wc;
    if (m_baseClassName) {
      WNDCLASSEXW base = {};
      base.cbSize = sizeof(base);
      if (!::GetClassInfoExW(nullptr, m_baseClassName, &base) &&
          !::GetClassInfoExW(instance, m_baseClassName, &base)) {
        return 0;
      }
      m_baseProc = base.lpfnWndProc;
      // Keep everything of the base class (its window extra bytes hold the control's state).
      base.lpszClassName = wc.lpszClassName;
      base.lpszMenuName = nullptr;
      base.style &= ~CS_GLOBALCLASS;
      wc = base;
    } else if (m_iconId) {
      wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(m_iconId));
      wc.hIconSm = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(m_iconId), IMAGE_ICON,
                                                   ::GetSystemMetrics(SM_CXSMICON),
                                                   ::GetSystemMetrics(SM_CYSMICON), 0));
    }
    if (!wc.lpszClassName) {
      ::wsprintfW(m_generatedName, L"RevWnd:%lX",
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(this)));
      wc.lpszClassName = m_generatedName;
    }
    wc.cbSize = sizeof(wc);
    wc.hInstance = instance;
    wc.lpfnWndProc = CWindowImplCore::WindowProc;
    m_atom = ::RegisterClassExW(&wc);
    if (m_atom) m_wc = wc;
  }
  *superProc = m_baseProc;
  return m_atom;
}
