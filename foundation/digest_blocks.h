// The block buffering that MD5 and SHA-1 share: both cut the message into 64-byte blocks and
// count its length in bits in two 32-bit words.
#pragma once

#include <cstdint>
#include <cstring>

namespace digest_blocks {

// Bytes of the message that wait in the block buffer.
inline std::uint32_t Pending(const std::uint32_t bits[2]) {
  return (bits[0] >> 3) & 63;
}

// Adds length bytes: each block completed is handed to transform (a pointer to 64 bytes) at
// once, the rest waits in buffer. The low word's carry goes into the high word, and the length's
// top bits (length >> 29) too, so counts of 512 MiB and more stay exact.
template <typename Transform>
void Feed(std::uint8_t buffer[64], std::uint32_t bits[2], const void* data, std::uint32_t length,
          Transform transform) {
  if (!data || length == 0) return;
  const auto* input = static_cast<const std::uint8_t*>(data);
  std::uint32_t index = Pending(bits);
  std::uint32_t added = length << 3;
  bits[0] += added;
  if (bits[0] < added) ++bits[1];
  bits[1] += length >> 29;

  std::uint32_t done = 0;
  std::uint32_t room = 64 - index;
  if (length >= room) {
    std::memcpy(buffer + index, input, room);
    transform(buffer);
    for (done = room; length - done >= 64; done += 64) transform(input + done);
    index = 0;
  }
  std::memcpy(buffer + index, input + done, length - done);
}

// How many padding bytes (0x80 and zeros) bring the message to 56 bytes past a block boundary.
inline std::uint32_t PaddingLength(const std::uint32_t bits[2]) {
  std::uint32_t index = Pending(bits);
  return index < 56 ? 56 - index : 120 - index;
}

// 0x80 followed by zeros: the start of every padding.
extern const std::uint8_t kPadding[64];

}  // namespace digest_blocks
