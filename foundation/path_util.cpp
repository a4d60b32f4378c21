#include "foundation/path_util.h"

#include <cstdlib>
#include <cwchar>

namespace em_utility {

namespace {

bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

}  // namespace

CString get_file_name(const CString& path, bool keep_extension) {
  int slash = path.ReverseFind(L'\\');
  if (slash <= 0) return CString();
  CString name = path.Mid(slash + 1);
  if (!keep_extension) {
    int dot = name.ReverseFind(L'.');
    if (dot > 0) name = name.Left(dot);
  }
  return name;
}

CString get_folder(const CString& path) {
  int slash = path.ReverseFind(L'\\');
  return slash < 0 ? CString() : path.Left(slash);
}

void strip_folder_and_extension(CString& path) {
  int slash = path.ReverseFind(L'\\');
  if (slash >= 0) path = path.Mid(slash + 1);
  int dot = path.ReverseFind(L'.');
  if (dot >= 0) path = path.Left(dot);
}

CString get_extension(const CString& path, bool lower) {
  wchar_t extension[_MAX_EXT] = {};
  if (_wsplitpath_s(path.GetString(), nullptr, 0, nullptr, 0, nullptr, 0, extension, _MAX_EXT) !=
      0) {
    return CString();
  }
  CString result(extension);
  return lower ? result.MakeLower() : result.MakeUpper();
}

CString add_separator(const CString& path, bool trailing) {
  if (path.IsEmpty()) return CString(L"\\");
  if (trailing) return IsSeparator(path[path.GetLength() - 1]) ? path : path + L'\\';
  return IsSeparator(path[0]) ? path : L'\\' + path;
}

CString remove_separator(const CString& path, bool trailing) {
  if (path.IsEmpty()) return path;
  if (trailing) {
    return IsSeparator(path[path.GetLength() - 1]) ? path.Left(path.GetLength() - 1) : path;
  }
  return IsSeparator(path[0]) ? path.Mid(1) : path;
}

CString path_join(const CString& a, const CString& b) {
  CString result = a;
  if (a.IsEmpty() || !IsSeparator(a[a.GetLength() - 1])) result += L'\\';
  result += remove_separator(b, false);
  return result;
}

CString make_file_name(const CString& name, wchar_t replacement) {
  static const wchar_t kForbidden[] = L"/\\:*\"?><|";
  CString result = name;
  int length = result.GetLength();
  for (int i = 0; i < length; ++i) {
    wchar_t c = result[i];
    // All control characters are invalid in Windows file names, 30 and 31 included.
    bool bad =
        c < 32 || wcschr(kForbidden, c) != nullptr || (c == L'.' && (i == 0 || i == length - 1));
    if (bad) result.SetAt(i, replacement);
  }
  return result;
}

std::vector<CString> split_path(const CString& path) {
  std::vector<CString> parts;
  int start = 0;
  int length = path.GetLength();
  while (start <= length) {
    int slash = path.Find(L'\\', start);
    int end = slash < 0 ? length : slash;
    if (end > start) parts.push_back(path.Mid(start, end - start));
    if (slash < 0) break;
    start = slash + 1;
  }
  return parts;
}

}  // namespace em_utility
