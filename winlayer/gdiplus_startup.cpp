#include "winlayer/gdiplus_startup.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

bool EnsureGdiplusStarted() {
  // The flag is trivially destructible, so no exit-time destructor touches GDI+ either.
  static const bool ready = [] {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  }();
  return ready;
}
