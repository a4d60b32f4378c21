// Module versions and their order.
#include <gtest/gtest.h>

#include <windows.h>

#include "foundation/module_info.h"

using namespace em_utility;

TEST(SystemInfo, FileVersionsAndTheirOrder) {
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  std::wstring kernel = std::wstring(system) + L"\\kernel32.dll";
  file_version v = get_file_version(kernel.c_str());
  EXPECT_GT(v.major, 0u);
  EXPECT_EQ(v.text, get_file_version(std::string(kernel.begin(), kernel.end()).c_str()).text);
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);  // the test has no version resource
  for (const file_version& none : {get_file_version(exe), get_file_version(L"C:\\no\\such.dll")}) {
    EXPECT_EQ(0u, none.major + none.minor + none.build + none.revision);
    EXPECT_EQ("", none.text);
  }

  EXPECT_EQ(-1, compare_version({1, 0, 15, 17, ""}, {1, 0, 16, 0, ""}));
  EXPECT_EQ(1, compare_version({2, 0, 0, 0, ""}, {1, 9, 9, 9, ""}));
  EXPECT_EQ(0, compare_version({1, 2, 3, 4, ""}, {1, 2, 3, 4, ""}));
  EXPECT_EQ(1, compare_version({0, 0, 0, 0x10000, ""}, {0, 0, 0, 0xFFFF, ""}));
}
