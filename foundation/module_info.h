// The running program's folder and the version of a module.
#pragma once

#include <cstdint>
#include <string>

#include "winlayer/cstring.h"

namespace em_utility {

struct file_version {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
  std::uint32_t revision = 0;
  std::string text;  // "major.minor.build.revision", empty when there is no version
};

// Drive and folder of the running executable, with a trailing backslash.
CString get_module_dir();
// The same in the calling thread's ANSI code page.
std::string get_module_dir_ansi();

// The fixed file version of a module (an executable or a library). All zero and an empty text
// when the path is empty or the module has no version information.
file_version get_file_version(const wchar_t* module_path);
file_version get_file_version(const char* module_path);

// 1 when a is newer, -1 when older, 0 when the four numbers are equal.
int compare_version(const file_version& a, const file_version& b);

}  // namespace em_utility
