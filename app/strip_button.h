// The hover buttons of the program's caption strips: a bitmap button whose images come from one
// bitmap resource, a strip of four (normal, pushed, hover, disabled) on the mask colour
// RGB(1, 0, 0).
#pragma once

#include <windows.h>

#include "winlayer/bitmap_button.h"

void CreateStripButton(CBitmapButton& button, HWND parent, int id, UINT bitmap, int imageWidth,
                       LPCWSTR tip, COLORREF background, const RECT& rect, DWORD style);
