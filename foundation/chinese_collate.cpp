#include "foundation/chinese_collate.h"

#include <windows.h>

#include <algorithm>

#include "foundation/pinyin_table.h"

namespace chinese_collation {

namespace {

constexpr UINT kGbkCodePage = 936;

// The order of two different characters.
bool CharLess(wchar_t a, wchar_t b) {
  if (IsLatinChar(a) && a < b) return true;
  if (IsLatinChar(b) && b < a) return false;
  bool a_cjk = IsCjkChar(a);
  bool b_cjk = IsCjkChar(b);
  if (!a_cjk || !b_cjk) {
    if (a_cjk) return true;
    if (b_cjk) return false;
    return a < b;
  }
  int va = ChineseOrderValue(a);
  int vb = ChineseOrderValue(b);
  if (va == vb) return a < b;  // the same syllable, or neither has a reading
  if (va != 0 && vb != 0) return va < vb;
  return va != 0;  // a character with a known reading goes first
}

}  // namespace

bool IsLatinChar(wchar_t c) {
  return c < 256;
}

bool IsCjkChar(wchar_t c) {
  return c >= 0x4E00 && c <= 0x9FC0;
}

int ChineseOrderValue(wchar_t c) {
  if (IsLatinChar(c)) return 0;
  char gbk[2];
  int length = WideCharToMultiByte(kGbkCodePage, 0, &c, 1, gbk, sizeof(gbk), nullptr, nullptr);
  if (length != 2) return 0;  // one byte: no GBK code (the default character) or a single-byte one
  unsigned lead = static_cast<unsigned char>(gbk[0]);
  unsigned trail = static_cast<unsigned char>(gbk[1]);
  if (lead < 0x81 || lead > 0xFE || trail < 0x40 || trail > 0xFE) return 0;
  return PinyinOrderTable[(lead - 0x81) * 191 + (trail - 0x40)];
}

}  // namespace chinese_collation

bool CompareChineseLess(const CString& a, const CString& b) {
  int n = std::min(a.GetLength(), b.GetLength());
  for (int i = 0; i < n; ++i) {
    if (a[i] != b[i]) return chinese_collation::CharLess(a[i], b[i]);
  }
  return a.GetLength() < b.GetLength();
}

bool CompareChineseGreater(const CString& a, const CString& b) {
  return CompareChineseLess(b, a);
}
