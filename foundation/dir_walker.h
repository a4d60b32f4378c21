// A folder tree listed at construction: every file and folder below a root.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "winlayer/cstring.h"

namespace em_utility {

class dir_walker {
 public:
  struct entry {
    CString path;  // root-based full path
    DWORD attributes;
    std::uint64_t size;
    FILETIME write_time;
    bool is_directory() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
  };

  // Walks the tree below root (with or without a trailing backslash) unless root is empty. The
  // owner value is kept for the caller. Folders that are links (junctions) are listed but not
  // entered, so a link that points up the tree cannot make the walk endless.
  dir_walker(void* owner, const CString& root);

  void* owner() const { return m_owner; }
  const CString& root() const { return m_root; }
  // Parents come before their contents; the order within a folder is the file system's.
  const std::vector<entry>& entries() const { return m_entries; }

 private:
  void walk(const CString& folder);

  void* m_owner;
  CString m_root;
  std::vector<entry> m_entries;
};

}  // namespace em_utility
