#include "winlayer/ax_host.h"

#include <mutex>

namespace ax_host {
namespace {

using AxWinInitFn = BOOL(WINAPI*)();
using AxCreateDialogFn = HWND(WINAPI*)(HINSTANCE, LPCWSTR, HWND, DLGPROC, LPARAM);
using AxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);

struct Host {
  bool ready = false;
  DWORD error = ERROR_SUCCESS;
  AxCreateDialogFn createDialog = nullptr;
  AxGetControlFn getControl = nullptr;
};

template <class Fn>
Fn Function(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

const Host& TheHost() {
  static Host host;
  static std::once_flag once;
  std::call_once(once, [] {
    HMODULE module = ::LoadLibraryW(L"atl.dll");
    if (!module) {
      host.error = ::GetLastError();
      return;
    }
    auto init = Function<AxWinInitFn>(module, "AtlAxWinInit");
    host.createDialog = Function<AxCreateDialogFn>(module, "AtlAxCreateDialogW");
    host.getControl = Function<AxGetControlFn>(module, "AtlAxGetControl");
    if (!init || !host.createDialog || !host.getControl) {
      host.error = ERROR_PROC_NOT_FOUND;
    } else if (!init()) {
      host.error = ERROR_CLASS_DOES_NOT_EXIST;
    } else {
      host.ready = true;
    }
  });
  return host;
}

}  // namespace

bool Init() {
  const Host& host = TheHost();
  if (!host.ready) ::SetLastError(host.error);
  return host.ready;
}

HWND CreateAxDialog(HINSTANCE instance, LPCWSTR templateName, HWND hWndParent, DLGPROC proc,
                    LPARAM initParam) {
  if (!Init()) return nullptr;
  return TheHost().createDialog(instance, templateName, hWndParent, proc, initParam);
}

HRESULT GetAxControl(HWND host, IUnknown** control) {
  if (!control) return E_POINTER;
  *control = nullptr;
  if (!Init()) return HRESULT_FROM_WIN32(::GetLastError());
  return TheHost().getControl(host, control);
}

}  // namespace ax_host
