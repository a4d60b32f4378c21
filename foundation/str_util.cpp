#include "foundation/str_util.h"

#include <windows.h>

#include <algorithm>

#include "foundation/ascii.h"
#include "foundation/file_util.h"

namespace {

bool IsBlank(char c) {
  return ascii::IsSpace(static_cast<unsigned char>(c));
}

void SlashesAndBlanks(std::string& path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  str_trim(path);
}

}  // namespace

void str_to_lower(std::string& text) {
  std::transform(text.begin(), text.end(), text.begin(), ascii::ToLower);
}

void str_to_upper(std::string& text) {
  std::transform(text.begin(), text.end(), text.begin(), ascii::ToUpper);
}

void str_trim_left(std::string& text) {
  text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), IsBlank));
}

void str_trim_right(std::string& text) {
  text.erase(std::find_if_not(text.rbegin(), text.rend(), IsBlank).base(), text.end());
}

void str_trim(std::string& text) {
  str_trim_right(text);
  str_trim_left(text);
}

bool str_iequals(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  std::string la = a, lb = b;
  str_to_lower(la);
  str_to_lower(lb);
  return la == lb;
}

std::string str_get_folder(const std::string& path) {
  size_t last = path.find_last_of("/\\");
  return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

bool str_normalize_folder(std::string& path) {
  SlashesAndBlanks(path);
  path.erase(0, std::min(path.find_first_not_of('/'), path.size()));
  if (path.empty()) return false;
  if (path.back() != '/') path += '/';
  return true;
}

bool str_make_dirs(std::string& path) {
  SlashesAndBlanks(path);
  if (path.find('/') == std::string::npos) return false;
  for (size_t slash = path.find('/'); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    // Prefixes that exist already, or a drive such as "C:", fail here harmlessly.
    if (slash > 0) CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
  }
  CreateDirectoryA(path.c_str(), nullptr);
  // A folder path that ends in a separator has no file status.
  std::string folder = path;
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return em_utility::is_directory(folder.c_str());
}
