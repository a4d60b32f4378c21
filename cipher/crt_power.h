#pragma once

#include "cipher/vlong.h"

// c^d mod p·q by the Chinese remainder, for primes p and q in either order: the powers modulo p
// and q are joined as a + p·h with h = ((b - a)·p⁻¹ mod q) taken in 0 .. q-1.
vlong crt_power(const vlong& c, const vlong& d, const vlong& p, const vlong& q);
