#include "cipher/des_cipher.h"

#include <cstring>
#include <utility>

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
// and by 9 puts four groups each at byte boundaries. One mask per word leaves each group alone
// in its byte, and the eight lookups are combined as a tree: the round's chain of dependent
// steps, not the number of steps, sets the speed.
inline std::uint32_t des_cipher::f(std::uint32_t r, std::uint32_t even, std::uint32_t odd) const {
  const std::uint32_t u = (rotate_left(r, 5) ^ even) & 0x3f3f3f3f;
  const std::uint32_t v = (rotate_left(r, 9) ^ odd) & 0x3f3f3f3f;
  const std::uint32_t a = sp_[0][u & 255] ^ sp_[6][(u >> 8) & 255];
  const std::uint32_t b = sp_[4][(u >> 16) & 255] ^ sp_[2][u >> 24];
  const std::uint32_t c = sp_[1][v & 255] ^ sp_[7][(v >> 8) & 255];
  const std::uint32_t d = sp_[5][(v >> 16) & 255] ^ sp_[3][v >> 24];
  return (a ^ b) ^ (c ^ d);
}

inline des_cipher::halves des_cipher::permute_in(const unsigned char block[8]) const {
  std::uint32_t a = std::uint32_t(block[0]) << 24 | block[1] << 16 | block[2] << 8 | block[3];
  std::uint32_t b = std::uint32_t(block[4]) << 24 | block[5] << 16 | block[6] << 8 | block[7];
  des_network::initial(a, b);
  if (conventions_.low_bit_first) {
    // Reading each byte from its low bit reverses the order of the permutation's eight output
    // bytes: the halves change places and each is byte-reversed.
    return {__builtin_bswap32(b), __builtin_bswap32(a)};
  }
  return {a, b};
}

inline void des_cipher::permute_out(const halves& x, unsigned char block[8]) const {
  std::uint32_t a = x.l, b = x.r;
  if (conventions_.low_bit_first) {
    a = __builtin_bswap32(x.r);
    b = __builtin_bswap32(x.l);
  }
  des_network::final(a, b);
  for (int i = 0; i < 4; ++i) {
    block[i] = static_cast<unsigned char>(a >> (24 - 8 * i));
    block[4 + i] = static_cast<unsigned char>(b >> (24 - 8 * i));
  }
}

// From (L0, R0) to (L16, R16) for two blocks side by side: L(i) = R(i-1),
// R(i) = L(i-1) ⊕ f(R(i-1), K(i)), two rounds at a time without exchanges. Each round is a chain
// of dependent steps; two independent chains keep the processor's units busy.
inline void des_cipher::forward(const des_key_schedule& k, halves& x, halves& y) const {
  for (int i = 0; i < 16; i += 2) {
    x.l ^= f(x.r, k.even[i], k.odd[i]);
    y.l ^= f(y.r, k.even[i], k.odd[i]);
    x.r ^= f(x.l, k.even[i + 1], k.odd[i + 1]);
    y.r ^= f(y.l, k.even[i + 1], k.odd[i + 1]);
  }
}

// Back from (L16, R16): R(i-1) = L(i), L(i-1) = R(i) ⊕ f(L(i), K(i)).
inline void des_cipher::backward(const des_key_schedule& k, halves& x, halves& y) const {
  for (int i = 15; i > 0; i -= 2) {
    x.r ^= f(x.l, k.even[i], k.odd[i]);
    y.r ^= f(y.l, k.even[i], k.odd[i]);
    x.l ^= f(x.r, k.even[i - 1], k.odd[i - 1]);
    y.l ^= f(y.r, k.even[i - 1], k.odd[i - 1]);
  }
}

// The final exchange of the halves (where the conventions keep it) stands at the cipher text's
// side: after the last encryption and before the first decryption. Between the passes of triple
// DES the final permutation of one pass and the initial one of the next cancel, so the halves
// go straight on. Blocks go through in pairs; a last odd block is paired with itself.
void des_cipher::run(const des_key_schedule& first, const des_key_schedule* second, bool encrypt,
                     const unsigned char* in, unsigned char* out, unsigned blocks) const {
  const bool exchange = !conventions_.no_final_exchange;
  for (unsigned n = 0; n < blocks; n += 2, in += 16, out += 16) {
    const bool pair = n + 1 < blocks;
    halves x = permute_in(in), y = permute_in(pair ? in + 8 : in);
    if (encrypt) {
      forward(first, x, y);
      if (second) {
        backward(*second, x, y);
        forward(first, x, y);
      }
    }
    if (exchange) {
      std::swap(x.l, x.r);
      std::swap(y.l, y.r);
    }
    if (!encrypt) {
      backward(first, x, y);
      if (second) {
        forward(*second, x, y);
        backward(first, x, y);
      }
    }
    unsigned char unused[8];
    permute_out(x, out);
    permute_out(y, pair ? out + 8 : unused);
  }
}

void des_cipher::encrypt(const des_key_schedule& k, unsigned char block[8]) const {
  run(k, nullptr, true, block, block, 1);
}

void des_cipher::decrypt(const des_key_schedule& k, unsigned char block[8]) const {
  run(k, nullptr, false, block, block, 1);
}
