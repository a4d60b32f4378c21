// Pieces of paths.
#include <gtest/gtest.h>

#include "foundation/path_util.h"
#include "support/gtest_cstring.h"

using namespace em_utility;

TEST(PathUtil, NameFolderAndExtension) {
  EXPECT_EQ(L"song.mp3", get_file_name(L"C:\\a\\song.mp3", true));
  EXPECT_EQ(L"song.x", get_file_name(L"C:\\a\\song.x.mp3", false));  // the last dot
  EXPECT_EQ(L".hidden", get_file_name(L"C:\\a\\.hidden", false));    // a leading dot stays
  EXPECT_EQ(L"", get_file_name(L"\\song.mp3", true));                // backslash first
  EXPECT_EQ(L"", get_file_name(L"song.mp3", true));                  // no backslash
  EXPECT_EQ(L"C:\\a", get_folder(L"C:\\a\\song.mp3"));
  EXPECT_EQ(L"", get_folder(L"\\song.mp3"));
  EXPECT_EQ(L".MP3", get_extension(L"C:\\a\\Song.Mp3", false));
  EXPECT_EQ(L"", get_extension(L"C:\\a.dir\\song", true));  // the folder's dot is no extension
}

TEST(PathUtil, SeparatorsAreAddedOnlyWhereNoneIs) {
  EXPECT_EQ(L"\\", add_separator(L"", true));
  EXPECT_EQ(L"C:\\a\\", add_separator(L"C:\\a", true));
  EXPECT_EQ(L"C:/a/", add_separator(L"C:/a/", true));
  EXPECT_EQ(L"\\a", add_separator(L"a", false));
}

TEST(PathUtil, MakeFileNameReplacesWhatFileNamesCannotHold) {
  EXPECT_EQ(L"_a_b_", make_file_name(L".a:b.", L'_'));
  EXPECT_EQ(L"a_b_c_d_e_f_g_h_i_j", make_file_name(L"a/b\\c:d*e\"f?g>h<i|j", L'_'));
  // Every control character, 30 and 31 as well.
  EXPECT_EQ(L"a-b-c-d", make_file_name(CString(L"a\x01"
                                               L"b\x1E"
                                               L"c\x1F"
                                               L"d"),
                                       L'-'));
  EXPECT_EQ(L"歌曲 1", make_file_name(L"歌曲 1", L'_'));
}
