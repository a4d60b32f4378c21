// The font of the skinned controls: "宋体" at a character height in pixels.
#pragma once

#include <windows.h>

#include "winlayer/gdi_objects.h"

// Makes font the controls' font of the given height, weight, character set, pitch and family,
// and quality; null (font left empty) when GDI cannot make one.
HFONT CreateSkinFont(CFont& font, int height, int weight = FW_NORMAL,
                     BYTE charSet = DEFAULT_CHARSET,
                     BYTE pitchAndFamily = DEFAULT_PITCH | FF_DONTCARE,
                     BYTE quality = DEFAULT_QUALITY);
