#include "foundation/win_io_base.h"

#include <cwchar>

namespace em_utility {

win_io_base::~win_io_base() {
  close();
}

int win_io_base::open_handle(const wchar_t* path, DWORD access, DWORD share, DWORD disposition) {
  close();
  if (!path) return -1;
  HANDLE file =
      CreateFileW(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  m_file = file;
  m_path = path;
  return 0;
}

int win_io_base::open(const wchar_t* path, unsigned /*mode*/, bool read_only) {
  m_read_only = read_only;
  if (read_only) return open_handle(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  return open_handle(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     OPEN_EXISTING);
}

int win_io_base::create(const wchar_t* path, unsigned /*mode*/, unsigned /*attributes*/) {
  if (open_handle(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS) != 0) return -1;
  m_read_only = false;
  return 0;
}

int win_io_base::close() {
  if (m_file != INVALID_HANDLE_VALUE) {
    CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
  }
  return 0;
}

int win_io_base::read(void* buffer, int count, unsigned* got) {
  unsigned total = 0;
  bool failed = false;
  char* bytes = static_cast<char*>(buffer);
  while (count > 0 && total < static_cast<unsigned>(count)) {
    DWORD n = 0;
    if (!ReadFile(m_file, bytes + total, static_cast<DWORD>(count) - total, &n, nullptr)) {
      failed = true;
      break;
    }
    if (n == 0) break;  // end of file
    total += n;
  }
  if (got) *got = total;
  return failed ? -1 : 0;
}

int win_io_base::write(const void* buffer, unsigned count, unsigned* written) {
  DWORD n = 0;
  BOOL ok = WriteFile(m_file, buffer, count, &n, nullptr);
  if (written) *written = n;
  return ok && n == count ? 0 : -1;
}

int win_io_base::seek(int offset, unsigned origin) {
  SetFilePointer(m_file, offset, nullptr, origin);
  return 0;
}

int win_io_base::remove() {
  close();
  return DeleteFileW(m_path.c_str()) ? 0 : -1;
}

int win_io_base::set_end_of_file() {
  return SetEndOfFile(m_file) ? 0 : -1;
}

unsigned win_io_base::tell() {
  return SetFilePointer(m_file, 0, nullptr, FILE_CURRENT);
}

unsigned win_io_base::size() {
  return GetFileSize(m_file, nullptr);
}

int win_io_base::get_path(wchar_t* out) {
  if (!out) return 0;
  size_t n = m_path.size() < MAX_PATH ? m_path.size() : MAX_PATH - 1;
  wmemcpy(out, m_path.c_str(), n);
  out[n] = L'\0';
  return 0;
}

bool win_io_base::is_open() {
  return m_file != INVALID_HANDLE_VALUE;
}

int win_io_base::flush() {
  return FlushFileBuffers(m_file) ? 0 : -1;
}

std::string win_io_base::query_text(unsigned, unsigned) {
  return std::string();
}

std::string win_io_base::query_text_ex(unsigned, unsigned) {
  return std::string();
}

}  // namespace em_utility
