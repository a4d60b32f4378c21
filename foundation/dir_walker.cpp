#include "foundation/dir_walker.h"

#include <cwchar>

#include "foundation/path_util.h"
#include "foundation/scoped_handle.h"

namespace em_utility {

dir_walker::dir_walker(void* owner, const CString& root) : m_owner(owner), m_root(root) {
  if (!m_root.IsEmpty()) walk(add_separator(m_root, true));
}

void dir_walker::walk(const CString& folder) {
  WIN32_FIND_DATAW data;
  ScopedFindHandle find(FindFirstFileW((folder + L"*.*").GetString(), &data));
  if (!find.valid()) return;
  do {
    if (wcscmp(data.cFileName, L".") == 0 || wcscmp(data.cFileName, L"..") == 0) continue;
    entry e;
    e.path = folder + data.cFileName;
    e.attributes = data.dwFileAttributes;
    e.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    e.write_time = data.ftLastWriteTime;
    m_entries.push_back(e);
    if (e.is_directory() && !(e.attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      walk(e.path + L'\\');
    }
  } while (FindNextFileW(find.get(), &data));
}

}  // namespace em_utility
