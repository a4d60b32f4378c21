// Owners of a kernel file handle and of a directory search handle, closed when they go.
#pragma once

#include <windows.h>

template <BOOL(WINAPI* Close)(HANDLE)>
class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle) : m_handle(handle) {}
  ~ScopedHandle() {
    if (valid()) Close(m_handle);
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  bool valid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
  HANDLE get() const { return m_handle; }

 private:
  HANDLE m_handle;
};

using ScopedFileHandle = ScopedHandle<CloseHandle>;
using ScopedFindHandle = ScopedHandle<FindClose>;
