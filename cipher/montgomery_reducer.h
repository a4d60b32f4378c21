#pragma once

#include "cipher/vlong.h"
#include "cipher/word_buffer.h"

// Powers modulo one odd modulus m > 1 through Montgomery products on whole 32-bit words
// (R = 2^(32·n) for an n-word m), with 64-bit partial products. Any R coprime to m gives the same
// powers; whole words keep every reduction step a word-sized multiply.
class montgomery_reducer {
 public:
  explicit montgomery_reducer(const vlong& m);

  // x^e mod m for 0 <= x < m, using the magnitude of e.
  vlong exp(const vlong& x, const vlong& e) const;

 private:
  // r = a·b·R⁻¹ mod m (r may be a or b); t is scratch of 2n + 1 words.
  void multiply(unsigned* r, const unsigned* a, const unsigned* b, unsigned* t) const;
  void square(unsigned* r, const unsigned* a, unsigned* t) const;
  // r = t·R⁻¹ mod m for t < m·R held in 2n + 1 words (t is destroyed).
  void reduce(unsigned* r, unsigned* t) const;
  // x·R mod m into r (n words).
  void to_domain(unsigned* r, const vlong& x) const;

  vlong m_;
  const unsigned* mw_;  // m's words (n of them)
  unsigned n_;
  unsigned minv_;  // -m⁻¹ mod 2^32
};
