// Narrow string functions: ASCII case and blanks only, folder texts.
#include <gtest/gtest.h>

#include <windows.h>

#include <clocale>
#include <string>

#include "foundation/file_util.h"
#include "foundation/str_util.h"
#include "foundation/text_convert.h"
#include "support/temp_dir.h"

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

TEST(StrUtil, FolderTexts) {
  EXPECT_EQ("C:\\a/", str_get_folder("C:\\a/b.txt"));
  EXPECT_EQ("C:\\a\\", str_get_folder("C:\\a\\b.txt"));
  EXPECT_EQ("", str_get_folder("b.txt"));

  std::string path = "  \\\\music\\pop  ";
  EXPECT_TRUE(str_normalize_folder(path));
  EXPECT_EQ("music/pop/", path);
  path = " // ";
  EXPECT_FALSE(str_normalize_folder(path));
}

TEST(StrUtil, MakeDirsCreatesEveryPrefix) {
  testsupport::TempDir dir;
  std::string base = em_utility::wide_to_ansi(dir.path());
  std::string path = " " + base + "one\\two/three ";
  EXPECT_TRUE(str_make_dirs(path));
  EXPECT_EQ(path.find('\\'), std::string::npos);
  EXPECT_TRUE(em_utility::is_directory((base + "one\\two\\three").c_str()));

  std::string trailing = base + "four\\";
  EXPECT_TRUE(str_make_dirs(trailing));
  EXPECT_TRUE(em_utility::is_directory((base + "four").c_str()));

  std::string none = "noslash";
  EXPECT_FALSE(str_make_dirs(none));
}
