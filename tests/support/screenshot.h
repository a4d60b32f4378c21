// Pictures of windows for people to look at: a window as it shows on the screen, saved as a
// PNG file (test artefacts, not compared by any test).
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

// Copies what window shows, frame and children included, into a PNG file at path (its folder
// is created). False when the window cannot be read or the file cannot be written.
bool SaveWindowPng(HWND window, const std::wstring& path);

enum class WindowCopy { Saved, OneColour, Failed };
// The same, except that a copy of one colour is not saved (OneColour): nothing of the window was
// read, because another window covered it or it was not on the screen. No window of the program
// is of one colour.
WindowCopy SaveWindowPngUnlessBlank(HWND window, const std::wstring& path);

// The class id of GDI+'s encoder for a MIME type ("image/png"); GDI+ must be running.
bool FindImageEncoder(const wchar_t* mimeType, CLSID* clsid);

}  // namespace testsupport
