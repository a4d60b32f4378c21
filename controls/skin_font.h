// The font of the skinned controls: "宋体" at a cell height in pixels.
#pragma once

#include <windows.h>

#include "winlayer/gdi_objects.h"

// Makes font the controls' font of the given height and weight; null (font left empty) when GDI
// cannot make one.
HFONT CreateSkinFont(CFont& font, int height, int weight = FW_NORMAL);
