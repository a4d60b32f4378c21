#include "foundation/byte_ops.h"

#include <cstring>

void RingCopyOut(void* bytes, uint32_t n, const void* ring, uint32_t position, uint32_t capacity) {
  const auto* src = static_cast<const unsigned char*>(ring);
  auto* dst = static_cast<unsigned char*>(bytes);
  uint32_t first = capacity - position < n ? capacity - position : n;
  std::memcpy(dst, src + position, first);
  if (n > first) std::memcpy(dst + first, src, n - first);
}

void RingCopyIn(const void* bytes, uint32_t n, void* ring, uint32_t position, uint32_t capacity) {
  const auto* src = static_cast<const unsigned char*>(bytes);
  auto* dst = static_cast<unsigned char*>(ring);
  uint32_t first = capacity - position < n ? capacity - position : n;
  std::memcpy(dst + position, src, first);
  if (n > first) std::memcpy(dst, src + first, n - first);
}

uint32_t FindBytes(const void* haystack, uint32_t length, const void* needle,
                   uint32_t needleLength) {
  if (!haystack) return kBytesNotFound;
  const auto* bytes = static_cast<const unsigned char*>(haystack);
  return FindByteSequence([bytes](uint32_t i) { return bytes[i]; }, length, needle, needleLength);
}
