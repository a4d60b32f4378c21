// Byte-array helpers under the ring buffer: ring copies, byte-order reversal, sequence search.
#pragma once

#include <cstddef>
#include <cstdint>

// Reverses the byte order of a 2-, 4-, 6- or 8-byte value in place.
template <size_t Size>
void ReverseBytes(void* value) {
  static_assert(Size == 2 || Size == 4 || Size == 6 || Size == 8, "2, 4, 6 or 8 bytes");
  auto* bytes = static_cast<unsigned char*>(value);
  for (size_t i = 0; i < Size / 2; ++i) {
    unsigned char t = bytes[i];
    bytes[i] = bytes[Size - 1 - i];
    bytes[Size - 1 - i] = t;
  }
}

// (position + n) mod capacity for a position inside the ring and n up to the capacity: at most
// one lap, so a subtraction does what a division would (which costs more than a short copy).
inline uint32_t RingAdvance(uint32_t position, uint32_t n, uint32_t capacity) {
  return n >= capacity - position ? n - (capacity - position) : position + n;
}

// Copy n bytes out of / into a ring of the given capacity starting at position; the part beyond
// the ring's end continues at its start. n must not exceed the capacity.
void RingCopyOut(void* bytes, uint32_t n, const void* ring, uint32_t position, uint32_t capacity);
void RingCopyIn(const void* bytes, uint32_t n, void* ring, uint32_t position, uint32_t capacity);

// Returned when a byte sequence is not found.
constexpr uint32_t kBytesNotFound = 0xFFFFFFFFu;

// Offset of the first occurrence of needle in haystack, or kBytesNotFound when it is absent or
// either is null or empty. Every occurrence is found, also one that starts inside a failed
// partial match ("ab" in "aab").
uint32_t FindBytes(const void* haystack, uint32_t length, const void* needle,
                   uint32_t needleLength);

// The same search over count bytes read through byteAt(i), for storage that is not one array.
template <class ByteAt>
uint32_t FindByteSequence(ByteAt byteAt, uint32_t count, const void* needle,
                          uint32_t needleLength) {
  const auto* pattern = static_cast<const unsigned char*>(needle);
  if (!pattern || needleLength == 0 || needleLength > count) return kBytesNotFound;
  for (uint32_t start = 0; start <= count - needleLength; ++start) {
    uint32_t matched = 0;
    while (matched < needleLength && byteAt(start + matched) == pattern[matched]) ++matched;
    if (matched == needleLength) return start;
  }
  return kBytesNotFound;
}
