// Device contexts: CDC (owns a memory DC and deletes it), CDCHandle (borrows one), the DCs of a
// window (CPaintDC, CClientDC, CWindowDC) and CMemoryDC, the double buffer of owner-drawn
// windows.
#pragma once

#include <windows.h>
// windowsx.h defines these as macros, which would rewrite the members below. Including it here
// first, then dropping the macros, keeps later includes of it from doing so.
#include <windowsx.h>
#undef SelectFont
#undef SelectPen
#undef SelectBrush
#undef SelectBitmap

#include "winlayer/gdi_objects.h"
#include "winlayer/geometry.h"

template <bool t_bManaged>
class CDCT : public winlayer_detail::HandleWrapper<CDCT<t_bManaged>, HDC, t_bManaged> {
 public:
  HDC m_hDC;

  CDCT(HDC dc = nullptr) : m_hDC(dc) {}  // NOLINT: implicit, as the handle form is used
  ~CDCT() { this->ReleaseOwned(); }
  CDCT& operator=(HDC dc) {
    this->Attach(dc);
    return *this;
  }

  // A memory DC compatible with dc (the screen when null), replacing the DC held.
  HDC CreateCompatibleDC(HDC dc = nullptr) { return this->Keep(::CreateCompatibleDC(dc)); }
  BOOL DeleteDC() { return this->FreeHeld(); }

  int SaveDC() { return ::SaveDC(m_hDC); }
  BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }
  int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

  // Selection: each returns the object it replaced, to be selected back.
  HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
  HFONT SelectFont(HFONT font) { return static_cast<HFONT>(::SelectObject(m_hDC, font)); }
  HPEN SelectPen(HPEN pen) { return static_cast<HPEN>(::SelectObject(m_hDC, pen)); }
  HBRUSH SelectBrush(HBRUSH brush) { return static_cast<HBRUSH>(::SelectObject(m_hDC, brush)); }
  HBITMAP SelectBitmap(HBITMAP bitmap) {
    return static_cast<HBITMAP>(::SelectObject(m_hDC, bitmap));
  }
  HFONT SelectStockFont(int index) {
    return SelectFont(static_cast<HFONT>(::GetStockObject(index)));
  }
  HPEN SelectStockPen(int index) { return SelectPen(static_cast<HPEN>(::GetStockObject(index))); }
  HBRUSH SelectStockBrush(int index) {
    return SelectBrush(static_cast<HBRUSH>(::GetStockObject(index)));
  }
  HFONT GetCurrentFont() const { return static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT)); }

  // Text.
  COLORREF SetTextColor(COLORREF colour) { return ::SetTextColor(m_hDC, colour); }
  COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
  COLORREF SetBkColor(COLORREF colour) { return ::SetBkColor(m_hDC, colour); }
  COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
  int GetBkMode() const { return ::GetBkMode(m_hDC); }
  UINT SetTextAlign(UINT flags) { return ::SetTextAlign(m_hDC, flags); }
  // count -1: up to the terminating NUL. The rectangle is written back with DT_CALCRECT.
  int DrawText(LPCWSTR text, int count, RECT* rect, UINT format) {
    return ::DrawTextW(m_hDC, text, count, rect, format);
  }
  BOOL TextOut(int x, int y, LPCWSTR text, int count = -1) {
    return ::TextOutW(m_hDC, x, y, text, count < 0 ? lstrlenW(text) : count);
  }
  BOOL ExtTextOut(int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count,
                  const int* spacing = nullptr) {
    return ::ExtTextOutW(m_hDC, x, y, options, rect, text, count, spacing);
  }
  BOOL GetTextExtent(LPCWSTR text, int count, SIZE* size) const {
    return ::GetTextExtentPoint32W(m_hDC, text, count < 0 ? lstrlenW(text) : count, size);
  }
  BOOL GetTextMetrics(TEXTMETRICW* metrics) const { return ::GetTextMetricsW(m_hDC, metrics); }

  // Areas.
  BOOL FillRect(const RECT* rect, HBRUSH brush) { return ::FillRect(m_hDC, rect, brush); }
  // A system colour index (COLOR_WINDOW, ...).
  BOOL FillRect(const RECT* rect, int colourIndex) {
    return ::FillRect(m_hDC, rect, ::GetSysColorBrush(colourIndex));
  }
  // Fills without a brush; the DC's background colour is left as it was.
  BOOL FillSolidRect(const RECT* rect, COLORREF colour) {
    COLORREF old = ::SetBkColor(m_hDC, colour);
    BOOL ok = ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
    return ok;
  }
  BOOL FillSolidRect(int x, int y, int width, int height, COLORREF colour) {
    RECT rect = {x, y, x + width, y + height};
    return FillSolidRect(&rect, colour);
  }
  BOOL FrameRect(const RECT* rect, HBRUSH brush) { return ::FrameRect(m_hDC, rect, brush); }
  // A one-pixel frame: top and left edges in one colour, right and bottom in the other.
  void Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight) {
    Draw3dRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, topLeft,
               bottomRight);
  }
  void Draw3dRect(int x, int y, int width, int height, COLORREF topLeft, COLORREF bottomRight) {
    FillSolidRect(x, y, width - 1, 1, topLeft);
    FillSolidRect(x, y, 1, height - 1, topLeft);
    FillSolidRect(x + width - 1, y, 1, height, bottomRight);
    FillSolidRect(x, y + height - 1, width, 1, bottomRight);
  }
  BOOL DrawFocusRect(const RECT* rect) { return ::DrawFocusRect(m_hDC, rect); }
  BOOL DrawEdge(RECT* rect, UINT edge, UINT flags) { return ::DrawEdge(m_hDC, rect, edge, flags); }
  BOOL FillRgn(HRGN region, HBRUSH brush) { return ::FillRgn(m_hDC, region, brush); }
  BOOL FrameRgn(HRGN region, HBRUSH brush, int width, int height) {
    return ::FrameRgn(m_hDC, region, brush, width, height);
  }
  BOOL PatBlt(int x, int y, int width, int height, DWORD rop) {
    return ::PatBlt(m_hDC, x, y, width, height, rop);
  }
  COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
  COLORREF SetPixel(int x, int y, COLORREF colour) { return ::SetPixel(m_hDC, x, y, colour); }

  // Lines and shapes, with the selected pen (and brush for the shapes).
  BOOL MoveTo(int x, int y, POINT* previous = nullptr) { return ::MoveToEx(m_hDC, x, y, previous); }
  BOOL MoveTo(POINT point, POINT* previous = nullptr) { return MoveTo(point.x, point.y, previous); }
  BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
  BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }
  BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
  BOOL Rectangle(const RECT* rect) {
    return Rectangle(rect->left, rect->top, rect->right, rect->bottom);
  }
  BOOL RoundRect(int l, int t, int r, int b, int cornerWidth, int cornerHeight) {
    return ::RoundRect(m_hDC, l, t, r, b, cornerWidth, cornerHeight);
  }
  BOOL Ellipse(int l, int t, int r, int b) { return ::Ellipse(m_hDC, l, t, r, b); }
  BOOL Polygon(const POINT* points, int count) { return ::Polygon(m_hDC, points, count); }
  BOOL Polyline(const POINT* points, int count) { return ::Polyline(m_hDC, points, count); }

  // Copies between DCs.
  BOOL BitBlt(int x, int y, int width, int height, HDC source, int xSource, int ySource,
              DWORD rop) {
    return ::BitBlt(m_hDC, x, y, width, height, source, xSource, ySource, rop);
  }
  BOOL StretchBlt(int x, int y, int width, int height, HDC source, int xSource, int ySource,
                  int sourceWidth, int sourceHeight, DWORD rop) {
    return ::StretchBlt(m_hDC, x, y, width, height, source, xSource, ySource, sourceWidth,
                        sourceHeight, rop);
  }
  int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
  int GetStretchBltMode() const { return ::GetStretchBltMode(m_hDC); }
  // Source pixels of the transparent colour are left out.
  BOOL TransparentBlt(int x, int y, int width, int height, HDC source, int xSource, int ySource,
                      int sourceWidth, int sourceHeight, UINT transparent) {
    return ::TransparentBlt(m_hDC, x, y, width, height, source, xSource, ySource, sourceWidth,
                            sourceHeight, transparent);
  }
  BOOL AlphaBlend(int x, int y, int width, int height, HDC source, int xSource, int ySource,
                  int sourceWidth, int sourceHeight, BLENDFUNCTION blend) {
    return ::AlphaBlend(m_hDC, x, y, width, height, source, xSource, ySource, sourceWidth,
                        sourceHeight, blend);
  }

  // Clipping and origins.
  int ExcludeClipRect(int l, int t, int r, int b) { return ::ExcludeClipRect(m_hDC, l, t, r, b); }
  int ExcludeClipRect(const RECT* rect) {
    return ExcludeClipRect(rect->left, rect->top, rect->right, rect->bottom);
  }
  int IntersectClipRect(int l, int t, int r, int b) {
    return ::IntersectClipRect(m_hDC, l, t, r, b);
  }
  int IntersectClipRect(const RECT* rect) {
    return IntersectClipRect(rect->left, rect->top, rect->right, rect->bottom);
  }
  // A copy of the region becomes the clip region; null removes clipping.
  int SelectClipRgn(HRGN region) { return ::SelectClipRgn(m_hDC, region); }
  int SelectClipRgn(HRGN region, int mode) { return ::ExtSelectClipRgn(m_hDC, region, mode); }
  int GetClipBox(RECT* box) const { return ::GetClipBox(m_hDC, box); }
  BOOL SetBrushOrg(int x, int y, POINT* previous = nullptr) {
    return ::SetBrushOrgEx(m_hDC, x, y, previous);
  }
  BOOL SetViewportOrg(int x, int y, POINT* previous = nullptr) {
    return ::SetViewportOrgEx(m_hDC, x, y, previous);
  }
  BOOL GetViewportOrg(POINT* origin) const { return ::GetViewportOrgEx(m_hDC, origin); }

 private:
  friend class winlayer_detail::HandleWrapper<CDCT, HDC, t_bManaged>;
  static HDC& Slot(CDCT& object) { return object.m_hDC; }
  static BOOL Free(HDC dc) { return ::DeleteDC(dc); }
};
using CDC = CDCT<true>;
using CDCHandle = CDCT<false>;

// BeginPaint in the constructor, EndPaint in the destructor. m_ps.rcPaint is the area to paint.
class CPaintDC : public CDCHandle {
 public:
  HWND m_hWnd;
  PAINTSTRUCT m_ps;

  explicit CPaintDC(HWND window) : m_hWnd(window), m_ps() { m_hDC = ::BeginPaint(window, &m_ps); }
  ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;
};

// The DC of a window's client area (null window: the screen), released by the destructor.
class CClientDC : public CDCHandle {
 public:
  HWND m_hWnd;

  explicit CClientDC(HWND window) : m_hWnd(window) { m_hDC = ::GetDC(window); }
  ~CClientDC() {
    if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
  }
  CClientDC(const CClientDC&) = delete;
  CClientDC& operator=(const CClientDC&) = delete;
};

// The DC of a whole window, frame included, released by the destructor.
class CWindowDC : public CDCHandle {
 public:
  HWND m_hWnd;

  explicit CWindowDC(HWND window) : m_hWnd(window) { m_hDC = ::GetWindowDC(window); }
  ~CWindowDC() {
    if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
  }
  CWindowDC(const CWindowDC&) = delete;
  CWindowDC& operator=(const CWindowDC&) = delete;
};

// A double buffer over an area of a DC: drawing goes into an off-screen bitmap with the same
// coordinates as the target, and the destructor copies the area to the target in one blit, so
// a window never shows a half-painted state. The buffer starts black, not with the target's
// contents: painters fill it first.
//
// When the buffer cannot be made (an empty area, or no GDI resources left) this DC draws
// straight into the target instead, so the picture still appears, only unbuffered.
class CMemoryDC : public CDC {
 public:
  HDC m_hDCOriginal;
  RECT m_rcPaint;
  CBitmap m_bmp;
  HBITMAP m_hBmpOld;

  CMemoryDC(HDC target, const RECT& area);
  ~CMemoryDC();
  CMemoryDC(const CMemoryDC&) = delete;
  CMemoryDC& operator=(const CMemoryDC&) = delete;

  // False when drawing goes straight to the target.
  bool IsBuffered() const { return m_hBmpOld != nullptr; }
};
