#include "support/screenshot.h"

#include <objidl.h>
#include <gdiplus.h>

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

bool SaveWindowPng(HWND window, const std::wstring& path) {
  CRect rect;
  if (!::GetWindowRect(window, &rect) || rect.IsRectEmpty() || !EnsureGdiplusStarted())
    return false;
  // The window's own DC reads what the window shows even where others cover it.
  CWindowDC source(window);
  CDC copy;
  CBitmap bitmap;
  if (!source.m_hDC || !copy.CreateCompatibleDC(source) ||
      !bitmap.CreateCompatibleBitmap(source, rect.Width(), rect.Height())) {
    return false;
  }
  HBITMAP old = copy.SelectBitmap(bitmap);
  bool copied = copy.BitBlt(0, 0, rect.Width(), rect.Height(), source, 0, 0, SRCCOPY) != FALSE;
  copy.SelectBitmap(old);
  if (!copied) return false;

  CLSID png;
  if (!FindImageEncoder(L"image/png", &png)) return false;
  MakeFolderOf(path);
  Gdiplus::Bitmap picture(bitmap, nullptr);
  return picture.GetLastStatus() == Gdiplus::Ok &&
         picture.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

}  // namespace testsupport
