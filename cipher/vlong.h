#pragma once

#include "cipher/export.h"

struct vlong_data;

// Signed integer of any size. Copies share their words until one of them changes (copy on
// write), so passing by value is cheap; the share count is not atomic, so a value and its copies
// belong to one thread. Storage is wiped before it is released: values are often key material.
//
// Part of the exported interface (the key classes take and return it by value), so its layout
// is fixed: a pointer to the shared words and a sign flag, 8 bytes.
class ENCRYPT_MODULE_API vlong {
 public:
  vlong(unsigned x = 0);
  vlong(const vlong& x);
  vlong& operator=(const vlong& x);
  ~vlong();

  // The lowest word of the magnitude (0 for zero).
  explicit operator unsigned() const;

  // Index of the highest set bit + 1 (0 for zero).
  unsigned bits() const;
  bool test(unsigned i) const;
  void set(unsigned i);
  void clear(unsigned i);

  // Builds a non-negative value from `count` words, least significant first.
  void load(const unsigned* words, unsigned count);
  // Writes the lowest `count` words of the magnitude, with zeros above the value's length.
  void store(unsigned* words, unsigned count) const;

  // Sign first, then magnitude; zero is never negative.
  bool operator==(const vlong& y) const;
  bool operator!=(const vlong& y) const;
  bool operator<(const vlong& y) const;
  bool operator<=(const vlong& y) const;
  bool operator>(const vlong& y) const;
  bool operator>=(const vlong& y) const;

  vlong& operator+=(const vlong& y);
  vlong& operator-=(const vlong& y);
  vlong operator+(const vlong& y) const;
  vlong operator-(const vlong& y) const;
  vlong operator*(const vlong& y) const;
  // Truncating division: the quotient's sign is the exclusive or of the signs, the remainder
  // takes the dividend's. Dividing by zero gives the quotient 0 and the remainder x.
  vlong operator/(const vlong& y) const;
  vlong operator%(const vlong& y) const;

  // Word-wise on the magnitudes; the result keeps this value's sign.
  vlong& operator^=(const vlong& y);
  vlong& operator&=(const vlong& y);
  vlong operator^(const vlong& y) const;
  vlong operator&(const vlong& y) const;
  // Shifts the magnitude right by `k` bits, keeping the sign.
  vlong& operator>>=(unsigned k);

  // Rotate the lowest `width` bits of the magnitude by one place; bits above are cleared.
  void rotate_left(unsigned width);
  void rotate_right(unsigned width);
  // Parity (0 or 1) of the number of bits set in both magnitudes.
  int and_parity(const vlong& y) const;
  // The value with only bit i set.
  static vlong power_of_two(unsigned i);

 private:
  friend struct vlong_access;
  vlong_data* value;
  int negative;  // 1 = negative; never set for zero
};

static_assert(sizeof(vlong) == 8, "vlong's layout is part of the exported interface");

// Greatest common divisor by Euclid's remainders.
vlong vlong_gcd(const vlong& a, const vlong& b);
// i with a·i ≡ 1 (mod m), by the extended Euclid's algorithm.
vlong vlong_modinv(const vlong& a, const vlong& m);
// x^e mod m in 0 .. m-1 (the magnitude of e; a zero modulus gives 0).
vlong vlong_modexp(const vlong& x, const vlong& e, const vlong& m);
// x / 2 modulo an odd m: x / 2 when x is even, else (x + m) / 2.
vlong vlong_half_mod(const vlong& x, const vlong& m);

// x is the Montgomery form, for n = p·q with R the smallest power of two not below n, of a value
// y; the result is the Montgomery form of y^d mod n, by the Chinese remainder.
vlong vlong_montgomery_crt_exp(const vlong& x, const vlong& d, const vlong& n, const vlong& p,
                               const vlong& q);
// A value congruent modulo n to V_k of the Lucas sequence with parameters P and Q; k = 0 gives 2.
vlong vlong_lucas_v(vlong P, vlong Q, vlong k, vlong n);
// z in 0 .. p-1 with z² ≡ g (mod p), for an odd prime p and a square g.
vlong vlong_sqrt_mod(vlong g, vlong p);
