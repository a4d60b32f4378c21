// Wide buffers, hex text, URL encoding, markup and entities.
#include <gtest/gtest.h>

#include <clocale>
#include <memory>

#include "foundation/text_util.h"
#include "support/gtest_cstring.h"

using namespace em_utility;

TEST(TextUtil, WideBufferCase) {
  wchar_t text[8] = L"aBc1";
  EXPECT_EQ(text, wcs_upper(text, 8));
  EXPECT_STREQ(L"ABC1", text);
  EXPECT_EQ(text, wcs_lower(text, 8));
  EXPECT_STREQ(L"abc1", text);
  wchar_t unterminated[3] = {L'a', L'b', L'c'};
  EXPECT_EQ(nullptr, wcs_upper(unterminated, 3));
  EXPECT_EQ(L'a', unterminated[0]);
  EXPECT_EQ(nullptr, wcs_lower(nullptr, 8));
}

TEST(TextUtil, HexDigitsAndSearch) {
  EXPECT_EQ('9', hex_digit(9));
  EXPECT_EQ('A', hex_digit(10));

  const std::uint8_t bytes[] = {1, 2, 3, 2};
  EXPECT_EQ(1u, find_byte(bytes, 4, 2));
  EXPECT_EQ(4u, find_byte(bytes, 4, 9));
  const std::uint32_t words[] = {7, 0x10000, 7};
  EXPECT_EQ(1u, find_byte(words, 3, 0x10000u));
  EXPECT_EQ(3u, find_byte(words, 3, 0u));
}

TEST(TextUtil, BytesToHexAndBack) {
  const std::uint8_t bytes[] = {0x00, 0x0f, 0xa0, 0xff};
  EXPECT_EQ("000fa0ff", bytes_to_hex(bytes, 4));
  EXPECT_EQ(L"000fa0ff", bytes_to_hex_wide(bytes, 4));
  EXPECT_EQ("", bytes_to_hex(bytes, 0));

  std::unique_ptr<std::uint8_t[]> back(hex_to_bytes("000FA0ff"));
  ASSERT_NE(nullptr, back);
  EXPECT_EQ(0, memcmp(bytes, back.get(), 4));
  std::unique_ptr<std::uint8_t[]> wide(hex_to_bytes(L"000fA0FF"));
  ASSERT_NE(nullptr, wide);
  EXPECT_EQ(0, memcmp(bytes, wide.get(), 4));

  EXPECT_EQ(nullptr, hex_to_bytes("0g"));
  EXPECT_EQ(nullptr, hex_to_bytes("\xB0\xA1"));
  EXPECT_EQ(nullptr, hex_to_bytes(static_cast<const char*>(nullptr)));
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

TEST(TextUtil, StripMarkupRemovesBalancedTags) {
  CString text = L"<b>bold</b> and <a href=\"<x>\">link</a>";
  strip_markup(text);
  EXPECT_EQ(L"bold and link", text);

  CString open = L"keep <i>this</i> <but not";
  strip_markup(open);
  EXPECT_EQ(L"keep this <but not", open);

  CString plain = L"a > b";
  strip_markup(plain);
  EXPECT_EQ(L"a > b", plain);
}

TEST(TextUtil, DecodeEntitiesInOrder) {
  CString text = L"a &lt;b&gt; &quot;c&quot; &apos;d&apos;&nbsp;&amp;";
  decode_entities(text);
  EXPECT_EQ(L"a <b> \"c\" 'd' &", text);

  // "&amp;" goes first and is not revisited by its own pass, but the later passes see its result.
  CString doubled = L"&amp;amp;";
  decode_entities(doubled);
  EXPECT_EQ(L"&amp;", doubled);
  CString escaped = L"&amp;lt;";
  decode_entities(escaped);
  EXPECT_EQ(L"<", escaped);
}
