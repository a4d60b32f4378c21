// Wide buffers, hex text, URL encoding and entities.
#include <gtest/gtest.h>

#include <clocale>
#include <memory>

#include "foundation/text_util.h"
#include "support/gtest_cstring.h"

using namespace em_utility;

TEST(TextUtil, UnterminatedOrBrokenInputIsRefused) {
  wchar_t text[8] = L"aBc1";
  EXPECT_EQ(text, wcs_upper(text, 8));
  EXPECT_STREQ(L"ABC1", text);
  wchar_t unterminated[3] = {L'a', L'b', L'c'};
  EXPECT_EQ(nullptr, wcs_lower(unterminated, 3));

  const std::uint8_t bytes[] = {0x00, 0x0f, 0xa0, 0xff};
  EXPECT_EQ("000fa0ff", bytes_to_hex(bytes, 4));
  std::unique_ptr<std::uint8_t[]> back(hex_to_bytes(L"000FA0ff"));
  ASSERT_NE(nullptr, back);
  EXPECT_EQ(0, memcmp(bytes, back.get(), 4));
  EXPECT_EQ(nullptr, hex_to_bytes("0g"));
  EXPECT_EQ(nullptr, hex_to_bytes("\xB0\xA1"));
  std::unique_ptr<std::uint8_t[]> odd(hex_to_bytes("abc"));  // the odd digit is not read
  ASSERT_NE(nullptr, odd);
  EXPECT_EQ(0xab, odd[0]);
}

TEST(TextUtil, UrlEncodeKeepsAsciiLettersAndDigitsOnly) {
  EXPECT_EQ("a+b%26c%3D1", url_encode("a b&c=1"));
  EXPECT_EQ("+++", url_encode("\t\r\n"));
  // Bytes of 0x80 and above are always escaped, even with the Chinese locale, whose tables
  // would call some of them letters.
  std::setlocale(LC_ALL, "chinese-simplified");
  EXPECT_EQ("%D6%D0%CE%C4x", url_encode("\xD6\xD0\xCE\xC4x"));
  std::setlocale(LC_ALL, "C");
}

TEST(TextUtil, DecodeEntitiesInOrder) {
  CString text = L"a &lt;b&gt; &quot;c&quot; &apos;d&apos;&nbsp;&amp;";
  decode_entities(text);
  EXPECT_EQ(L"a <b> \"c\" 'd' &", text);
  // "&amp;" goes first and is not revisited by its own pass, but the later passes see its result.
  text = L"&amp;amp; &amp;lt;";
  decode_entities(text);
  EXPECT_EQ(L"&amp; <", text);
}
