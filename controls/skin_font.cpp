#include "controls/skin_font.h"

HFONT CreateSkinFont(CFont& font, int height, int weight, BYTE charSet, BYTE pitchAndFamily,
                     BYTE quality) {
  // "宋体" has no internal leading, so its cell height is its character height. Asking for the
  // character height keeps that size where a substitute with leading stands in for it (at a
  // cell height of 13 such a font shrinks to glyphs of 11 px and loses strokes).
  return font.CreateFont(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, charSet, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, quality, pitchAndFamily, L"宋体");
}
