// File tests and single-file operations. A null or empty path gives false or 0.
#pragma once

#include <cstdint>

namespace em_utility {

// True when the file system reports status for the path (a file or a folder). A folder path
// that ends in a separator has no status.
bool file_exists(const wchar_t* path);
bool file_exists(const char* path);

// Modification time in seconds since 1970; 0 when the path has no status.
long get_file_mtime(const wchar_t* path);
long get_file_mtime(const char* path);

// Size in bytes; 0 when the path has no status.
std::uint64_t get_file_size(const wchar_t* path);
std::uint64_t get_file_size(const char* path);

bool is_directory(const wchar_t* path);
bool is_directory(const char* path);
// The status succeeds and it is not a folder.
bool is_file(const char* path);

// A directory search for the path finds an entry with the directory attribute.
bool find_is_directory(const wchar_t* path);
bool find_is_directory(const char* path);

bool remove_file(const wchar_t* path);
bool remove_file(const char* path);
bool move_file(const wchar_t* from, const wchar_t* to);
// An existing target is replaced only when overwrite is set.
bool copy_file(const wchar_t* source, const wchar_t* target, bool overwrite);

// Creates the file (shared for reading) and sets its length to size bytes. An existing file is
// replaced only when overwrite is set, else the call fails.
bool create_sized_file(const wchar_t* path, bool overwrite, std::uint64_t size);

bool is_read_only(const wchar_t* path);
bool is_read_only(const char* path);
bool clear_read_only(const wchar_t* path);
bool clear_read_only(const char* path);

}  // namespace em_utility
