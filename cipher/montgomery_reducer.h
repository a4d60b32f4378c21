#pragma once

#include "cipher/vlong.h"
#include "cipher/word_buffer.h"

// Powers modulo one odd modulus m > 1 through Montgomery products on whole 32-bit words
// (R = 2^(32·n) for an n-word m), with 64-bit partial products summed column by column. Any R coprime to m gives the same
// powers; whole words keep every reduction step a word-sized multiply.
class montgomery_reducer {
 public:
  explicit montgomery_reducer(const vlong& m);

  // x^e mod m for 0 <= x < m, using the magnitude of e.
  vlong exp(const vlong& x, const vlong& e) const;

 private:
  enum class operand { product, square, alone };
  // r = x·R⁻¹ mod m for x = a·b, a² or a alone (b unused for the last two), all below m. One
  // product scan does both the product and the reduction; r may be a or b; u is scratch of
  // n words.
  void montgomery(unsigned* r, const unsigned* a, const unsigned* b, operand kind,
                  unsigned* u) const;
  void multiply(unsigned* r, const unsigned* a, const unsigned* b, unsigned* u) const {
    montgomery(r, a, b, operand::product, u);
  }
  void square(unsigned* r, const unsigned* a, unsigned* u) const {
    montgomery(r, a, a, operand::square, u);
  }
  // x·R mod m into r (n words).
  void to_domain(unsigned* r, const vlong& x) const;

  vlong m_;
  const unsigned* mw_;  // m's words (n of them)
  unsigned n_;
  unsigned minv_;  // -m⁻¹ mod 2^32
};
