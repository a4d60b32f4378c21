// em_utility::win_io_base: io_base over a Win32 file handle. Not thread-safe: one user at a time.
#pragma once

#include <windows.h>

#include <string>

#include "foundation/io_base.h"

namespace em_utility {

class win_io_base : public io_base {
 public:
  win_io_base() = default;
  ~win_io_base() override;
  win_io_base(const win_io_base&) = delete;
  win_io_base& operator=(const win_io_base&) = delete;

  // Read only: read access, others may read too. Otherwise read and write access, others may
  // read and write too. A failure keeps the previous path.
  int open(const wchar_t* path, unsigned mode, bool read_only) override;
  int close() override;
  int read(void* buffer, int count, unsigned* got) override;
  int write(const void* buffer, unsigned count, unsigned* written) override;
  int seek(int offset, unsigned origin) override;
  // Read and write access, no sharing.
  int create(const wchar_t* path, unsigned mode, unsigned attributes) override;
  int remove() override;
  int set_end_of_file() override;
  unsigned tell() override;
  unsigned size() override;
  // A path too long for MAX_PATH characters arrives cut to MAX_PATH - 1 and terminated.
  int get_path(wchar_t* out) override;
  bool is_open() override;
  int flush() override;
  std::string query_text(unsigned what, unsigned flags) override;
  std::string query_text_ex(unsigned what, unsigned flags) override;

 private:
  int open_handle(const wchar_t* path, DWORD access, DWORD share, DWORD disposition);

  HANDLE m_file = INVALID_HANDLE_VALUE;
  // Kept whole, so that remove deletes the very file that was opened even when its path is
  // longer than what get_path can hand out.
  std::wstring m_path;
  bool m_read_only = false;
};

}  // namespace em_utility
