// Narrow string functions: case and blanks are ASCII only.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "foundation/str_util.h"

namespace {

// The program's logger switches the C runtime to the Chinese locale, under which Wine's tolower
// maps every GBK lead byte to a blank. The functions must not care.
class ChineseLocale {
 public:
  ChineseLocale() { std::setlocale(LC_ALL, "chinese-simplified"); }
  ~ChineseLocale() { std::setlocale(LC_ALL, "C"); }
};

}  // namespace

TEST(StrUtil, CaseAndBlanksLeaveGbkAndUtf8Bytes) {
  ChineseLocale locale;
  std::string text = "AbC \xB0\xA1\xD6\xD0 \xE4\xB8\xAD z";
  std::string lower = text;
  str_to_lower(lower);
  EXPECT_EQ("abc \xB0\xA1\xD6\xD0 \xE4\xB8\xAD z", lower);
  std::string upper = text;
  str_to_upper(upper);
  EXPECT_EQ("ABC \xB0\xA1\xD6\xD0 \xE4\xB8\xAD Z", upper);

  EXPECT_TRUE(str_iequals("Song.MP3", "song.mp3"));
  EXPECT_FALSE(str_iequals("song", "songs"));
  EXPECT_FALSE(str_iequals("\xB0\xA1", "\xB0\xC1"));

  std::string padded = " \t\r\n\xA1\xA1x\xA0 \v\f";  // blanks are ASCII only
  str_trim(padded);
  EXPECT_EQ("\xA1\xA1x\xA0", padded);
}
