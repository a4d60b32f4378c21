// MD5 (RFC 1321): the digest of the network side. Written out it is 32 lower-case hex digits.
#pragma once

#include <cstdint>
#include <string>

namespace em_utility {

class md5_checksum {
 public:
  md5_checksum();
  virtual ~md5_checksum();

  // Back to the initial state, as if newly constructed.
  void reset();
  // Adds bytes; pieces of any size give the same digest as the whole.
  void update(const void* data, std::uint32_t length);
  // Pads the message and writes the 16 digest bytes. Does nothing when out is null or out_size
  // is below 16. The object is not reset: one object yields one digest.
  void final(std::uint8_t* out, std::uint32_t out_size);
  // final, then the digest as 32 lower-case hex digits.
  std::string hex_digest();

 private:
  void transform(const std::uint8_t block[64]);

  std::uint8_t m_buffer[64];
  std::uint32_t m_count[2];  // message bits, low word first
  std::uint32_t m_state[4];
};

// The hex digest of a byte string; a length of 0 gives the digest of the empty message.
std::string md5_string(const void* data, std::uint32_t length);

// The hex digest of a whole file, read with others allowed to read. A file that cannot be
// opened or read to its end, and an empty file, give an empty string.
std::string md5_file(const wchar_t* path);
// The hex digest of the bytes [offset, offset + length) of a file. An empty string when the file
// cannot be opened or read, is empty, or the range does not lie inside it; an empty range inside
// the file gives the digest of the empty message.
std::string md5_file_range(const wchar_t* path, std::uint32_t offset, std::uint32_t length);

// A raw 16-byte digest.
struct md5_value {
  std::uint8_t bytes[16];
};

// The digest of a buffer; all zero bytes when data is null or length is 0.
md5_value md5_digest(const void* data, std::uint32_t length);
// The digest into a caller's 16-byte array; false (nothing written) for a null pointer or a
// zero length.
bool md5_digest_to(const void* data, std::uint32_t length, std::uint8_t out[16]);
void md5_zero(std::uint8_t value[16]);
// False when either pointer is null.
bool md5_copy(std::uint8_t target[16], const std::uint8_t source[16]);
// False when either pointer is null.
bool md5_equal(const std::uint8_t a[16], const std::uint8_t b[16]);
// 32 lower-case hex digits; empty for a null pointer.
std::string md5_to_hex(const std::uint8_t value[16]);

}  // namespace em_utility
