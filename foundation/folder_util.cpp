#include "foundation/folder_util.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "foundation/file_util.h"

namespace em_utility {

namespace {

void CreateFolder(const std::wstring& path) {
  CreateDirectoryW(path.c_str(), nullptr);
}
void CreateFolder(const std::string& path) {
  CreateDirectoryA(path.c_str(), nullptr);
}

template <typename Char>
bool MakeDirs(const Char* path, Char separator) {
  if (!path || !*path) return false;
  std::basic_string<Char> copy(path);
  if (copy.back() == separator) copy.pop_back();
  size_t first = copy.find(separator);
  if (first == std::basic_string<Char>::npos) return false;
  // Errors, such as a folder that already exists, are expected here; the final search decides.
  for (size_t next = copy.find(separator, first + 1); next != std::basic_string<Char>::npos;
       next = copy.find(separator, next + 1)) {
    CreateFolder(copy.substr(0, next));
  }
  CreateFolder(copy);
  return find_is_directory(path);
}

template <typename Char>
bool MakeParentDirs(const Char* path, Char separator) {
  if (!path || !*path) return false;
  std::basic_string<Char> copy(path);
  size_t last = copy.rfind(separator);
  if (last == std::basic_string<Char>::npos) return false;
  copy.resize(last);
  return MakeDirs(copy.c_str(), separator);
}

bool ShellDelete(const wchar_t* path, FILEOP_FLAGS flags) {
  if (!path || !*path) return false;
  std::wstring from(path);
  if (from.size() > MAX_PATH) return false;
  from.push_back(L'\0');  // the shell reads a list of names ended by an empty one
  SHFILEOPSTRUCTW op = {};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = flags;
  return SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted;
}

}  // namespace

bool make_dirs(const wchar_t* path, wchar_t separator) {
  return MakeDirs(path, separator);
}
bool make_dirs_ansi(const char* path, char separator) {
  return MakeDirs(path, separator);
}

bool make_parent_dirs(const wchar_t* path, wchar_t separator) {
  return MakeParentDirs(path, separator);
}
bool make_parent_dirs(const char* path, char separator) {
  return MakeParentDirs(path, separator);
}

bool recycle_path(const wchar_t* path, bool files_only) {
  FILEOP_FLAGS flags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO;
  if (files_only) flags |= FOF_FILESONLY;
  return ShellDelete(path, flags);
}

bool delete_folder(const wchar_t* path) {
  return ShellDelete(path, FOF_SILENT | FOF_NOCONFIRMATION);
}

}  // namespace em_utility
