// Pieces of wide paths. The separator is the backslash; where a rule says so the slash counts
// too.
#pragma once

#include <vector>

#include "winlayer/cstring.h"

namespace em_utility {

// The text after the last backslash; empty when there is none or it is the first character.
// Without keep_extension the name is cut before its last dot, unless that dot starts it.
CString get_file_name(const CString& path, bool keep_extension);
// The text before the last backslash; empty when there is none.
CString get_folder(const CString& path);
// Keeps the text after the last backslash, then cuts it before its last dot.
void strip_folder_and_extension(CString& path);
// The extension with its dot, in lower case when lower is set, else in upper case.
CString get_extension(const CString& path, bool lower);

// Appends (trailing) or prepends a backslash unless one of \ and / is already there; an empty
// path becomes a single backslash.
CString add_separator(const CString& path, bool trailing);
// Removes one trailing (or leading) backslash or slash.
CString remove_separator(const CString& path, bool trailing);
// a, a backslash unless a already ends with \ or /, then b without one leading \ or /.
CString path_join(const CString& a, const CString& b);

// Replaces every character that a file name may not hold (\ / : * ? " < > | and the control
// characters) and a dot in the first or the last position by replacement.
CString make_file_name(const CString& name, wchar_t replacement);

// The non-empty parts between backslashes, in order.
std::vector<CString> split_path(const CString& path);

}  // namespace em_utility
