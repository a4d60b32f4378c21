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

// DES for one set of conventions: the initial and final permutations as a short network of
// bit-group exchanges within and between the two halves (plus a byte reversal for the low-bit-first
// order), and combined S-box-and-P tables for the round function. Halves are held with the
// standard's bit 1 as the most significant bit.
class des_cipher {
 public:
  constexpr explicit des_cipher(des_conventions c);

  des_key_schedule schedule(const unsigned char key[8]) const;
  void encrypt(const des_key_schedule& k, unsigned char block[8]) const;
  // The exact inverse of encrypt.
  void decrypt(const des_key_schedule& k, unsigned char block[8]) const;
  // ECB over `blocks` whole blocks from in to out (which may be in itself): single DES without
  // `second`, else two-key triple DES (encrypt-decrypt-encrypt with first, second, first; for
  // decryption the inverse).
  void run(const des_key_schedule& first, const des_key_schedule* second, bool encrypt,
           const unsigned char* in, unsigned char* out, unsigned blocks) const;

 private:
  struct halves {
    std::uint32_t l, r;
  };
  std::uint32_t f(std::uint32_t r, std::uint32_t even, std::uint32_t odd) const;
  void forward(const des_key_schedule& k, halves& x, halves& y) const;
  void backward(const des_key_schedule& k, halves& x, halves& y) const;
  halves permute_in(const unsigned char block[8]) const;
  void permute_out(const halves& x, unsigned char block[8]) const;

  des_conventions conventions_;
  std::uint32_t sp_[8][64] = {};  // S-box input group → P of its output
};

// The initial permutation on the block read as two big-endian words (the standard's bit order),
// as five exchanges of bit groups; the final permutation is the same exchanges in reverse order.
namespace des_network {

// Exchanges the bits of a picked out by mask << shift with the bits of b picked out by mask
// (a and b being the left and right word, or the other way round when right_first).
struct exchange_step {
  bool right_first;
  int shift;
  std::uint32_t mask;
};

constexpr exchange_step kSteps[5] = {{false, 4, 0x0f0f0f0f},
                                     {false, 16, 0x0000ffff},
                                     {true, 2, 0x33333333},
                                     {true, 8, 0x00ff00ff},
                                     {false, 1, 0x55555555}};

constexpr void exchange(const exchange_step& step, std::uint32_t& l, std::uint32_t& r) {
  std::uint32_t& a = step.right_first ? r : l;
  std::uint32_t& b = step.right_first ? l : r;
  const std::uint32_t t = ((a >> step.shift) ^ b) & step.mask;
  b ^= t;
  a ^= t << step.shift;
}

// Unrolled, each step's shift and mask are constants of the code.
constexpr void initial(std::uint32_t& l, std::uint32_t& r) {
#pragma GCC unroll 5
  for (int i = 0; i < 5; ++i) exchange(kSteps[i], l, r);
}

constexpr void final(std::uint32_t& l, std::uint32_t& r) {
#pragma GCC unroll 5
  for (int i = 4; i >= 0; --i) exchange(kSteps[i], l, r);
}

// Bit n (1 = most significant of the first word) of a 64-bit block held in two words.
constexpr bool bit(std::uint32_t l, std::uint32_t r, int n) {
  return n <= 32 ? (l >> (32 - n)) & 1 : (r >> (64 - n)) & 1;
}

// Output bit j of each network is input bit table[j - 1], as the published tables say.
constexpr bool matches(const unsigned char (&table)[64], bool initial_network) {
  for (int i = 1; i <= 64; ++i) {
    std::uint32_t l = i <= 32 ? std::uint32_t(1) << (32 - i) : 0;
    std::uint32_t r = i > 32 ? std::uint32_t(1) << (64 - i) : 0;
    if (initial_network) {
      initial(l, r);
    } else {
      final(l, r);
    }
    for (int j = 1; j <= 64; ++j) {
      if (bit(l, r, j) != (table[j - 1] == i)) return false;
    }
  }
  return true;
}

static_assert(matches(des_tables::kInitialPermutation, true), "IP network");
static_assert(matches(des_tables::kFinalPermutation, false), "FP network");

}  // namespace des_network

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
