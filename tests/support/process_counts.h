// What the process holds of the system's objects, to show that a load leaves nothing behind:
// kernel handles, GDI objects, USER objects and private bytes.
//
// Windows reports each count itself. Wine 8 reports none of them (the calls are stubs that give
// 0), so there they are counted directly: handles by asking each handle value in turn, GDI
// objects by the type of each slot of the process's GDI table, USER objects as the process's
// windows (top-level, child and message-only) and menus, and private bytes as the committed
// private pages of the address space.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

struct ProcessCounts {
  DWORD handles = 0;
  DWORD gdiObjects = 0;
  DWORD userObjects = 0;
  unsigned long long privateBytes = 0;
};

ProcessCounts TakeProcessCounts();

// "handles 123, GDI 45, USER 6, private 7.8 MiB"
std::string Describe(const ProcessCounts& counts);

}  // namespace testsupport
