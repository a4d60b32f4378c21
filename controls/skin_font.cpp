#include "controls/skin_font.h"

HFONT CreateSkinFont(CFont& font, int height, int weight) {
  // "宋体" has no internal leading, so its cell height is its character height. Asking for the
  // character height keeps that size where a substitute with leading stands in for it (at a
  // cell height of 13 such a font shrinks to glyphs of 11 px and loses strokes).
  return font.CreateFont(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE, L"宋体");
}
