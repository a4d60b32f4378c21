// Owners of a kernel file handle, a directory search handle and a C runtime file, closed when
// they go.
#pragma once

#include <windows.h>

#include <cstdio>
#include <memory>

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

struct FileCloser {
  void operator()(FILE* file) const { fclose(file); }
};
using UniqueFile = std::unique_ptr<FILE, FileCloser>;
