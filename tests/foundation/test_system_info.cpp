// The program's folder, module versions and drive space.
#include <gtest/gtest.h>

#include <windows.h>

#include "foundation/disk_space.h"
#include "foundation/file_util.h"
#include "foundation/module_info.h"
#include "support/gtest_cstring.h"

using namespace em_utility;

namespace {

file_version Version(unsigned major, unsigned minor, unsigned build, unsigned revision) {
  file_version v;
  v.major = major;
  v.minor = minor;
  v.build = build;
  v.revision = revision;
  return v;
}

}  // namespace

TEST(SystemInfo, ModuleDirIsTheExecutablesFolder) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  CString dir = get_module_dir();
  ASSERT_FALSE(dir.IsEmpty());
  EXPECT_EQ(L'\\', dir[dir.GetLength() - 1]);
  EXPECT_EQ(0, wcsncmp(exe, dir.GetString(), dir.GetLength()));
  EXPECT_EQ(nullptr, wcschr(exe + dir.GetLength(), L'\\'));
  EXPECT_EQ(static_cast<size_t>(dir.GetLength()), get_module_dir_ansi().size());  // ASCII path
}

TEST(SystemInfo, FileVersionOfASystemLibrary) {
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  std::wstring kernel = std::wstring(system) + L"\\kernel32.dll";
  file_version v = get_file_version(kernel.c_str());
  EXPECT_GT(v.major, 0u);
  char expected[64];
  snprintf(expected, sizeof(expected), "%u.%u.%u.%u", v.major, v.minor, v.build, v.revision);
  EXPECT_EQ(expected, v.text);
  file_version narrow = get_file_version(std::string(kernel.begin(), kernel.end()).c_str());
  EXPECT_EQ(0, compare_version(v, narrow));
  EXPECT_EQ(v.text, narrow.text);
}

TEST(SystemInfo, NoVersionGivesZeros) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);  // the test has no version resource
  for (const file_version& v : {get_file_version(exe), get_file_version(L""),
                                get_file_version(static_cast<const char*>(nullptr)),
                                get_file_version(L"C:\\no\\such.dll")}) {
    EXPECT_EQ(0u, v.major + v.minor + v.build + v.revision);
    EXPECT_EQ("", v.text);
  }
}

TEST(SystemInfo, CompareVersionNumberByNumber) {
  EXPECT_EQ(-1, compare_version(Version(1, 0, 15, 17), Version(1, 0, 16, 0)));
  EXPECT_EQ(1, compare_version(Version(1, 0, 16, 0), Version(1, 0, 15, 17)));
  EXPECT_EQ(1, compare_version(Version(2, 0, 0, 0), Version(1, 9, 9, 9)));
  EXPECT_EQ(-1, compare_version(Version(1, 2, 3, 4), Version(1, 2, 3, 5)));
  EXPECT_EQ(0, compare_version(Version(1, 2, 3, 4), Version(1, 2, 3, 4)));
  EXPECT_EQ(1, compare_version(Version(0, 0, 0, 0x10000), Version(0, 0, 0, 0xFFFF)));
}

TEST(SystemInfo, DiskSpace) {
  EXPECT_EQ(0u, get_disk_free_space(L"A:"));
  EXPECT_EQ(0u, get_disk_free_space(L"B:"));
  EXPECT_EQ(0u, get_disk_free_space(L""));
  EXPECT_EQ(0u, get_disk_free_space(nullptr));
  EXPECT_GT(get_disk_free_space(L"C:"), 0u);

  CString drive = get_largest_fixed_drive();
  ASSERT_EQ(2, drive.GetLength());
  EXPECT_EQ(L':', drive[1]);
  // Only the kind is stable: free space changes while other tests write files.
  EXPECT_EQ(static_cast<UINT>(DRIVE_FIXED), GetDriveTypeW(drive));
}
