#include "cipher/key_generation.h"

#include <cstdlib>

namespace encrypt_module {

namespace {

vlong random_start() {
  vlong x;
  for (int i = 0; i < 64; ++i) {
    const unsigned code = 'A' + static_cast<unsigned>(std::rand() % 175);
    x = x * 256 + code;
  }
  return x;
}

}  // namespace

bool make_key_pair(const small_prime_sieve& sieve, unsigned seed, vlong& p, vlong& q) {
  std::srand(seed);
  vlong first = random_start();
  vlong second = random_start();
  p = sieve.next_prime_from(first);
  q = sieve.next_prime_from(second);
  if (p > q) {
    vlong t = p;
    p = q;
    q = t;
  }
  const vlong m = p * q;
  if (m.bits() <= 992) return false;
  const vlong e = 65537;
  return vlong_gcd(p - 1, e) == 1 && vlong_gcd(q - 1, e) == 1;
}

}  // namespace encrypt_module
