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

TEST(ChineseCollate, TableRowsThatFixTheNumbering) {
  EXPECT_EQ(1, TableAt(0xB0A1));    // 啊 a
  EXPECT_EQ(2, TableAt(0xB0AE));    // 爱 ai
  EXPECT_EQ(3, TableAt(0xB0B2));    // 安 an
  EXPECT_EQ(6, TableAt(0xB0CB));    // 八 ba
  EXPECT_EQ(21, TableAt(0xB2BB));   // 不 bu
  EXPECT_EQ(385, TableAt(0xD5C5));  // 张 zhang
  EXPECT_EQ(391, TableAt(0xD6D0));  // 中 zhong
  EXPECT_EQ(408, TableAt(0xD7F3));  // 左 zuo
  EXPECT_EQ(369, TableAt(0x8140));  // 丂, the first extension code: yu
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    EXPECT_EQ(0, TableAt(lead << 8 | 0x7F)) << lead;  // no GBK code has this trail byte
  }
  EXPECT_EQ(0, TableAt(0xA1A1));  // the ideographic space is no character with a reading
  for (int v : PinyinOrderTable) ASSERT_TRUE(v >= 0 && v <= 408);
}

TEST(ChineseCollate, OrderValueGoesThroughTheSystemsGbkCodes) {
  EXPECT_EQ(1, ChineseOrderValue(L'啊'));
  EXPECT_EQ(6, ChineseOrderValue(L'八'));
  EXPECT_EQ(391, ChineseOrderValue(L'中'));
  EXPECT_EQ(408, ChineseOrderValue(L'左'));
  EXPECT_EQ(369, ChineseOrderValue(L'丂'));
  EXPECT_EQ(0, ChineseOrderValue(L'a'));
  EXPECT_EQ(0, ChineseOrderValue(0xE9));    // below 256
  EXPECT_EQ(0, ChineseOrderValue(0xAC00));  // Hangul: no GBK code
  EXPECT_EQ(0, ChineseOrderValue(0xD800));  // a lone surrogate

  // The table was built with another GBK mapping than the system's: nearly every character of
  // the unified block must find its reading through WideCharToMultiByte(936).
  int without = 0;
  for (wchar_t c = 0x4E00; c <= 0x9FA5; ++c) without += ChineseOrderValue(c) == 0;
  EXPECT_LT(without, 20);
}

TEST(ChineseCollate, OrderingRules) {
  EXPECT_TRUE(CompareChineseLess(L"zebra", L"啊"));  // Latin before Chinese
  EXPECT_TRUE(CompareChineseLess(L"Z", L"a"));       // Latin by code
  EXPECT_TRUE(CompareChineseLess(L"\xFF", L"\x100"));
  EXPECT_TRUE(CompareChineseLess(L"啊", L"八"));  // a before ba, although 啊 is U+554A > U+516B
  EXPECT_FALSE(CompareChineseLess(L"八", L"啊"));
  EXPECT_TRUE(CompareChineseLess(L"啊", L"\xAC00"));      // CJK before other characters
  EXPECT_TRUE(CompareChineseLess(L"\x0100", L"\xAC00"));  // others by code
  EXPECT_TRUE(CompareChineseLess(L"张三", L"中国"));      // zhang before zhong
  EXPECT_TRUE(CompareChineseLess(L"ab", L"abc"));
  EXPECT_FALSE(CompareChineseLess(L"abc", L"ab"));
  EXPECT_FALSE(CompareChineseLess(L"中文", L"中文"));
  EXPECT_FALSE(CompareChineseGreater(L"中文", L"中文"));
  EXPECT_TRUE(CompareChineseGreater(L"八", L"啊"));
  EXPECT_FALSE(CompareChineseLess(L"", L""));
  EXPECT_TRUE(CompareChineseLess(L"", L"a"));

  // Same syllable: by code. 张 and 章 are both zhang.
  ASSERT_EQ(ChineseOrderValue(L'张'), ChineseOrderValue(L'章'));
  EXPECT_EQ(L'张' < L'章', CompareChineseLess(L"张", L"章"));

  // A CJK character with a reading before one without (U+9FB0 has no GBK code).
  EXPECT_TRUE(CompareChineseLess(L"左", L"\x9FB0"));
  EXPECT_FALSE(CompareChineseLess(L"\x9FB0", L"左"));
  EXPECT_TRUE(CompareChineseLess(L"\x9FB0", L"\x9FB1"));  // neither: by code
  EXPECT_TRUE(CompareChineseLess(L"\x9FC0", L"\x9FC1"));  // the last CJK one before the others
  EXPECT_FALSE(CompareChineseLess(L"\x9FC1", L"\x9FC0"));
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

  std::vector<CString> many;
  for (int i = 0; i < 2000; ++i) many.push_back(make());
  std::sort(many.begin(), many.end(), CompareChineseLess);
  for (size_t i = 1; i < many.size(); ++i) {
    ASSERT_FALSE(CompareChineseLess(many[i], many[i - 1])) << i;
  }
}
