// Names of cache folders and files: SHA-1 of the UTF-8 bytes, 40 upper-case digits.
#include <gtest/gtest.h>

#include "foundation/cache_names.h"
#include "foundation/text_util.h"
#include "support/gtest_cstring.h"

TEST(CacheNames, NamesOfTheProgramsFolders) {
  EXPECT_EQ(L"1BC0264D5BF8869899640171B693092D8C4899F8", Sha1Name(L"mp3"));
  EXPECT_EQ(L"8D339A3590719A6E69864DBAD9EB174ECD13D6E7", Sha1Name(L"artist_cover"));
  EXPECT_EQ(L"EA7F6CB81CBD26E5AA33F92BCC5AA5D8D3EC1C31", Sha1Name(L"album_cover"));
}

TEST(CacheNames, ChineseTextIsDigestedAsUtf8) {
  // Over the UTF-16 units the digest would start A09EA1FD.
  EXPECT_EQ(L"7BE2D2D20C106EEE0836C9BC2B939890A78E8FB3", Sha1Name(L"中文"));
}

TEST(CacheNames, KeyHashFormatsBothNumbersSigned) {
  EXPECT_EQ(L"DC022A572EA660F060071E9FFCA4F06CFEAF3F37", MakeKeyHash(1, 2));
  EXPECT_EQ(L"87266A68DB425103FBEE07E6B01A39876D638D82", MakeKeyHash(-1, 2));
  EXPECT_EQ(L"0606EC55D06FB6AD52E4C972A68ACC1B5E646E75", MakeKeyHash(2147483647, -2147483647 - 1));
}

TEST(CacheNames, NarrowTextDigestOfItsBytes) {
  EXPECT_EQ("A9993E364706816ABA3E25717850C26C9CD0D89D", em_utility::sha1_hex_ansi("abc"));
  // The bytes are digested as they are: UTF-8 bytes give the same name as the wide text.
  EXPECT_EQ("7BE2D2D20C106EEE0836C9BC2B939890A78E8FB3",
            em_utility::sha1_hex_ansi("\xE4\xB8\xAD\xE6\x96\x87"));
}
