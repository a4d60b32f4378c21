// Conversions between UTF-8, UTF-16 and the ANSI code page (936 in the test environment).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "foundation/str_convert.h"
#include "foundation/text_convert.h"
#include "support/gtest_cstring.h"

using namespace em_utility;

namespace {

const char kUtf8Chinese[] = "\xE4\xB8\xAD\xE6\x96\x87 ok";  // 中文 ok
const char kGbkChinese[] = "\xD6\xD0\xCE\xC4 ok";

}  // namespace

TEST(TextConvert, Utf8AndWideBothWaysEmbeddedZerosIncluded) {
  EXPECT_EQ(L"中文 ok", utf8_to_wide(kUtf8Chinese));
  EXPECT_EQ(kUtf8Chinese, wide_to_utf8(L"中文 ok"));
  // A character beyond the basic plane: four UTF-8 bytes, a surrogate pair in UTF-16.
  const char emoji[] = "a\xF0\x9F\x98\x80z";
  CString wide = utf8_to_wide(emoji);
  EXPECT_EQ(L"a\xD83D\xDE00z", wide);
  EXPECT_EQ(emoji, wide_to_utf8(wide.GetString()));
  std::string zero("a\0b", 3);
  wide = utf8_to_wide(zero);
  EXPECT_EQ(std::wstring(L"a\0b", 3), std::wstring(wide.GetString(), wide.GetLength()));
  EXPECT_EQ(zero, wide_to_utf8(std::wstring(L"a\0b", 3)));
}

TEST(TextConvert, NullAndEmptyGiveEmpty) {
  EXPECT_TRUE(utf8_to_wide(static_cast<const char*>(nullptr)).IsEmpty());
  EXPECT_TRUE(utf8_to_wide(std::string()).IsEmpty());
  EXPECT_EQ("", wide_to_utf8(static_cast<const wchar_t*>(nullptr)));
  EXPECT_EQ("", wide_to_ansi(static_cast<const wchar_t*>(nullptr)));
  EXPECT_TRUE(ansi_to_wide(static_cast<const char*>(nullptr)).IsEmpty());
  EXPECT_EQ("", CStringToAnsi(CString()));
}

TEST(TextConvert, AnsiIsCodePage936) {
  ASSERT_EQ(936u, GetACP());
  EXPECT_EQ(kGbkChinese, wide_to_ansi(L"中文 ok"));
  EXPECT_EQ(L"中文 ok", ansi_to_wide(kGbkChinese));
  // A character that GBK lacks becomes the code page's default character.
  EXPECT_EQ("?", wide_to_ansi(L"\xAC00"));
}
