#include "cipher/small_prime_sieve.h"

#include "cipher/vlong_access.h"
#include "cipher/words.h"

namespace {

const unsigned kWindow = 1000;

// start % q for a non-negative start and a small q.
unsigned remainder_of(const vlong& start, unsigned q) {
  return remainder_word(vlong_access::words(start), vlong_access::length(start), q);
}

}  // namespace

small_prime_sieve::small_prime_sieve(unsigned bound) {
  std::vector<unsigned char> flags(bound + 1, 1);
  for (unsigned p = 2; p < bound; ++p) {
    if (!flags[p]) continue;
    primes_.push_back(p);
    for (unsigned k = 2 * p; k < bound; k += p) flags[k] = 0;
  }
}

bool small_prime_sieve::fermat_probable(vlong p) const {
  if (p < 2) return false;
  static const unsigned kBases[] = {2, 3, 5, 7};
  for (unsigned b : kBases) {
    // A base that p divides says nothing: p is then that base, a prime.
    if (p == b) return true;
    if (vlong_modexp(b, p - 1, p) != 1) return false;
  }
  return true;
}

vlong small_prime_sieve::next_prime_from(vlong& start) const {
  if (start < 2) start = 2;
  for (;;) {
    bool flags[kWindow];
    for (bool& f : flags) f = true;
    for (unsigned q : primes_) {
      const unsigned r = remainder_of(start, q);
      unsigned first = r == 0 ? 0 : q - r;
      // The multiples of q in the window, but not q itself: at or below q, first is q's place.
      if (start <= q) first += q;
      for (unsigned i = first; i < kWindow; i += q) flags[i] = false;
    }
    for (unsigned i = 0; i < kWindow; ++i) {
      if (!flags[i]) continue;
      vlong candidate = start + i;
      if (fermat_probable(candidate)) {
        start = candidate;
        return start;
      }
    }
    start += kWindow;
  }
}

bool small_prime_sieve::strip_small_factors(vlong& n, vlong& factor, vlong limit) const {
  for (unsigned q : primes_) {
    while (n % q == 0) {
      if (n == q) return true;
      n = n / q;
      factor = factor * q;
      if (n < limit) return false;
    }
  }
  return fermat_probable(n);
}
