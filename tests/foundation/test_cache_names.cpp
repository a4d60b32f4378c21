// Names of cache folders and files: SHA-1 of the UTF-8 bytes, 40 upper-case digits.
#include <gtest/gtest.h>

#include "foundation/cache_names.h"
#include "foundation/text_util.h"
#include "support/gtest_cstring.h"

TEST(CacheNames, Sha1OfTheUtf8BytesInUpperCaseDigits) {
  // The program's folders, and Chinese text (over the UTF-16 units it would start A09EA1FD).
  const std::pair<const wchar_t*, const wchar_t*> names[] = {
      {L"mp3", L"1BC0264D5BF8869899640171B693092D8C4899F8"},
      {L"artist_cover", L"8D339A3590719A6E69864DBAD9EB174ECD13D6E7"},
      {L"album_cover", L"EA7F6CB81CBD26E5AA33F92BCC5AA5D8D3EC1C31"},
      {L"中文", L"7BE2D2D20C106EEE0836C9BC2B939890A78E8FB3"}};
  for (const auto& [text, name] : names) EXPECT_EQ(name, Sha1Name(text)) << name;
  // Narrow text is digested as it is: its UTF-8 bytes give the same name as the wide text.
  EXPECT_EQ("7BE2D2D20C106EEE0836C9BC2B939890A78E8FB3",
            em_utility::sha1_hex_ansi("\xE4\xB8\xAD\xE6\x96\x87"));
}

TEST(CacheNames, KeyHashFormatsBothNumbersSigned) {
  EXPECT_EQ(L"DC022A572EA660F060071E9FFCA4F06CFEAF3F37", MakeKeyHash(1, 2));
  EXPECT_EQ(L"87266A68DB425103FBEE07E6B01A39876D638D82", MakeKeyHash(-1, 2));
  EXPECT_EQ(L"0606EC55D06FB6AD52E4C972A68ACC1B5E646E75", MakeKeyHash(2147483647, -2147483647 - 1));
}
