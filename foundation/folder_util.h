// Creating and deleting folders.
#pragma once

namespace em_utility {

// Creates every folder of the path. The first separator only ends the drive or root part:
// for C:\a\b the folders C:\a and C:\a\b are created. One trailing separator is ignored while
// creating. The result is whether a directory search for the path as given finds a folder, so a
// path given with a trailing separator reports false even when every folder exists. A path
// without a separator creates nothing and gives false.
bool make_dirs(const wchar_t* path, wchar_t separator = L'\\');
bool make_dirs_ansi(const char* path, char separator = '\\');

// make_dirs on the text before the path's last separator; false when there is none.
bool make_parent_dirs(const wchar_t* path, wchar_t separator = L'\\');
bool make_parent_dirs(const char* path, char separator = '\\');

// Deletes a file or a folder tree to the recycle bin (silently, without confirmation), only the
// files of a tree when files_only is set. Paths longer than MAX_PATH characters give false.
bool recycle_path(const wchar_t* path, bool files_only);
// Deletes a folder tree for good, silently and without confirmation.
bool delete_folder(const wchar_t* path);

}  // namespace em_utility
