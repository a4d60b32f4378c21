#include "foundation/module_info.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "foundation/text_convert.h"

namespace em_utility {

namespace {

DWORD VersionInfoSize(const wchar_t* path) {
  return GetFileVersionInfoSizeW(path, nullptr);
}
DWORD VersionInfoSize(const char* path) {
  return GetFileVersionInfoSizeA(path, nullptr);
}
BOOL VersionInfo(const wchar_t* path, DWORD size, void* data) {
  return GetFileVersionInfoW(path, 0, size, data);
}
BOOL VersionInfo(const char* path, DWORD size, void* data) {
  return GetFileVersionInfoA(path, 0, size, data);
}

template <typename Char>
file_version ReadVersion(const Char* path) {
  file_version version;
  if (!path || !*path) return version;
  DWORD size = VersionInfoSize(path);
  if (size == 0) return version;
  std::vector<char> data(size);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixed_size = 0;
  if (!VersionInfo(path, size, data.data()) ||
      !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixed_size) ||
      !fixed || fixed_size < sizeof(VS_FIXEDFILEINFO)) {
    return version;
  }
  version.major = HIWORD(fixed->dwFileVersionMS);
  version.minor = LOWORD(fixed->dwFileVersionMS);
  version.build = HIWORD(fixed->dwFileVersionLS);
  version.revision = LOWORD(fixed->dwFileVersionLS);
  char text[64];
  std::snprintf(text, sizeof(text), "%u.%u.%u.%u", version.major, version.minor, version.build,
                version.revision);
  version.text = text;
  return version;
}

int Sign(std::uint32_t a, std::uint32_t b) {
  return a > b ? 1 : (a < b ? -1 : 0);
}

}  // namespace

CString get_module_dir() {
  wchar_t path[MAX_PATH + 1] = {};
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return CString();
  wchar_t drive[_MAX_DRIVE], folder[_MAX_DIR];
  if (_wsplitpath_s(path, drive, _MAX_DRIVE, folder, _MAX_DIR, nullptr, 0, nullptr, 0) != 0) {
    return CString();
  }
  return CString(drive) + folder;
}

std::string get_module_dir_ansi() {
  return wide_to_ansi(get_module_dir().GetString());
}

file_version get_file_version(const wchar_t* module_path) {
  return ReadVersion(module_path);
}
file_version get_file_version(const char* module_path) {
  return ReadVersion(module_path);
}

int compare_version(const file_version& a, const file_version& b) {
  if (int c = Sign(a.major, b.major)) return c;
  if (int c = Sign(a.minor, b.minor)) return c;
  if (int c = Sign(a.build, b.build)) return c;
  return Sign(a.revision, b.revision);
}

}  // namespace em_utility
