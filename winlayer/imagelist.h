// Image lists. As in the familiar library, CImageList only borrows its list: whoever made it
// calls Destroy (a list handed to a control is often destroyed by the control's owner later).
// CImageListManaged owns its list and destroys it when it goes.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "winlayer/gdi_ownership.h"

template <bool t_bManaged>
class CImageListT
    : public winlayer_detail::HandleWrapper<CImageListT<t_bManaged>, HIMAGELIST, t_bManaged> {
 public:
  HIMAGELIST m_hImageList;

  CImageListT(HIMAGELIST list = nullptr) : m_hImageList(list) {}  // NOLINT: implicit handle form
  ~CImageListT() { this->ReleaseOwned(); }
  CImageListT& operator=(HIMAGELIST list) {
    this->Attach(list);
    return *this;
  }

  // Creation replaces the list held; each returns whether it worked.
  BOOL Create(int cx, int cy, UINT flags, int initial, int grow) {
    return this->Keep(::ImageList_Create(cx, cy, flags, initial, grow)) != nullptr;
  }
  // From a bitmap resource of the program cut into images cx wide; pixels of the mask colour
  // become transparent (CLR_NONE: no mask).
  BOOL Create(UINT bitmapId, int cx, int grow, COLORREF mask) {
    return CreateFromImage(MAKEINTRESOURCEW(bitmapId), cx, grow, mask, IMAGE_BITMAP,
                           LR_DEFAULTCOLOR);
  }
  // As above with the LoadImage type and flags given (LR_CREATEDIBSECTION keeps full colour).
  BOOL CreateFromImage(LPCWSTR name, int cx, int grow, COLORREF mask, UINT type,
                       UINT flags = LR_DEFAULTCOLOR | LR_DEFAULTSIZE) {
    HINSTANCE module = ::GetModuleHandleW(nullptr);
    return this->Keep(::ImageList_LoadImageW(module, name, cx, grow, mask, type, flags)) != nullptr;
  }
  BOOL CreateFromImage(UINT id, int cx, int grow, COLORREF mask, UINT type,
                       UINT flags = LR_DEFAULTCOLOR | LR_DEFAULTSIZE) {
    return CreateFromImage(MAKEINTRESOURCEW(id), cx, grow, mask, type, flags);
  }
  // Destroys the list, whichever the form (it is how borrowed lists are freed on purpose).
  BOOL Destroy() { return this->FreeHeld(); }

  // Each Add returns the index of the first image added, -1 on failure. The bitmap is copied;
  // the caller keeps it. A bitmap wider than one image adds several.
  int Add(HBITMAP bitmap, HBITMAP mask = nullptr) {
    return ::ImageList_Add(m_hImageList, bitmap, mask);
  }
  int Add(HBITMAP bitmap, COLORREF mask) {
    return ::ImageList_AddMasked(m_hImageList, bitmap, mask);
  }
  int AddIcon(HICON icon) { return ::ImageList_ReplaceIcon(m_hImageList, -1, icon); }
  BOOL Remove(int image) { return ::ImageList_Remove(m_hImageList, image); }
  BOOL RemoveAll() { return ::ImageList_RemoveAll(m_hImageList); }

  int GetImageCount() const { return ::ImageList_GetImageCount(m_hImageList); }
  BOOL GetIconSize(int& cx, int& cy) const {
    return ::ImageList_GetIconSize(m_hImageList, &cx, &cy);
  }
  BOOL GetIconSize(SIZE& size) const {
    int cx = 0, cy = 0;
    BOOL ok = GetIconSize(cx, cy);
    size.cx = cx;
    size.cy = cy;
    return ok;
  }
  BOOL GetImageInfo(int image, IMAGEINFO* info) const {
    return ::ImageList_GetImageInfo(m_hImageList, image, info);
  }
  COLORREF SetBkColor(COLORREF colour) { return ::ImageList_SetBkColor(m_hImageList, colour); }
  COLORREF GetBkColor() const { return ::ImageList_GetBkColor(m_hImageList); }

  // style: ILD_NORMAL, ILD_TRANSPARENT, ILD_BLEND50, ...
  BOOL Draw(HDC dc, int image, int x, int y, UINT style) const {
    return ::ImageList_Draw(m_hImageList, image, dc, x, y, style);
  }
  BOOL Draw(HDC dc, int image, POINT point, UINT style) const {
    return Draw(dc, image, point.x, point.y, style);
  }
  // dx, dy 0: the image's own size. With ILD_BLEND50, fg is the colour blended in
  // (CLR_DEFAULT: the system highlight colour).
  BOOL DrawEx(int image, HDC dc, int x, int y, int dx, int dy, COLORREF bk, COLORREF fg,
              UINT style) const {
    return ::ImageList_DrawEx(m_hImageList, image, dc, x, y, dx, dy, bk, fg, style);
  }
  BOOL DrawEx(int image, HDC dc, const RECT& rect, COLORREF bk, COLORREF fg, UINT style) const {
    return DrawEx(image, dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                  bk, fg, style);
  }

 private:
  friend class winlayer_detail::HandleWrapper<CImageListT, HIMAGELIST, t_bManaged>;
  static HIMAGELIST& Slot(CImageListT& object) { return object.m_hImageList; }
  static BOOL Free(HIMAGELIST list) { return ::ImageList_Destroy(list); }
};
using CImageList = CImageListT<false>;
using CImageListManaged = CImageListT<true>;
