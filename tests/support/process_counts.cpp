#include "support/process_counts.h"

#include <cstdio>

namespace testsupport {
namespace {

// Handle values are multiples of 4, handed out lowest free first: past a long run of unused
// values no handle follows.
constexpr DWORD kHandleProbeGap = 4096;

DWORD CountHandles() {
  DWORD count = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return count;
  DWORD unusedRun = 0;
  for (ULONG_PTR value = 4; unusedRun < kHandleProbeGap; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
      ++count;
      unusedRun = 0;
    } else {
      ++unusedRun;
    }
  }
  return count;
}

// A GDI handle's low word is its slot in the process's table; Wine takes a handle without its
// high word (the slot's reuse count) for the slot's current object.
DWORD CountGdiObjects() {
  DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (count > 0) return count;
  for (ULONG_PTR slot = 1; slot < 0x10000; ++slot) {
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot))) ++count;
  }
  return count;
}

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM counter) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  ++*reinterpret_cast<DWORD*>(counter);
  EnumChildWindows(window, CountOwnWindow, counter);
  return TRUE;
}

// USER handles are (slot * 2 + 0x20) with the reuse count in the high word, which Wine lets a
// caller leave out, as for GDI handles. Menus are asked for that way; windows are enumerated
// (asking for another process's slot costs a round trip to the server).
DWORD CountUserObjects() {
  DWORD count = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  if (count > 0) return count;
  EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&count));
  for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
       window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
    CountOwnWindow(window, reinterpret_cast<LPARAM>(&count));
  }
  for (ULONG_PTR slot = 0; slot < 0x7ff0; ++slot) {
    if (IsMenu(reinterpret_cast<HMENU>(slot * 2 + 0x20))) ++count;
  }
  return count;
}

unsigned long long CountPrivateBytes() {
  unsigned long long total = 0;
  MEMORY_BASIC_INFORMATION region;
  for (const char* at = nullptr;
       VirtualQuery(at, &region, sizeof region) == sizeof region && region.RegionSize > 0;
       at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    if (static_cast<const char*>(region.BaseAddress) + region.RegionSize < at) break;  // wrapped
  }
  return total;
}

}  // namespace

ProcessCounts TakeProcessCounts() {
  ProcessCounts counts;
  counts.handles = CountHandles();
  counts.gdiObjects = CountGdiObjects();
  counts.userObjects = CountUserObjects();
  counts.privateBytes = CountPrivateBytes();
  return counts;
}

std::string Describe(const ProcessCounts& counts) {
  char text[128];
  snprintf(text, sizeof text, "handles %lu, GDI %lu, USER %lu, private %.1f MiB",
           static_cast<unsigned long>(counts.handles),
           static_cast<unsigned long>(counts.gdiObjects),
           static_cast<unsigned long>(counts.userObjects),
           static_cast<double>(counts.privateBytes) / (1024.0 * 1024.0));
  return text;
}

}  // namespace testsupport
