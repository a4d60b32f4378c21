// File tests, folder creation and walks, on a fresh temporary folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>

#include "foundation/dir_walker.h"
#include "foundation/file_util.h"
#include "foundation/folder_util.h"
#include "foundation/text_convert.h"
#include "support/temp_dir.h"

using namespace em_utility;

namespace {

class FileUtil : public ::testing::Test {
 protected:
  std::wstring Path(const std::wstring& name) const { return m_dir.file(name); }
  bool Write(const std::wstring& name, const std::string& bytes) const {
    return testsupport::WriteFileBytes(Path(name), bytes);
  }

  testsupport::TempDir m_dir;
};

}  // namespace

TEST_F(FileUtil, StatusOfFilesAndFolders) {
  ASSERT_TRUE(Write(L"f.txt", "12345"));
  std::wstring file = Path(L"f.txt");
  std::wstring folder = m_dir.path().substr(0, m_dir.path().size() - 1);
  // Each row: a path, whether it exists, whether it is a folder, its size.
  const struct {
    std::wstring path;
    bool exists, folder;
    std::uint64_t size;
  } rows[] = {{file, true, false, 5},
              {folder, true, true, 0},
              {m_dir.path(), false, false, 0},  // a separator at the end: no status
              {Path(L"missing"), false, false, 0},
              {L"", false, false, 0}};
  for (const auto& r : rows) {
    std::string narrow = wide_to_ansi(r.path);
    EXPECT_EQ(r.exists, file_exists(r.path.c_str())) << narrow;
    EXPECT_EQ(r.exists, file_exists(narrow.c_str())) << narrow;
    EXPECT_EQ(r.folder, is_directory(r.path.c_str())) << narrow;
    EXPECT_EQ(r.exists && !r.folder, is_file(narrow.c_str())) << narrow;
    if (!r.folder) {
      EXPECT_EQ(r.size, get_file_size(narrow.c_str())) << narrow;
    }
  }
  EXPECT_FALSE(file_exists(static_cast<const wchar_t*>(nullptr)));
  EXPECT_TRUE(find_is_directory(wide_to_ansi(folder).c_str()));
  EXPECT_FALSE(find_is_directory(file.c_str()));
}

TEST_F(FileUtil, MakeDirsCreatesEveryLevel) {
  std::wstring trailing = Path(L"x\\y\\");
  // A trailing separator: both folders are made, yet the search on the path as given fails.
  EXPECT_FALSE(make_dirs(trailing.c_str()));
  EXPECT_TRUE(is_directory(Path(L"x").c_str()));
  EXPECT_TRUE(is_directory(Path(L"x\\y").c_str()));
  EXPECT_TRUE(make_dirs(Path(L"x\\y").c_str()));  // existing folders are fine

  // The first separator only ends the root: with slashes throughout, C:/.../p/q/r.
  std::wstring slashed = Path(L"p/q/r");
  for (wchar_t& c : slashed) c = c == L'\\' ? L'/' : c;
  EXPECT_TRUE(make_dirs(slashed.c_str(), L'/'));
  EXPECT_TRUE(is_directory(Path(L"p\\q\\r").c_str()));

  EXPECT_FALSE(make_dirs(L"nosep"));
  EXPECT_FALSE(is_directory(L"nosep"));
  EXPECT_FALSE(make_dirs(nullptr));
}

TEST_F(FileUtil, ParentFoldersAndWholeTrees) {
  EXPECT_TRUE(make_parent_dirs(Path(L"a\\b\\file.txt").c_str()));
  EXPECT_TRUE(is_directory(Path(L"a\\b").c_str()));
  EXPECT_FALSE(file_exists(Path(L"a\\b\\file.txt").c_str()));
  EXPECT_FALSE(make_parent_dirs(L"file.txt"));
  ASSERT_TRUE(Write(L"a\\b\\f.txt", "x"));
  EXPECT_TRUE(delete_folder(Path(L"a").c_str()));
  EXPECT_FALSE(file_exists(Path(L"a").c_str()));
}

// A successful recycle is not tried: under Wine it lands in the host's trash folder.
TEST_F(FileUtil, RecyclePathRefusesOverlongPaths) {
  std::wstring too_long = m_dir.path() + std::wstring(300, L'a');
  EXPECT_FALSE(recycle_path(too_long.c_str(), false));
  EXPECT_FALSE(recycle_path(nullptr, true));
}

TEST_F(FileUtil, DirWalkerListsTheWholeTree) {
  ASSERT_TRUE(make_dirs(Path(L"w\\sub\\deeper").c_str()));
  ASSERT_TRUE(Write(L"w\\top.txt", "12"));
  ASSERT_TRUE(Write(L"w\\sub\\deeper\\leaf.txt", "12345"));

  dir_walker walk(nullptr, Path(L"w").c_str());
  std::map<std::wstring, const dir_walker::entry*> found;
  for (const auto& e : walk.entries()) found[e.path.GetString()] = &e;
  ASSERT_EQ(4u, found.size());
  ASSERT_TRUE(found.count(Path(L"w\\sub\\deeper\\leaf.txt")));
  EXPECT_EQ(5u, found[Path(L"w\\sub\\deeper\\leaf.txt")]->size);
  EXPECT_TRUE(found[Path(L"w\\sub")]->is_directory());
  EXPECT_FALSE(found[Path(L"w\\top.txt")]->is_directory());

  // A root with a trailing backslash walks the same tree; an empty root walks nothing.
  EXPECT_EQ(4u, dir_walker(nullptr, Path(L"w\\").c_str()).entries().size());
  EXPECT_TRUE(dir_walker(nullptr, L"").entries().empty());
  EXPECT_TRUE(dir_walker(nullptr, Path(L"missing").c_str()).entries().empty());
}
