// Chinese collation: the pinyin table's fixed rows, the ordering rules, and the strict weak
// order that std::sort relies on.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "foundation/chinese_collate.h"
#include "foundation/pinyin_table.h"
#include "support/gtest_cstring.h"

using namespace chinese_collation;

namespace {

int TableAt(unsigned code) {
  return PinyinOrderTable[((code >> 8) - 0x81) * 191 + ((code & 0xFF) - 0x40)];
}

}  // namespace

TEST(ChineseCollate, TableRowsAndTheSystemsGbkCodes) {
  // Each row: a character, its GBK code, its syllable's number.
  const struct {
    wchar_t c;
    unsigned gbk;
    int value;
  } rows[] = {{L'啊', 0xB0A1, 1},   {L'爱', 0xB0AE, 2},   {L'八', 0xB0CB, 6},
              {L'不', 0xB2BB, 21},  {L'张', 0xD5C5, 385}, {L'中', 0xD6D0, 391},
              {L'左', 0xD7F3, 408}, {L'丂', 0x8140, 369}};  // 丂: the first extension code, yu
  for (const auto& r : rows) {
    EXPECT_EQ(r.value, TableAt(r.gbk)) << r.gbk;
    EXPECT_EQ(r.value, ChineseOrderValue(r.c)) << r.gbk;
  }
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    EXPECT_EQ(0, TableAt(lead << 8 | 0x7F)) << lead;  // no GBK code has this trail byte
  }
  EXPECT_EQ(0, TableAt(0xA1A1));  // the ideographic space is no character with a reading
  for (int v : PinyinOrderTable) ASSERT_TRUE(v >= 0 && v <= 408);
  // Below 256, Hangul (no GBK code), a lone surrogate.
  for (wchar_t c : {L'a', wchar_t(0xE9), wchar_t(0xAC00), wchar_t(0xD800)}) {
    EXPECT_EQ(0, ChineseOrderValue(c)) << int(c);
  }

  // The table was built with another GBK mapping than the system's: nearly every character of
  // the unified block must find its reading through WideCharToMultiByte(936).
  int without = 0;
  for (wchar_t c = 0x4E00; c <= 0x9FA5; ++c) without += ChineseOrderValue(c) == 0;
  EXPECT_LT(without, 20);
}

TEST(ChineseCollate, OrderingRules) {
  // Each pair is strictly ordered: first before second.
  const std::pair<const wchar_t*, const wchar_t*> ordered[] = {
      {L"zebra", L"啊"},                       // Latin before Chinese
      {L"Z", L"a"},                            // Latin by code
      {L"\xFF", L"\x100"},    {L"啊", L"八"},  // a before ba, although 啊 is U+554A > U+516B
      {L"啊", L"\xAC00"},                      // CJK before other characters
      {L"\x0100", L"\xAC00"},                  // others by code
      {L"张三", L"中国"},                      // zhang before zhong
      {L"ab", L"abc"},        {L"", L"a"},
      {L"左", L"\x9FB0"},      // a CJK character with a reading before one without
      {L"\x9FB0", L"\x9FB1"},  // neither: by code
      {L"\x9FC0", L"\x9FC1"},  // the last CJK one before the others
  };
  for (const auto& p : ordered) {
    EXPECT_TRUE(CompareChineseLess(p.first, p.second)) << p.first << " < " << p.second;
    EXPECT_FALSE(CompareChineseLess(p.second, p.first)) << p.first << " < " << p.second;
    EXPECT_TRUE(CompareChineseGreater(p.second, p.first));
  }
  EXPECT_FALSE(CompareChineseLess(L"中文", L"中文"));
  EXPECT_FALSE(CompareChineseGreater(L"中文", L"中文"));

  // Same syllable: by code. 张 and 章 are both zhang.
  ASSERT_EQ(ChineseOrderValue(L'张'), ChineseOrderValue(L'章'));
  EXPECT_EQ(L'张' < L'章', CompareChineseLess(L"张", L"章"));
}

TEST(ChineseCollate, StrictWeakOrderOnRandomSamples) {
  // Short strings over an alphabet that mixes every class, so that prefixes are shared often.
  const wchar_t alphabet[] = {L'a',  L'B',  L'z',   0xE9,   L'啊',  L'八',  L'中', L'张',
                              L'章', L'丂', 0x9FB0, 0x9FB1, 0xAC00, 0x3042, 0x0100};
  std::mt19937 random(20240601);
  auto make = [&] {
    CString s;
    int length = static_cast<int>(random() % 4);
    for (int i = 0; i < length; ++i) s += alphabet[random() % (sizeof(alphabet) / sizeof(wchar_t))];
    return s;
  };

  std::vector<CString> small;
  for (int i = 0; i < 60; ++i) small.push_back(make());
  for (const CString& a : small) {
    EXPECT_FALSE(CompareChineseLess(a, a));
    for (const CString& b : small) {
      bool ab = CompareChineseLess(a, b);
      bool ba = CompareChineseLess(b, a);
      EXPECT_FALSE(ab && ba);
      // Different strings always compare: incomparable means equal.
      EXPECT_EQ(a == b, !ab && !ba);
      for (const CString& c : small) {
        if (ab && CompareChineseLess(b, c)) {
          EXPECT_TRUE(CompareChineseLess(a, c));
        }
      }
    }
  }
}
