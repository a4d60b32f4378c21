#pragma once

#include <cstdint>

#include "cipher/des_tables.h"

// The module's DES uses the published tables but departs from the standard's bit conventions in
// three fixed ways, which its cipher texts depend on. Each can be switched off, so that the same
// code also computes standard DES.
struct des_conventions {
  // Bit i of a block or key is (byte[i / 8] >> (i % 8)) & 1 (the standard takes the high bit
  // first).
  bool low_bit_first;
  // An S-box's 4-bit output goes least significant bit first into its four places.
  bool sbox_low_bit_first;
  // The final permutation takes L16 then R16 (the standard exchanges the halves first).
  bool no_final_exchange;
};

constexpr des_conventions kModuleDesConventions{true, true, true};
constexpr des_conventions kStandardDesConventions{false, false, false};

// One key's 16 round keys, each as its eight 6-bit groups placed where the round function
// meets them: groups 0, 2, 4, 6 in `even`, 1, 3, 5, 7 in `odd`.
struct des_key_schedule {
  std::uint32_t even[16];
  std::uint32_t odd[16];
};

// Table-driven DES for one set of conventions: byte-indexed tables for the initial and final
// permutations (which also apply the byte-to-bit convention) and combined S-box-and-P tables for
// the round function. Halves are held with the standard's bit 1 as the most significant bit.
class des_cipher {
 public:
  constexpr explicit des_cipher(des_conventions c);

  des_key_schedule schedule(const unsigned char key[8]) const;
  void encrypt(const des_key_schedule& k, unsigned char block[8]) const;
  // The exact inverse of encrypt.
  void decrypt(const des_key_schedule& k, unsigned char block[8]) const;

 private:
  std::uint32_t f(std::uint32_t r, std::uint32_t even, std::uint32_t odd) const;
  void permute_in(const unsigned char block[8], std::uint32_t& l, std::uint32_t& r) const;
  void permute_out(std::uint32_t x, std::uint32_t y, unsigned char block[8]) const;

  des_conventions conventions_;
  std::uint64_t initial_[8][256] = {};  // input byte → the bits it gives L (high) and R (low)
  std::uint64_t final_[8][256] = {};    // byte of L‖R (byte 0 = bits 1-8) → output bytes
  std::uint32_t sp_[8][64] = {};        // S-box input group → P of its output
};

// The round function meets the expansion E as rotations of R: group j of E(R) is R's bits 4j
// to 4j + 5 (bit 0 meaning bit 32). This checks that against the table.
constexpr bool expansion_is_rotation() {
  for (int j = 0; j < 8; ++j) {
    for (int t = 0; t < 6; ++t) {
      if (des_tables::kExpansion[6 * j + t] != (4 * j + t + 31) % 32 + 1) return false;
    }
  }
  return true;
}
static_assert(expansion_is_rotation(), "E must be the standard expansion");

constexpr des_cipher::des_cipher(des_conventions c) : conventions_(c) {
  // Where each bit goes: initial permutation output bit j takes input bit IP[j], final
  // permutation output bit j takes bit FP[j] of L‖R.
  int initial_place[65] = {}, final_place[65] = {};
  for (int j = 1; j <= 64; ++j) {
    initial_place[des_tables::kInitialPermutation[j - 1]] = j;
    final_place[des_tables::kFinalPermutation[j - 1]] = j;
  }
  for (int b = 0; b < 8; ++b) {
    for (int v = 0; v < 256; ++v) {
      std::uint64_t in = 0, out = 0;
      for (int t = 0; t < 8; ++t) {
        if (!((v >> t) & 1)) continue;
        // Bit t (0 = least significant) of input byte b is the block's bit i.
        const int i = 8 * b + (c.low_bit_first ? t : 7 - t) + 1;
        in |= std::uint64_t(1) << (64 - initial_place[i]);
        // Byte b of L‖R holds its bits 8b + 1 (high) to 8b + 8 (low).
        const int j = final_place[8 * b + (7 - t) + 1];
        const int pos = c.low_bit_first ? (j - 1) % 8 : 7 - (j - 1) % 8;
        out |= std::uint64_t(1) << (8 * ((j - 1) / 8) + pos);
      }
      initial_[b][v] = in;
      final_[b][v] = out;
    }
  }
  for (int box = 0; box < 8; ++box) {
    for (int x = 0; x < 64; ++x) {
      // Row from the first and sixth bits, column from bits 2-5 (the second most significant).
      const int row = ((x >> 5) & 1) * 2 + (x & 1);
      const int column = (x >> 1) & 15;
      const int s = des_tables::kSBoxes[box][row][column];
      std::uint32_t word = 0;
      for (int k = 1; k <= 32; ++k) {
        // f's bit k is S-box output bit P[k]; that bit belongs to this box when it lies in
        // 4·box + 1 .. 4·box + 4.
        const int o = des_tables::kPermutation[k - 1] - 1 - 4 * box;
        if (o < 0 || o > 3) continue;
        const int bit = c.sbox_low_bit_first ? (s >> o) & 1 : (s >> (3 - o)) & 1;
        if (bit) word |= std::uint32_t(1) << (32 - k);
      }
      sp_[box][x] = word;
    }
  }
}

// The module's own DES.
extern const des_cipher kModuleDes;
