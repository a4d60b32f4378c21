#include "foundation/md5.h"

#include <windows.h>

#include <cstring>

#include "foundation/digest_blocks.h"
#include "foundation/scoped_handle.h"
#include "foundation/text_util.h"

namespace em_utility {

namespace {

// RFC 1321: the sine-derived additive constants and the shift amounts of the four rounds.
constexpr std::uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};
constexpr int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

inline std::uint32_t Rotl(std::uint32_t x, int n) {
  return (x << n) | (x >> (32 - n));
}

inline std::uint32_t LoadLe(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline void StoreLe(std::uint32_t v, std::uint8_t* p) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}

// Adds count bytes read from the file's current position; false when the file ends early or a
// read fails (the file shrank while it was read), since a digest of part of it would mislead.
bool DigestFromFile(HANDLE file, std::uint64_t count, md5_checksum& md5) {
  std::uint8_t piece[1024];
  while (count > 0) {
    DWORD want = count < sizeof(piece) ? static_cast<DWORD>(count) : sizeof(piece);
    DWORD got = 0;
    if (!ReadFile(file, piece, want, &got, nullptr) || got == 0) return false;
    md5.update(piece, got);
    count -= got;
  }
  return true;
}

HANDLE OpenForDigest(const wchar_t* path) {
  if (!path || !*path) return INVALID_HANDLE_VALUE;
  return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::uint64_t FileSize(HANDLE file) {
  LARGE_INTEGER size;
  return GetFileSizeEx(file, &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
}

}  // namespace

md5_checksum::md5_checksum() {
  reset();
}

md5_checksum::~md5_checksum() {}

void md5_checksum::reset() {
  std::memset(m_buffer, 0, sizeof(m_buffer));
  m_count[0] = m_count[1] = 0;
  m_state[0] = 0x67452301;
  m_state[1] = 0xefcdab89;
  m_state[2] = 0x98badcfe;
  m_state[3] = 0x10325476;
}

void md5_checksum::update(const void* data, std::uint32_t length) {
  digest_blocks::Feed(m_buffer, m_count, data, length,
                      [this](const std::uint8_t* block) { transform(block); });
}

void md5_checksum::transform(const std::uint8_t block[64]) {
  std::uint32_t x[16];
  for (int i = 0; i < 16; ++i) x[i] = LoadLe(block + 4 * i);
  std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
  // Fully unrolled, every constant and word index below is known at compile time.
#pragma GCC unroll 64
  for (int i = 0; i < 64; ++i) {
    int round = i / 16;
    // Each step waits for b, the newest word: the forms below combine b last, and in the second
    // round the half without b (its two terms never share a bit) goes in first.
    std::uint32_t f;
    int word;
    if (round == 0) {
      f = d ^ (b & (c ^ d));  // (b & c) | (~b & d)
      word = i;
    } else if (round == 1) {
      f = (c & ~d) + (b & d);  // (d & b) | (~d & c)
      word = (5 * i + 1) & 15;
    } else if (round == 2) {
      f = b ^ c ^ d;
      word = (3 * i + 5) & 15;
    } else {
      f = c ^ (b | ~d);
      word = (7 * i) & 15;
    }
    std::uint32_t next = b + Rotl(a + x[word] + kSine[i] + f, kShift[round][i & 3]);
    a = d;
    d = c;
    c = b;
    b = next;
  }
  m_state[0] += a;
  m_state[1] += b;
  m_state[2] += c;
  m_state[3] += d;
}

void md5_checksum::final(std::uint8_t* out, std::uint32_t out_size) {
  if (!out || out_size < 16) return;
  std::uint8_t bits[8];
  StoreLe(m_count[0], bits);
  StoreLe(m_count[1], bits + 4);
  update(digest_blocks::kPadding, digest_blocks::PaddingLength(m_count));
  update(bits, 8);
  for (int i = 0; i < 4; ++i) StoreLe(m_state[i], out + 4 * i);
}

std::string md5_checksum::hex_digest() {
  std::uint8_t digest[16];
  final(digest, sizeof(digest));
  return bytes_to_hex(digest, sizeof(digest));
}

std::string md5_string(const void* data, std::uint32_t length) {
  md5_checksum md5;
  md5.update(data, length);
  return md5.hex_digest();
}

std::string md5_file(const wchar_t* path) {
  ScopedFileHandle file(OpenForDigest(path));
  if (!file.valid()) return std::string();
  std::uint64_t size = FileSize(file.get());
  md5_checksum md5;
  if (size == 0 || !DigestFromFile(file.get(), size, md5)) return std::string();
  return md5.hex_digest();
}

std::string md5_file_range(const wchar_t* path, std::uint32_t offset, std::uint32_t length) {
  ScopedFileHandle file(OpenForDigest(path));
  if (!file.valid()) return std::string();
  std::uint64_t size = FileSize(file.get());
  if (size == 0 || offset >= size || length > size - offset) return std::string();
  LARGE_INTEGER start;
  start.QuadPart = offset;
  if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)) return std::string();
  md5_checksum md5;
  if (!DigestFromFile(file.get(), length, md5)) return std::string();
  return md5.hex_digest();
}

md5_value md5_digest(const void* data, std::uint32_t length) {
  md5_value value = {};
  md5_digest_to(data, length, value.bytes);
  return value;
}

bool md5_digest_to(const void* data, std::uint32_t length, std::uint8_t out[16]) {
  if (!data || length == 0 || !out) return false;
  md5_checksum md5;
  md5.update(data, length);
  md5.final(out, 16);
  return true;
}

void md5_zero(std::uint8_t value[16]) {
  if (value) std::memset(value, 0, 16);
}

bool md5_copy(std::uint8_t target[16], const std::uint8_t source[16]) {
  if (!target || !source) return false;
  std::memcpy(target, source, 16);
  return true;
}

bool md5_equal(const std::uint8_t a[16], const std::uint8_t b[16]) {
  return a && b && std::memcmp(a, b, 16) == 0;
}

std::string md5_to_hex(const std::uint8_t value[16]) {
  return value ? bytes_to_hex(value, 16) : std::string();
}

}  // namespace em_utility
