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

TEST(TextUtil, FindByteOfAnyWidth) {
  const std::uint32_t words[] = {7, 0x10000, 7};
  EXPECT_EQ(1u, find_byte(words, 3, 0x10000u));
  EXPECT_EQ(3u, find_byte(words, 3, 0u));  // not found: the count
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

namespace {

CString Applied(void (*edit)(CString&), const wchar_t* text) {
  CString result = text;
  edit(result);
  return result;
}

}  // namespace

TEST(TextUtil, StripMarkupRemovesBalancedTags) {
  EXPECT_EQ(L"bold and link", Applied(strip_markup, L"<b>bold</b> and <a href=\"<x>\">link</a>"));
  EXPECT_EQ(L"keep this <but not", Applied(strip_markup, L"keep <i>this</i> <but not"));
  EXPECT_EQ(L"a > b", Applied(strip_markup, L"a > b"));
}

TEST(TextUtil, DecodeEntitiesInOrder) {
  EXPECT_EQ(L"a <b> \"c\" 'd' &",
            Applied(decode_entities, L"a &lt;b&gt; &quot;c&quot; &apos;d&apos;&nbsp;&amp;"));
  // "&amp;" goes first and is not revisited by its own pass, but the later passes see its result.
  EXPECT_EQ(L"&amp;", Applied(decode_entities, L"&amp;amp;"));
  EXPECT_EQ(L"<", Applied(decode_entities, L"&amp;lt;"));
}
