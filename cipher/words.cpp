#include "cipher/words.h"

#include <cstdint>

#include "cipher/word_buffer.h"

unsigned normalised_length(const unsigned* a, unsigned n) {
  while (n > 0 && a[n - 1] == 0) --n;
  return n;
}

int compare_words(const unsigned* a, unsigned na, const unsigned* b, unsigned nb) {
  if (na != nb) return na < nb ? -1 : 1;
  for (unsigned i = na; i-- > 0;) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

unsigned add_words(unsigned* r, const unsigned* a, unsigned na, const unsigned* b, unsigned nb) {
  if (na < nb) {
    const unsigned* t = a;
    a = b;
    b = t;
    unsigned n = na;
    na = nb;
    nb = n;
  }
  std::uint64_t carry = 0;
  for (unsigned i = 0; i < na; ++i) {
    carry += a[i];
    if (i < nb) carry += b[i];
    r[i] = static_cast<unsigned>(carry);
    carry >>= 32;
  }
  r[na] = static_cast<unsigned>(carry);
  return normalised_length(r, na + 1);
}

unsigned subtract_words(unsigned* r, const unsigned* a, unsigned na, const unsigned* b,
                        unsigned nb) {
  unsigned borrow = 0;
  for (unsigned i = 0; i < na; ++i) {
    std::uint64_t t = static_cast<std::uint64_t>(a[i]) - (i < nb ? b[i] : 0) - borrow;
    r[i] = static_cast<unsigned>(t);
    borrow = static_cast<unsigned>(t >> 32) & 1;
  }
  return normalised_length(r, na);
}

void multiply_words(unsigned* r, const unsigned* a, unsigned na, const unsigned* b, unsigned nb) {
  if (na == 0 || nb == 0) {
    for (unsigned i = 0; i < na + nb; ++i) r[i] = 0;
    return;
  }
  // Column k gathers a[i]·b[k - i] for every i that keeps both indices in range.
  column_sum s;
  for (unsigned k = 0; k + 1 < na + nb; ++k) {
    const unsigned first = k < nb ? 0 : k - nb + 1;
    const unsigned last = k < na ? k : na - 1;
    s.add_products(a + first, b + (k - first), last - first + 1);
    r[k] = s.next();
  }
  r[na + nb - 1] = s.next();
}

void square_words(unsigned* r, const unsigned* a, unsigned n) {
  if (n == 0) return;
  // Column k: the products a[i]·a[k - i] with i < k - i once each, doubled, and a[k/2]² for an
  // even k.
  column_sum s;
  for (unsigned k = 0; k + 1 < 2 * n; ++k) {
    const unsigned first = k < n ? 0 : k - n + 1;
    const unsigned pairs = (k + 1) / 2 - first;
    column_sum cross;
    cross.add_products(a + first, a + (k - first), pairs);
    s.add_twice(cross);
    if (k % 2 == 0) s.add(a[k / 2], a[k / 2]);
    r[k] = s.next();
  }
  r[2 * n - 1] = s.next();
}

unsigned remainder_word(const unsigned* a, unsigned na, unsigned d) {
  std::uint64_t rem = 0;
  for (unsigned i = na; i-- > 0;) rem = ((rem << 32) | a[i]) % d;
  return static_cast<unsigned>(rem);
}

void divide_words(unsigned* q, unsigned* r, const unsigned* a, unsigned na, const unsigned* b,
                  unsigned nb) {
  if (nb == 1) {
    std::uint64_t rem = 0;
    for (unsigned i = na; i-- > 0;) {
      std::uint64_t cur = (rem << 32) | a[i];
      q[i] = static_cast<unsigned>(cur / b[0]);
      rem = cur % b[0];
    }
    r[0] = static_cast<unsigned>(rem);
    return;
  }
  // Normalise so that the divisor's top bit is set: each estimated quotient word is then at most
  // two too large.
  const int s = __builtin_clz(b[nb - 1]);
  word_buffer vn(nb), un(na + 1);
  for (unsigned i = nb - 1; i > 0; --i) vn[i] = (b[i] << s) | (s ? b[i - 1] >> (32 - s) : 0);
  vn[0] = b[0] << s;
  un[na] = s ? a[na - 1] >> (32 - s) : 0;
  for (unsigned i = na - 1; i > 0; --i) un[i] = (a[i] << s) | (s ? a[i - 1] >> (32 - s) : 0);
  un[0] = a[0] << s;

  const std::uint64_t base = std::uint64_t(1) << 32;
  for (unsigned j = na - nb + 1; j-- > 0;) {
    std::uint64_t num = (static_cast<std::uint64_t>(un[j + nb]) << 32) | un[j + nb - 1];
    std::uint64_t qhat = num / vn[nb - 1];
    std::uint64_t rhat = num % vn[nb - 1];
    while (qhat >= base || qhat * vn[nb - 2] > ((rhat << 32) | un[j + nb - 2])) {
      --qhat;
      rhat += vn[nb - 1];
      if (rhat >= base) break;
    }
    // un[j .. j+nb] -= qhat · vn
    std::int64_t borrow = 0;
    std::int64_t t = 0;
    for (unsigned i = 0; i < nb; ++i) {
      std::uint64_t p = qhat * vn[i];
      t = static_cast<std::int64_t>(un[i + j]) - borrow -
          static_cast<std::int64_t>(p & 0xffffffffu);
      un[i + j] = static_cast<unsigned>(t);
      borrow = static_cast<std::int64_t>(p >> 32) - (t >> 32);
    }
    t = static_cast<std::int64_t>(un[j + nb]) - borrow;
    un[j + nb] = static_cast<unsigned>(t);
    if (t < 0) {  // qhat was one too large: add the divisor back
      --qhat;
      std::uint64_t carry = 0;
      for (unsigned i = 0; i < nb; ++i) {
        carry += static_cast<std::uint64_t>(un[i + j]) + vn[i];
        un[i + j] = static_cast<unsigned>(carry);
        carry >>= 32;
      }
      un[j + nb] += static_cast<unsigned>(carry);
    }
    q[j] = static_cast<unsigned>(qhat);
  }
  for (unsigned i = 0; i < nb; ++i) r[i] = (un[i] >> s) | (s ? un[i + 1] << (32 - s) : 0);
}
