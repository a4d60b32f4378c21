#include "cipher/montgomery_reducer.h"
#include "cipher/vlong.h"

vlong vlong_gcd(const vlong& a0, const vlong& b0) {
  vlong a = a0, b = b0;
  for (;;) {
    if (b == 0) return a;
    a = a % b;
    if (a == 0) return b;
    b = b % a;
  }
}

vlong vlong_modinv(const vlong& a, const vlong& m) {
  // Extended Euclid, keeping only the coefficient of a.
  vlong j = 1, i = 0, b = m, c = a;
  while (c != 0) {
    vlong x = b / c;
    vlong y = b - x * c;
    b = c;
    c = y;
    y = j;
    j = i - j * x;
    i = y;
  }
  if (i < 0) i += m;
  return i;
}

vlong vlong_modexp(const vlong& x, const vlong& e, const vlong& m0) {
  const vlong m = m0 < 0 ? vlong(0) - m0 : m0;
  if (m <= 1) return 0;
  vlong base = x % m;
  if (base < 0) base += m;
  if (m.test(0)) return montgomery_reducer(m).exp(base, e);
  // Montgomery products need an odd modulus; an even one takes plain remainders.
  vlong result = 1;
  for (unsigned i = e.bits(); i-- > 0;) {
    result = result * result % m;
    if (e.test(i)) result = result * base % m;
  }
  return result;
}

vlong vlong_half_mod(const vlong& x, const vlong& m) {
  vlong r = x.test(0) ? x + m : x;
  r >>= 1;
  return r;
}
