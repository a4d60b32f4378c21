// Fonts, brushes, pens, bitmaps and regions.
//
// Each comes in two forms chosen by a template flag: the managed form (CFont, CBrush, CPen,
// CBitmap, CRgn) owns its handle, deletes it when it goes and when another handle is attached,
// and cannot be copied; the handle form (CFontHandle, ...) only borrows a handle and copies
// freely. The Create... members of a managed object replace the handle it held.
#pragma once

#include <windows.h>
// windowsx.h defines CopyRgn as a macro, which would rewrite the member below. Including it
// here first, then dropping the macro, keeps later includes of it from doing so.
#include <windowsx.h>
#undef CopyRgn

#include "winlayer/gdi_ownership.h"

namespace winlayer_detail {

// Base of the GDI object wrappers: the handle is freed with DeleteObject.
template <class T, class THandle, bool t_bManaged>
class GdiObjectBase : public HandleWrapper<T, THandle, t_bManaged> {
 public:
  // Deletes the object, whichever the form; FALSE when there was none.
  BOOL DeleteObject() { return this->FreeHeld(); }
  static BOOL Free(THandle handle) { return ::DeleteObject(handle); }

 protected:
  int GetObjectInfo(int size, void* info) const {
    return ::GetObjectW(static_cast<THandle>(*this), size, info);
  }
};

}  // namespace winlayer_detail

template <bool t_bManaged>
class CFontT : public winlayer_detail::GdiObjectBase<CFontT<t_bManaged>, HFONT, t_bManaged> {
 public:
  HFONT m_hFont;

  CFontT(HFONT font = nullptr) : m_hFont(font) {}  // NOLINT: implicit, as the handle form is used
  ~CFontT() { this->ReleaseOwned(); }
  CFontT& operator=(HFONT font) {
    this->Attach(font);
    return *this;
  }

  HFONT CreateFontIndirect(const LOGFONTW* logFont) {
    return this->Keep(::CreateFontIndirectW(logFont));
  }
  HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                   BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision,
                   BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily, LPCWSTR faceName) {
    return this->Keep(::CreateFontW(height, width, escapement, orientation, weight, italic,
                                    underline, strikeOut, charSet, outPrecision, clipPrecision,
                                    quality, pitchAndFamily, faceName));
  }
  // pointSize is in tenths of a point, converted for the DC's vertical resolution (the screen
  // when dc is null).
  HFONT CreatePointFont(int pointSize, LPCWSTR faceName, HDC dc = nullptr, bool bold = false,
                        bool italic = false) {
    LOGFONTW logFont = {};
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfHeight = pointSize;
    logFont.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    logFont.lfItalic = static_cast<BYTE>(italic);
    lstrcpynW(logFont.lfFaceName, faceName, LF_FACESIZE);
    return CreatePointFontIndirect(&logFont, dc);
  }
  // As above, with lfHeight of the LOGFONT in tenths of a point.
  HFONT CreatePointFontIndirect(const LOGFONTW* logFont, HDC dc = nullptr) {
    HDC screen = dc ? nullptr : ::GetDC(nullptr);
    HDC target = dc ? dc : screen;
    LOGFONTW scaled = *logFont;
    scaled.lfHeight = -::MulDiv(logFont->lfHeight, ::GetDeviceCaps(target, LOGPIXELSY), 720);
    if (screen) ::ReleaseDC(nullptr, screen);
    return CreateFontIndirect(&scaled);
  }
  bool GetLogFont(LOGFONTW* logFont) const {
    return this->GetObjectInfo(sizeof(LOGFONTW), logFont) == sizeof(LOGFONTW);
  }
  bool GetLogFont(LOGFONTW& logFont) const { return GetLogFont(&logFont); }

 private:
  friend class winlayer_detail::HandleWrapper<CFontT, HFONT, t_bManaged>;
  static HFONT& Slot(CFontT& object) { return object.m_hFont; }
};
using CFont = CFontT<true>;
using CFontHandle = CFontT<false>;

template <bool t_bManaged>
class CBrushT : public winlayer_detail::GdiObjectBase<CBrushT<t_bManaged>, HBRUSH, t_bManaged> {
 public:
  HBRUSH m_hBrush;

  CBrushT(HBRUSH brush = nullptr) : m_hBrush(brush) {}  // NOLINT: implicit, see CFontT
  ~CBrushT() { this->ReleaseOwned(); }
  CBrushT& operator=(HBRUSH brush) {
    this->Attach(brush);
    return *this;
  }

  HBRUSH CreateSolidBrush(COLORREF colour) { return this->Keep(::CreateSolidBrush(colour)); }
  HBRUSH CreateHatchBrush(int style, COLORREF colour) {
    return this->Keep(::CreateHatchBrush(style, colour));
  }
  HBRUSH CreatePatternBrush(HBITMAP bitmap) { return this->Keep(::CreatePatternBrush(bitmap)); }
  bool GetLogBrush(LOGBRUSH* logBrush) const {
    return this->GetObjectInfo(sizeof(LOGBRUSH), logBrush) == sizeof(LOGBRUSH);
  }

 private:
  friend class winlayer_detail::HandleWrapper<CBrushT, HBRUSH, t_bManaged>;
  static HBRUSH& Slot(CBrushT& object) { return object.m_hBrush; }
};
using CBrush = CBrushT<true>;
using CBrushHandle = CBrushT<false>;

template <bool t_bManaged>
class CPenT : public winlayer_detail::GdiObjectBase<CPenT<t_bManaged>, HPEN, t_bManaged> {
 public:
  HPEN m_hPen;

  CPenT(HPEN pen = nullptr) : m_hPen(pen) {}  // NOLINT: implicit, see CFontT
  ~CPenT() { this->ReleaseOwned(); }
  CPenT& operator=(HPEN pen) {
    this->Attach(pen);
    return *this;
  }

  HPEN CreatePen(int style, int width, COLORREF colour) {
    return this->Keep(::CreatePen(style, width, colour));
  }
  HPEN CreatePenIndirect(const LOGPEN* logPen) { return this->Keep(::CreatePenIndirect(logPen)); }
  bool GetLogPen(LOGPEN* logPen) const {
    return this->GetObjectInfo(sizeof(LOGPEN), logPen) == sizeof(LOGPEN);
  }

 private:
  friend class winlayer_detail::HandleWrapper<CPenT, HPEN, t_bManaged>;
  static HPEN& Slot(CPenT& object) { return object.m_hPen; }
};
using CPen = CPenT<true>;
using CPenHandle = CPenT<false>;

template <bool t_bManaged>
class CBitmapT : public winlayer_detail::GdiObjectBase<CBitmapT<t_bManaged>, HBITMAP, t_bManaged> {
 public:
  HBITMAP m_hBitmap;

  CBitmapT(HBITMAP bitmap = nullptr) : m_hBitmap(bitmap) {}  // NOLINT: implicit, see CFontT
  ~CBitmapT() { this->ReleaseOwned(); }
  CBitmapT& operator=(HBITMAP bitmap) {
    this->Attach(bitmap);
    return *this;
  }

  // A bitmap resource of the program (the resources live in the executable).
  HBITMAP LoadBitmap(UINT id) { return LoadBitmap(MAKEINTRESOURCEW(id)); }
  HBITMAP LoadBitmap(LPCWSTR name) {
    return this->Keep(::LoadBitmapW(::GetModuleHandleW(nullptr), name));
  }
  HBITMAP LoadOEMBitmap(UINT id) {
    return this->Keep(::LoadBitmapW(nullptr, MAKEINTRESOURCEW(id)));
  }
  HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    return this->Keep(::CreateCompatibleBitmap(dc, width, height));
  }
  HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    return this->Keep(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
  }
  HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                           HANDLE section = nullptr, DWORD offset = 0) {
    return this->Keep(::CreateDIBSection(dc, info, usage, bits, section, offset));
  }
  bool GetBitmap(BITMAP* info) const {
    return this->GetObjectInfo(sizeof(BITMAP), info) == sizeof(BITMAP);
  }
  bool GetBitmap(BITMAP& info) const { return GetBitmap(&info); }
  // The bitmap's size in pixels; false (and size untouched) for a null or invalid handle.
  bool GetSize(SIZE& size) const {
    BITMAP info = {};
    if (!GetBitmap(&info)) return false;
    size.cx = info.bmWidth;
    size.cy = info.bmHeight;
    return true;
  }

 private:
  friend class winlayer_detail::HandleWrapper<CBitmapT, HBITMAP, t_bManaged>;
  static HBITMAP& Slot(CBitmapT& object) { return object.m_hBitmap; }
};
using CBitmap = CBitmapT<true>;
using CBitmapHandle = CBitmapT<false>;

template <bool t_bManaged>
class CRgnT : public winlayer_detail::GdiObjectBase<CRgnT<t_bManaged>, HRGN, t_bManaged> {
 public:
  HRGN m_hRgn;

  CRgnT(HRGN region = nullptr) : m_hRgn(region) {}  // NOLINT: implicit, see CFontT
  ~CRgnT() { this->ReleaseOwned(); }
  CRgnT& operator=(HRGN region) {
    this->Attach(region);
    return *this;
  }

  HRGN CreateRectRgn(int l, int t, int r, int b) { return this->Keep(::CreateRectRgn(l, t, r, b)); }
  HRGN CreateRectRgnIndirect(const RECT* rect) { return this->Keep(::CreateRectRgnIndirect(rect)); }
  HRGN CreateRoundRectRgn(int l, int t, int r, int b, int cornerWidth, int cornerHeight) {
    return this->Keep(::CreateRoundRectRgn(l, t, r, b, cornerWidth, cornerHeight));
  }
  HRGN CreateEllipticRgn(int l, int t, int r, int b) {
    return this->Keep(::CreateEllipticRgn(l, t, r, b));
  }
  HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode) {
    return this->Keep(::CreatePolygonRgn(points, count, fillMode));
  }
  // This region becomes a combined with b by mode (RGN_AND, RGN_OR, RGN_DIFF, ...); it must
  // exist already. Returns the region type, ERROR on failure.
  int CombineRgn(HRGN a, HRGN b, int mode) { return ::CombineRgn(m_hRgn, a, b, mode); }
  // Combines this region with another one in place.
  int CombineRgn(HRGN other, int mode) { return ::CombineRgn(m_hRgn, m_hRgn, other, mode); }
  int CopyRgn(HRGN source) { return ::CombineRgn(m_hRgn, source, nullptr, RGN_COPY); }
  bool EqualRgn(HRGN other) const { return ::EqualRgn(m_hRgn, other) != FALSE; }
  int OffsetRgn(int dx, int dy) { return ::OffsetRgn(m_hRgn, dx, dy); }
  int GetRgnBox(RECT* box) const { return ::GetRgnBox(m_hRgn, box); }
  bool PtInRegion(int x, int y) const { return ::PtInRegion(m_hRgn, x, y) != FALSE; }
  bool RectInRegion(const RECT* rect) const { return ::RectInRegion(m_hRgn, rect) != FALSE; }
  bool SetRectRgn(int l, int t, int r, int b) { return ::SetRectRgn(m_hRgn, l, t, r, b) != FALSE; }

 private:
  friend class winlayer_detail::HandleWrapper<CRgnT, HRGN, t_bManaged>;
  static HRGN& Slot(CRgnT& object) { return object.m_hRgn; }
};
using CRgn = CRgnT<true>;
using CRgnHandle = CRgnT<false>;
