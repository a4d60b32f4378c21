// The system's ActiveX control host, atl.dll (on every Windows since XP, and in Wine): dialogs
// whose templates name an ActiveX control by its CLSID get "AtlAxWin" host windows, and a host
// window gives its control's IUnknown.
//
// mingw has no import library for atl.dll: the three functions are looked up at run time, once
// per process. The library stays loaded for the life of the process, as its window class must
// outlive every host window.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace ax_host {

// Loads atl.dll and registers its host window class. False (with the reason in the last error)
// when the host is not available.
bool Init();

// CreateDialogParam for a template with ActiveX controls (AtlAxCreateDialogW).
HWND CreateAxDialog(HINSTANCE instance, LPCWSTR templateName, HWND hWndParent, DLGPROC proc,
                    LPARAM initParam);

// The control hosted by an "AtlAxWin" window, with a reference for the caller.
HRESULT GetAxControl(HWND host, IUnknown** control);

}  // namespace ax_host
