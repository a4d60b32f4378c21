#include "cipher/montgomery_reducer.h"

#include <cstdint>
#include <cstring>

#include "cipher/vlong_access.h"
#include "cipher/words.h"

montgomery_reducer::montgomery_reducer(const vlong& m)
    : m_(m), mw_(vlong_access::words(m_)), n_(vlong_access::length(m_)) {
  // Newton's iteration doubles the correct low bits of the inverse: 3 (odd m0) → 6 → 12 → 24 → 48.
  const unsigned m0 = mw_[0];
  unsigned inv = m0;
  for (int i = 0; i < 4; ++i) inv *= 2 - m0 * inv;
  minv_ = 0u - inv;
}

void montgomery_reducer::reduce(unsigned* r, unsigned* t) const {
  const unsigned n = n_;
  t[2 * n] = 0;
  for (unsigned i = 0; i < n; ++i) {
    const unsigned u = t[i] * minv_;  // makes t[i] zero
    std::uint64_t carry = 0;
    for (unsigned j = 0; j < n; ++j) {
      carry += static_cast<std::uint64_t>(u) * mw_[j] + t[i + j];
      t[i + j] = static_cast<unsigned>(carry);
      carry >>= 32;
    }
    for (unsigned k = i + n; carry && k <= 2 * n; ++k) {
      carry += t[k];
      t[k] = static_cast<unsigned>(carry);
      carry >>= 32;
    }
  }
  // t / R lies below 2m: at most one subtraction.
  unsigned* hi = t + n;
  if (hi[n] || compare_words(hi, normalised_length(hi, n), mw_, n) >= 0) {
    subtract_words(hi, hi, n + 1, mw_, n);
  }
  std::memcpy(r, hi, n * sizeof(unsigned));
}

void montgomery_reducer::multiply(unsigned* r, const unsigned* a, const unsigned* b,
                                  unsigned* t) const {
  multiply_words(t, a, n_, b, n_);
  reduce(r, t);
}

void montgomery_reducer::square(unsigned* r, const unsigned* a, unsigned* t) const {
  square_words(t, a, n_);
  reduce(r, t);
}

void montgomery_reducer::to_domain(unsigned* r, const vlong& x) const {
  const unsigned xl = vlong_access::length(x);
  std::memset(r, 0, n_ * sizeof(unsigned));
  if (xl == 0) return;
  word_buffer shifted(n_ + xl), q(xl + 1);
  for (unsigned i = 0; i < xl; ++i) shifted[n_ + i] = vlong_access::words(x)[i];
  divide_words(q.data(), r, shifted.data(), n_ + xl, mw_, n_);
}

vlong montgomery_reducer::exp(const vlong& x, const vlong& e) const {
  const unsigned n = n_;
  const unsigned ebits = e.bits();
  // Sliding windows of w bits: 2^(w-1) odd powers are kept.
  const unsigned w = ebits < 32 ? 1 : ebits < 128 ? 3 : ebits < 512 ? 4 : 5;
  const unsigned table_size = 1u << (w - 1);
  word_buffer table(table_size * n), result(n), t(2 * n + 1), x2(n);

  to_domain(table.data(), x);
  if (table_size > 1) {
    square(x2.data(), table.data(), t.data());
    for (unsigned i = 1; i < table_size; ++i) {
      multiply(table.data() + i * n, table.data() + (i - 1) * n, x2.data(), t.data());
    }
  }

  bool started = false;
  for (int i = static_cast<int>(ebits) - 1; i >= 0;) {
    if (!e.test(i)) {
      if (started) square(result.data(), result.data(), t.data());
      --i;
      continue;
    }
    int j = i - static_cast<int>(w) + 1;
    if (j < 0) j = 0;
    while (!e.test(j)) ++j;
    unsigned window = 0;
    for (int b = i; b >= j; --b) window = (window << 1) | (e.test(b) ? 1 : 0);
    const unsigned* power = table.data() + ((window - 1) / 2) * n;
    if (started) {
      for (int b = i; b >= j; --b) square(result.data(), result.data(), t.data());
      multiply(result.data(), result.data(), power, t.data());
    } else {
      std::memcpy(result.data(), power, n * sizeof(unsigned));
      started = true;
    }
    i = j - 1;
  }
  if (!started) to_domain(result.data(), vlong(1));

  // Out of the domain: a Montgomery product with 1.
  word_buffer one(n);
  one[0] = 1;
  multiply(result.data(), result.data(), one.data(), t.data());
  vlong r;
  vlong_access::assign(r, result.data(), n, false);
  return r;
}
