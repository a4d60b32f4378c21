#include "foundation/disk_space.h"

#include <windows.h>

#include <cwchar>

namespace em_utility {

namespace {

// Keeps the system from asking the user about a drive without a medium while it lives.
class QuietErrors {
 public:
  QuietErrors() : m_previous(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  ~QuietErrors() { SetErrorMode(m_previous); }
  QuietErrors(const QuietErrors&) = delete;
  QuietErrors& operator=(const QuietErrors&) = delete;

 private:
  UINT m_previous;
};

}  // namespace

std::uint64_t get_disk_free_space(const wchar_t* drive) {
  if (!drive || !*drive) return 0;
  if (wcscmp(drive, L"A:") == 0 || wcscmp(drive, L"B:") == 0) return 0;
  QuietErrors quiet;
  ULARGE_INTEGER free_to_caller;
  if (!GetDiskFreeSpaceExW(drive, &free_to_caller, nullptr, nullptr)) return 0;
  return free_to_caller.QuadPart;
}

CString get_largest_fixed_drive() {
  CString best;
  std::uint64_t best_free = 0;
  DWORD drives = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(drives & (1u << i))) continue;
    wchar_t name[3] = {static_cast<wchar_t>(L'A' + i), L':', 0};
    if (GetDriveTypeW(name) != DRIVE_FIXED) continue;
    std::uint64_t free_bytes = get_disk_free_space(name);
    if (best.IsEmpty() || free_bytes > best_free) {
      best = name;
      best_free = free_bytes;
    }
  }
  return best;
}

}  // namespace em_utility
