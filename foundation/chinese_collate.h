// Ordering of wide text the way a Chinese reader expects: Latin characters first (by code),
// then Chinese characters by their pinyin reading, then everything else by code. A strict weak
// order, fit for std::sort and ordered containers.
#pragma once

#include "winlayer/cstring.h"

bool CompareChineseLess(const CString& a, const CString& b);
// CompareChineseLess(b, a).
bool CompareChineseGreater(const CString& a, const CString& b);

// The character classes of this ordering (other parts of the program have their own notion of
// a CJK character, hence the namespace).
namespace chinese_collation {

// Below 256.
bool IsLatinChar(wchar_t c);
// U+4E00 to U+9FC0.
bool IsCjkChar(wchar_t c);
// The pinyin order (1 = a ... 408 = zuo) of the character's GBK code; 0 for characters below
// 256, characters without a two-byte GBK code, and codes without a reading.
int ChineseOrderValue(wchar_t c);

}  // namespace chinese_collation
