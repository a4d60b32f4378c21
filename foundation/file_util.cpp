#include "foundation/file_util.h"

#include <windows.h>

#include <sys/stat.h>
#include <wchar.h>

#include "foundation/scoped_handle.h"

namespace em_utility {

namespace {

bool Empty(const wchar_t* path) {
  return !path || !*path;
}
bool Empty(const char* path) {
  return !path || !*path;
}

bool Stat(const wchar_t* path, struct _stat64* st) {
  return !Empty(path) && _wstat64(path, st) == 0;
}
bool Stat(const char* path, struct _stat64* st) {
  return !Empty(path) && _stat64(path, st) == 0;
}

template <typename Char>
bool StatExists(const Char* path) {
  struct _stat64 st;
  return Stat(path, &st);
}

template <typename Char>
long StatMtime(const Char* path) {
  struct _stat64 st;
  return Stat(path, &st) ? static_cast<long>(st.st_mtime) : 0;
}

template <typename Char>
std::uint64_t StatSize(const Char* path) {
  struct _stat64 st;
  return Stat(path, &st) ? static_cast<std::uint64_t>(st.st_size) : 0;
}

template <typename Char>
bool StatIsDirectory(const Char* path) {
  struct _stat64 st;
  return Stat(path, &st) && (st.st_mode & _S_IFDIR) != 0;
}

DWORD Attributes(const wchar_t* path) {
  return GetFileAttributesW(path);
}
DWORD Attributes(const char* path) {
  return GetFileAttributesA(path);
}
BOOL SetAttributes(const wchar_t* path, DWORD a) {
  return SetFileAttributesW(path, a);
}
BOOL SetAttributes(const char* path, DWORD a) {
  return SetFileAttributesA(path, a);
}

template <typename Char>
bool ReadOnly(const Char* path) {
  if (Empty(path)) return false;
  DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

template <typename Char>
bool ClearReadOnly(const Char* path) {
  if (Empty(path)) return false;
  DWORD attributes = Attributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (!(attributes & FILE_ATTRIBUTE_READONLY)) return true;
  return SetAttributes(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY)) != FALSE;
}

}  // namespace

bool file_exists(const wchar_t* path) {
  return StatExists(path);
}
bool file_exists(const char* path) {
  return StatExists(path);
}

long get_file_mtime(const wchar_t* path) {
  return StatMtime(path);
}
long get_file_mtime(const char* path) {
  return StatMtime(path);
}

std::uint64_t get_file_size(const wchar_t* path) {
  return StatSize(path);
}
std::uint64_t get_file_size(const char* path) {
  return StatSize(path);
}

bool is_directory(const wchar_t* path) {
  return StatIsDirectory(path);
}
bool is_directory(const char* path) {
  return StatIsDirectory(path);
}

bool is_file(const char* path) {
  struct _stat64 st;
  return Stat(path, &st) && (st.st_mode & _S_IFDIR) == 0;
}

bool find_is_directory(const wchar_t* path) {
  if (Empty(path)) return false;
  WIN32_FIND_DATAW data;
  ScopedFindHandle find(FindFirstFileW(path, &data));
  return find.valid() && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool find_is_directory(const char* path) {
  if (Empty(path)) return false;
  WIN32_FIND_DATAA data;
  ScopedFindHandle find(FindFirstFileA(path, &data));
  return find.valid() && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool remove_file(const wchar_t* path) {
  return !Empty(path) && DeleteFileW(path);
}
bool remove_file(const char* path) {
  return !Empty(path) && DeleteFileA(path);
}

bool move_file(const wchar_t* from, const wchar_t* to) {
  return !Empty(from) && !Empty(to) && MoveFileW(from, to);
}

bool copy_file(const wchar_t* source, const wchar_t* target, bool overwrite) {
  return !Empty(source) && !Empty(target) && CopyFileW(source, target, overwrite ? FALSE : TRUE);
}

bool create_sized_file(const wchar_t* path, bool overwrite, std::uint64_t size) {
  if (Empty(path)) return false;
  ScopedFileHandle file(CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    overwrite ? CREATE_ALWAYS : CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
  if (!file.valid()) return false;
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  return SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get());
}

bool is_read_only(const wchar_t* path) {
  return ReadOnly(path);
}
bool is_read_only(const char* path) {
  return ReadOnly(path);
}
bool clear_read_only(const wchar_t* path) {
  return ClearReadOnly(path);
}
bool clear_read_only(const char* path) {
  return ClearReadOnly(path);
}

}  // namespace em_utility
