// SHA-1 (FIPS 180-1): the digest that names local files and folders.
#pragma once

#include <cstdint>
#include <string>

class CSha1Hash {
 public:
  CSha1Hash();
  ~CSha1Hash();
  // The transform works through a pointer to this object's own workspace: a copy would write
  // into the original's.
  CSha1Hash(const CSha1Hash&) = delete;
  CSha1Hash& operator=(const CSha1Hash&) = delete;

  void Reset();
  // Adds bytes; pieces of any size give the same digest as the whole.
  void Update(const void* data, std::uint32_t length);
  // Pads the message and keeps the 20 digest bytes, then wipes every trace of the message. A
  // second digest needs Reset (or a new object).
  void Final();

  // The 20 digest bytes; false when out is null.
  bool CopyHash(std::uint8_t* out) const;
  // The digest as text into out (room for at least 80 characters): mode 0 upper-case hex pairs
  // separated by blanks, 1 decimal byte values separated by blanks, 2 40 upper-case hex digits.
  // False (nothing written) for a null out or another mode.
  bool FormatHash(wchar_t* out, int mode) const;
  // FormatHash into out; out stays untouched on failure.
  bool FormatHashString(std::wstring& out, int mode) const;

  // Adds the whole content of a file; does not call Final. False for a null path, a file that
  // cannot be opened, one of 2 GiB or more, or one that ends before its size was read.
  bool HashFile(const wchar_t* path);

  // The compression of one 64-byte block into state.
  void Transform(std::uint32_t state[5], const std::uint8_t block[64]);

 private:
  std::uint32_t m_state[5];
  std::uint32_t m_count[2];  // message bits, low word first
  std::uint8_t m_buffer[64];
  std::uint8_t m_digest[20];
  std::uint32_t m_workspace[16];
  std::uint32_t* m_block;
};

// The 40 upper-case hex digits of the SHA-1 of a byte string.
std::wstring Sha1HexOfBytes(const void* data, std::uint32_t length);
