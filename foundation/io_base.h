// em_utility::io_base: the file interface of the downloads, and create_io, its factory.
//
// Results are 0 for success and -1 for failure unless an operation says otherwise; the system's
// error code is not kept, the caller decides what a failure means.
#pragma once

#include <string>

namespace em_utility {

class io_base {
 public:
  virtual ~io_base() {}

  // Opens an existing file (never creates one), closing any open file first.
  virtual int open(const wchar_t* path, unsigned mode, bool read_only) = 0;
  // Always 0.
  virtual int close() = 0;
  // Reads until count bytes arrived, the file ended or a read failed; *got is the total.
  // -1 only when the last read failed; a count below 1 reads nothing.
  virtual int read(void* buffer, int count, unsigned* got) = 0;
  // 0 only when all count bytes were written.
  virtual int write(const void* buffer, unsigned count, unsigned* written) = 0;
  // origin: FILE_BEGIN, FILE_CURRENT or FILE_END. Always 0.
  virtual int seek(int offset, unsigned origin) = 0;
  // Creates or truncates the file for reading and writing, closing any open file first.
  virtual int create(const wchar_t* path, unsigned mode, unsigned attributes) = 0;
  // Closes, then deletes the file last opened or created.
  virtual int remove() = 0;
  virtual int set_end_of_file() = 0;
  virtual unsigned tell() = 0;
  // The low 32 bits of the file size.
  virtual unsigned size() = 0;
  // Copies the kept path, terminated, into out (room for MAX_PATH characters). Always 0.
  virtual int get_path(wchar_t* out) = 0;
  virtual bool is_open() = 0;
  virtual int flush() = 0;
  // Descriptive texts of a file kind; a plain file has none.
  virtual std::string query_text(unsigned what, unsigned flags) = 0;
  virtual std::string query_text_ex(unsigned what, unsigned flags) = 0;
};

// kind 0: a new win_io_base, which the caller deletes. Any other kind: null.
io_base* create_io(unsigned kind);

}  // namespace em_utility
