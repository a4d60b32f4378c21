#pragma once

#include <vector>

#include "cipher/vlong.h"

// The primes below a bound, and the prime search built on them: a window sieve by the small
// primes in front of a Fermat test.
class small_prime_sieve {
 public:
  explicit small_prime_sieve(unsigned bound);

  unsigned count() const { return static_cast<unsigned>(primes_.size()); }
  unsigned prime(unsigned i) const { return primes_[i]; }

  // Advances start to the first probable prime at or above it and returns it.
  vlong next_prime_from(vlong& start) const;
  // Fermat's test to the bases 2, 3, 5 and 7.
  bool fermat_probable(vlong p) const;
  // Divides the small primes out of n into factor; true when n turns out to be a small prime,
  // false once n falls below limit, otherwise the Fermat test of what remains.
  bool strip_small_factors(vlong& n, vlong& factor, vlong limit) const;

 private:
  std::vector<unsigned> primes_;
};
