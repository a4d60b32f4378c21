#include "cipher/des_cipher.h"

#include <cstring>

namespace {

inline std::uint32_t rotate_left(std::uint32_t x, int n) {
  return (x << n) | (x >> (32 - n));
}

}  // namespace

constexpr des_cipher kModuleDes(kModuleDesConventions);

des_key_schedule des_cipher::schedule(const unsigned char key[8]) const {
  unsigned char bits[65];  // bits[1..64] of the key
  for (int i = 0; i < 64; ++i) {
    const int t = conventions_.low_bit_first ? i % 8 : 7 - i % 8;
    bits[i + 1] = (key[i / 8] >> t) & 1;
  }
  unsigned char cd[56];  // C (0-27) and D (28-55)
  for (int i = 0; i < 56; ++i) cd[i] = bits[des_tables::kPermutedChoice1[i]];

  des_key_schedule k{};
  for (int round = 0; round < 16; ++round) {
    for (int n = 0; n < des_tables::kRotations[round]; ++n) {
      const unsigned char c0 = cd[0], d0 = cd[28];
      std::memmove(cd, cd + 1, 27);
      cd[27] = c0;
      std::memmove(cd + 28, cd + 29, 27);
      cd[55] = d0;
    }
    std::uint32_t groups[8] = {};
    for (int t = 0; t < 48; ++t) {
      groups[t / 6] |= static_cast<std::uint32_t>(cd[des_tables::kPermutedChoice2[t] - 1])
                       << (5 - t % 6);
    }
    k.even[round] = groups[0] | groups[2] << 24 | groups[4] << 16 | groups[6] << 8;
    k.odd[round] = groups[1] | groups[3] << 24 | groups[5] << 16 | groups[7] << 8;
  }
  return k;
}

// P(S(E(r) ⊕ K)): group j of E(r) is r rotated left by 5 + 4j, low six bits; rotating by 5
// and by 9 puts four groups each at byte boundaries.
inline std::uint32_t des_cipher::f(std::uint32_t r, std::uint32_t even, std::uint32_t odd) const {
  const std::uint32_t u = rotate_left(r, 5) ^ even;
  const std::uint32_t v = rotate_left(r, 9) ^ odd;
  return sp_[0][u & 63] ^ sp_[2][(u >> 24) & 63] ^ sp_[4][(u >> 16) & 63] ^ sp_[6][(u >> 8) & 63] ^
         sp_[1][v & 63] ^ sp_[3][(v >> 24) & 63] ^ sp_[5][(v >> 16) & 63] ^ sp_[7][(v >> 8) & 63];
}

inline void des_cipher::permute_in(const unsigned char block[8], std::uint32_t& l,
                                   std::uint32_t& r) const {
  std::uint64_t x = 0;
  for (int b = 0; b < 8; ++b) x |= initial_[b][block[b]];
  l = static_cast<std::uint32_t>(x >> 32);
  r = static_cast<std::uint32_t>(x);
}

inline void des_cipher::permute_out(std::uint32_t x, std::uint32_t y,
                                    unsigned char block[8]) const {
  const std::uint64_t out = final_[0][x >> 24] | final_[1][(x >> 16) & 255] |
                            final_[2][(x >> 8) & 255] | final_[3][x & 255] | final_[4][y >> 24] |
                            final_[5][(y >> 16) & 255] | final_[6][(y >> 8) & 255] |
                            final_[7][y & 255];
  for (int b = 0; b < 8; ++b) block[b] = static_cast<unsigned char>(out >> (8 * b));
}

void des_cipher::encrypt(const des_key_schedule& k, unsigned char block[8]) const {
  std::uint32_t l, r;
  permute_in(block, l, r);
  // L(i) = R(i-1), R(i) = L(i-1) ⊕ f(R(i-1), K(i)), two rounds at a time without exchanges.
  for (int i = 0; i < 16; i += 2) {
    l ^= f(r, k.even[i], k.odd[i]);
    r ^= f(l, k.even[i + 1], k.odd[i + 1]);
  }
  if (conventions_.no_final_exchange) {
    permute_out(l, r, block);
  } else {
    permute_out(r, l, block);
  }
}

void des_cipher::decrypt(const des_key_schedule& k, unsigned char block[8]) const {
  std::uint32_t a, b;
  permute_in(block, a, b);
  std::uint32_t l = conventions_.no_final_exchange ? a : b;
  std::uint32_t r = conventions_.no_final_exchange ? b : a;
  // Back from (L16, R16): R(i-1) = L(i), L(i-1) = R(i) ⊕ f(L(i), K(i)).
  for (int i = 15; i > 0; i -= 2) {
    r ^= f(l, k.even[i], k.odd[i]);
    l ^= f(r, k.even[i - 1], k.odd[i - 1]);
  }
  permute_out(l, r, block);
}
