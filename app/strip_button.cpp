#include "app/strip_button.h"

#include "winlayer/imagelist.h"

void CreateStripButton(CBitmapButton& button, HWND parent, int id, UINT bitmap, int imageWidth,
                       LPCWSTR tip, COLORREF background, const RECT& rect, DWORD style) {
  CImageList images;
  images.CreateFromImage(bitmap, imageWidth, 0, RGB(1, 0, 0), IMAGE_BITMAP, LR_CREATEDIBSECTION);
  button.SetBitmapButtonExtendedStyle(BMPBTN_HOVER);
  button.SetImageList(images);
  button.SetImages(0, 1, 2, 3);
  button.SetBkColor(background);
  button.SetToolTipText(tip);
  button.Create(parent, rect, nullptr, style, 0, id);
}
