#include "support/screenshot.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <vector>

#include "winlayer/gdi_dc.h"
#include "winlayer/gdiplus_startup.h"
#include "winlayer/geometry.h"

namespace testsupport {

namespace {

void MakeFolderOf(const std::wstring& path) {
  for (size_t slash = path.find_first_of(L"\\/"); slash != std::wstring::npos;
       slash = path.find_first_of(L"\\/", slash + 1)) {
    ::CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
  }
}

// True when every pixel of bitmap (made compatible with dc) has the same colour.
bool IsOneColour(HDC dc, HBITMAP bitmap, int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
  if (::GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS) != height) {
    return false;
  }
  return std::all_of(pixels.begin(), pixels.end(),
                     [&](DWORD pixel) { return (pixel & 0xFFFFFF) == (pixels[0] & 0xFFFFFF); });
}

WindowCopy SaveWindowCopy(HWND window, const std::wstring& path, bool refuseOneColour) {
  CRect rect;
  if (!::GetWindowRect(window, &rect) || rect.IsRectEmpty() || !EnsureGdiplusStarted())
    return WindowCopy::Failed;
  // The window's own DC reads what the window shows; where another window covers it, Wine
  // copies nothing of it (the copy stays black there).
  CWindowDC source(window);
  CDC copy;
  CBitmap bitmap;
  if (!source.m_hDC || !copy.CreateCompatibleDC(source) ||
      !bitmap.CreateCompatibleBitmap(source, rect.Width(), rect.Height())) {
    return WindowCopy::Failed;
  }
  HBITMAP old = copy.SelectBitmap(bitmap);
  bool copied = copy.BitBlt(0, 0, rect.Width(), rect.Height(), source, 0, 0, SRCCOPY) != FALSE;
  copy.SelectBitmap(old);
  if (!copied) return WindowCopy::Failed;
  if (refuseOneColour && IsOneColour(copy, bitmap, rect.Width(), rect.Height())) {
    return WindowCopy::OneColour;
  }

  CLSID png;
  if (!FindImageEncoder(L"image/png", &png)) return WindowCopy::Failed;
  MakeFolderOf(path);
  Gdiplus::Bitmap picture(bitmap, nullptr);
  bool saved = picture.GetLastStatus() == Gdiplus::Ok &&
               picture.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
  return saved ? WindowCopy::Saved : WindowCopy::Failed;
}

}  // namespace

bool FindImageEncoder(const wchar_t* mimeType, CLSID* clsid) {
  UINT count = 0, size = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
  std::vector<BYTE> buffer(size);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (lstrcmpiW(encoders[i].MimeType, mimeType) == 0) {
      *clsid = encoders[i].Clsid;
      return true;
    }
  }
  return false;
}

WindowCopy SaveWindowPngUnlessBlank(HWND window, const std::wstring& path) {
  return SaveWindowCopy(window, path, true);
}

bool SaveWindowPng(HWND window, const std::wstring& path) {
  return SaveWindowCopy(window, path, false) == WindowCopy::Saved;
}

}  // namespace testsupport
