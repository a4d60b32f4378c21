#pragma once

#include "cipher/small_prime_sieve.h"
#include "cipher/vlong.h"

namespace encrypt_module {

// The small primes that key creation sieves with: the 303 primes below 2000.
const unsigned kKeySieveBound = 2000;

// One draw of a key pair from the C runtime's generator seeded with seed: two numbers of 64
// random bytes 'A' + rand() % 175 (codes 65 to 239, the first most significant), each advanced to
// the next probable prime, p < q. False when the pair is unusable (m = p·q below 2^992, or p - 1
// or q - 1 sharing a factor with 65537); the caller then draws again with a new seed.
bool make_key_pair(const small_prime_sieve& sieve, unsigned seed, vlong& p, vlong& q);

}  // namespace encrypt_module
