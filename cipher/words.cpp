#include "cipher/words.h"

#include <cstdint>

#include "cipher/word_buffer.h"

namespace {

// a[0..n) += m * b[0..n); returns the carry out of the top word.
unsigned multiply_add(unsigned* a, const unsigned* b, unsigned n, unsigned m) {
  std::uint64_t carry = 0;
  for (unsigned i = 0; i < n; ++i) {
    std::uint64_t t = static_cast<std::uint64_t>(m) * b[i] + a[i] + carry;
    a[i] = static_cast<unsigned>(t);
    carry = t >> 32;
  }
  return static_cast<unsigned>(carry);
}

}  // namespace

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
  for (unsigned i = 0; i < na + nb; ++i) r[i] = 0;
  for (unsigned i = 0; i < na; ++i) r[i + nb] = multiply_add(r + i, b, nb, a[i]);
}

void square_words(unsigned* r, const unsigned* a, unsigned n) {
  for (unsigned i = 0; i < 2 * n; ++i) r[i] = 0;
  if (n == 0) return;
  // The products a[i]·a[j] for i < j, once each, then doubled; then the squares a[i]² added.
  for (unsigned i = 0; i + 1 < n; ++i)
    r[i + n] = multiply_add(r + 2 * i + 1, a + i + 1, n - i - 1, a[i]);
  unsigned top = 0;
  for (unsigned i = 0; i < 2 * n; ++i) {
    unsigned w = r[i];
    r[i] = (w << 1) | top;
    top = w >> 31;
  }
  std::uint64_t carry = 0;
  for (unsigned i = 0; i < n; ++i) {
    std::uint64_t sq = static_cast<std::uint64_t>(a[i]) * a[i];
    carry += static_cast<std::uint64_t>(r[2 * i]) + static_cast<unsigned>(sq);
    r[2 * i] = static_cast<unsigned>(carry);
    carry >>= 32;
    carry += static_cast<std::uint64_t>(r[2 * i + 1]) + (sq >> 32);
    r[2 * i + 1] = static_cast<unsigned>(carry);
    carry >>= 32;
  }
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
