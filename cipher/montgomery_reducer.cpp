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

// Column k of x + u·m, where u[k] is chosen as the column is reached so that the column's low
// word becomes zero; after n columns the rest is (x + u·m) / R.
void montgomery_reducer::montgomery(unsigned* r, const unsigned* a, const unsigned* b,
                                    operand kind, unsigned* u) const {
  const unsigned n = n_;
  column_sum s;
  for (unsigned k = 0; k + 1 < 2 * n; ++k) {
    const unsigned first = k < n ? 0 : k - n + 1;
    switch (kind) {
      case operand::product:
        s.add_products(a + first, b + (k - first), (k < n ? k : n - 1) - first + 1);
        break;
      case operand::square: {
        column_sum cross;
        cross.add_products(a + first, a + (k - first), (k + 1) / 2 - first);
        s.add_twice(cross);
        if (k % 2 == 0) s.add(a[k / 2], a[k / 2]);
        break;
      }
      case operand::alone:
        if (k < n) s.add(a[k], 1);
        break;
    }
    if (k < n) {
      s.add_products(u, mw_ + k, k);
      u[k] = s.low_word() * minv_;
      s.add(u[k], mw_[0]);
      s.next();
    } else {
      // Writing r[k - n] is safe where r is a or b: later columns read neither a[k - n] nor
      // b[k - n].
      s.add_products(u + first, mw_ + (n - 1), n - first);
      r[k - n] = s.next();
    }
  }
  r[n - 1] = s.next();
  // The result lies below 2m: at most one subtraction, whose borrow clears the top word.
  if (s.low_word() || compare_words(r, normalised_length(r, n), mw_, n) >= 0) {
    subtract_words(r, r, n, mw_, n);
  }
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
  word_buffer table(table_size * n), result(n), t(n), x2(n);

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
  montgomery(result.data(), result.data(), nullptr, operand::alone, t.data());
  vlong r;
  vlong_access::assign(r, result.data(), n, false);
  return r;
}
