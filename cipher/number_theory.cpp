// Number-theoretic routines beside the key code: the Chinese-remainder power in the Montgomery
// domain, the Lucas sequence V and the square root modulo a prime.
#include "cipher/crt_power.h"
#include "cipher/vlong.h"

vlong crt_power(const vlong& c, const vlong& d, const vlong& p, const vlong& q) {
  const vlong u = vlong_modinv(p, q);
  const vlong a = vlong_modexp(c % p, d % (p - 1), p);
  vlong b = vlong_modexp(c % q, d % (q - 1), q);
  if (b < a) b = b + q;
  // With p > q, b + q may still lie below a: h is taken modulo q in 0 .. q-1.
  vlong h = (b - a) * u % q;
  if (h < 0) h += q;
  return a + p * h;
}

vlong vlong_montgomery_crt_exp(const vlong& x, const vlong& d, const vlong& n, const vlong& p,
                               const vlong& q) {
  // The domain's R is the smallest power of two not below n.
  const vlong R = n <= 1 ? vlong(1) : vlong::power_of_two((n - 1).bits());
  const vlong R1 = vlong_modinv(R - n, n);
  const vlong a = x * R1 % n;

  const vlong y = crt_power(a, d, p, q);
  return y * R % n;
}

vlong vlong_lucas_v(vlong P, vlong Q, vlong k, vlong n) {
  if (k == 0) return 2;  // V_0
  const vlong D = P * P - vlong(4) * Q;
  vlong U = 1, V = P;
  for (unsigned i = k.bits() - 1; i-- > 0;) {
    // Doubling, both from the current U and V.
    vlong U2 = U * V % n;
    vlong V2 = vlong_half_mod((V * V + D * U * U) % n, n);
    U = U2;
    V = V2;
    if (k.test(i)) {
      U2 = vlong_half_mod((P * U + V) % n, n);
      V2 = vlong_half_mod((P * V + D * U) % n, n);
      U = U2;
      V = V2;
    }
  }
  return V;
}

vlong vlong_sqrt_mod(vlong g, vlong p) {
  vlong z;
  if (p % 4 == 3) {
    z = vlong_modexp(g, p / 4 + 1, p);
  } else if (p % 8 == 5) {
    const vlong gamma = vlong_modexp(vlong(2) * g, p / 8, p);
    const vlong i = vlong(2) * g * gamma * gamma - 1;
    z = g * gamma * i;
  } else {
    // For a prime p the search ends at the latest at P = p; for a modulus that is no prime it
    // might never end, so it stops there with z = 0.
    for (vlong P = 1; P <= p; P += 1) {
      vlong D = (P * P - vlong(4) * g) % p;
      if (D < 0) D += p;
      if (D == 0) {
        z = vlong_half_mod(P, p);
        break;
      }
      if (vlong_modexp(D, (p - 1) / 2, p) != 1) {
        z = vlong_half_mod(vlong_lucas_v(P, g, (p + 1) / 2, p), p);
        break;
      }
    }
  }
  z = z % p;
  if (z < 0) z += p;
  return z;
}
