#include "cipher/vlong.h"

#include <cstring>

#include "cipher/vlong_access.h"
#include "cipher/word_buffer.h"
#include "cipher/words.h"

namespace {

vlong_data* new_data() {
  return new vlong_data{0, nullptr, 0, 0};
}

void free_words(vlong_data* d) {
  wipe_words(d->a, d->z);
  delete[] d->a;
  d->a = nullptr;
  d->z = 0;
}

void release(vlong_data* d) {
  if (d->share) {
    --d->share;
    return;
  }
  free_words(d);
  delete d;
}

// Grows the storage to exactly `count` words, keeping the value. The replaced storage is wiped
// like a destroyed value's: it held the same number.
void reserve(vlong_data* d, unsigned count) {
  if (count <= d->z) return;
  unsigned* words = new unsigned[count]();
  if (d->n) std::memcpy(words, d->a, d->n * sizeof(unsigned));
  free_words(d);
  d->a = words;
  d->z = count;
}

int compare_signed(const vlong& x, const vlong& y) {
  const bool xn = vlong_access::negative(x);
  if (xn != vlong_access::negative(y)) return xn ? -1 : 1;
  int c = compare_words(vlong_access::words(x), vlong_access::length(x), vlong_access::words(y),
                        vlong_access::length(y));
  return xn ? -c : c;
}

// x += y with y's sign inverted when `subtract` is set.
void add_signed(vlong& x, const vlong& y, bool subtract) {
  const unsigned* xa = vlong_access::words(x);
  const unsigned* ya = vlong_access::words(y);
  const unsigned xl = vlong_access::length(x), yl = vlong_access::length(y);
  const bool xn = vlong_access::negative(x);
  const bool yn = vlong_access::negative(y) != subtract;
  if (xn == yn) {
    word_buffer sum((xl > yl ? xl : yl) + 1);
    unsigned n = add_words(sum.data(), xa, xl, ya, yl);
    vlong_access::assign(x, sum.data(), n, xn);
    return;
  }
  // Opposite signs: the smaller magnitude from the larger, with the larger one's sign.
  if (compare_words(xa, xl, ya, yl) >= 0) {
    word_buffer diff(xl);
    unsigned n = subtract_words(diff.data(), xa, xl, ya, yl);
    vlong_access::assign(x, diff.data(), n, xn);
  } else {
    word_buffer diff(yl);
    unsigned n = subtract_words(diff.data(), ya, yl, xa, xl);
    vlong_access::assign(x, diff.data(), n, yn);
  }
}

void divide(const vlong& x, const vlong& y, vlong* quotient, vlong* remainder) {
  const unsigned* xa = vlong_access::words(x);
  const unsigned* ya = vlong_access::words(y);
  const unsigned xl = vlong_access::length(x), yl = vlong_access::length(y);
  if (yl == 0 || compare_words(xa, xl, ya, yl) < 0) {
    if (quotient) *quotient = vlong(0);
    if (remainder) *remainder = x;
    return;
  }
  word_buffer q(xl - yl + 1), r(yl);
  divide_words(q.data(), r.data(), xa, xl, ya, yl);
  const bool xn = vlong_access::negative(x);
  if (quotient)
    vlong_access::assign(*quotient, q.data(), q.size(), xn != vlong_access::negative(y));
  if (remainder) vlong_access::assign(*remainder, r.data(), r.size(), xn);
}

// x = x op y word by word on the magnitudes, keeping x's sign.
template <typename Op>
void combine_words(vlong& x, const vlong& y, Op op) {
  const unsigned xl = vlong_access::length(x), yl = vlong_access::length(y);
  const unsigned n = xl > yl ? xl : yl;
  word_buffer r(n);
  for (unsigned i = 0; i < n; ++i) {
    r[i] = op(i < xl ? vlong_access::words(x)[i] : 0, i < yl ? vlong_access::words(y)[i] : 0);
  }
  vlong_access::assign(x, r.data(), n, vlong_access::negative(x));
}

// r = the lowest `width` bits of x's magnitude; r holds (width + 31) / 32 words.
void copy_low_bits(const vlong& x, unsigned width, word_buffer& r) {
  const unsigned n = vlong_access::length(x);
  for (unsigned i = 0; i < r.size() && i < n; ++i) r[i] = vlong_access::words(x)[i];
  if (width % 32) r[r.size() - 1] &= (1u << (width % 32)) - 1;
}

}  // namespace

void vlong_access::assign(vlong& x, const unsigned* words, unsigned count, bool negative) {
  count = normalised_length(words, count);
  vlong_data* d = x.value;
  if (d->share) {
    --d->share;
    d = x.value = new_data();
  }
  if (count > d->z) {
    unsigned* fresh = new unsigned[count]();
    std::memcpy(fresh, words, count * sizeof(unsigned));
    free_words(d);
    d->a = fresh;
    d->z = count;
  } else if (count) {
    std::memmove(d->a, words, count * sizeof(unsigned));
  }
  for (unsigned i = count; i < d->n; ++i) d->a[i] = 0;
  d->n = count;
  x.negative = negative && count != 0;
}

vlong::vlong(unsigned x) : value(new_data()), negative(0) {
  if (x) vlong_access::assign(*this, &x, 1, false);
}

vlong::vlong(const vlong& x) : value(x.value), negative(x.negative) {
  ++value->share;
}

vlong& vlong::operator=(const vlong& x) {
  if (value != x.value) {
    release(value);
    value = x.value;
    ++value->share;
  }
  negative = x.negative;
  return *this;
}

vlong::~vlong() {
  release(value);
}

vlong::operator unsigned() const {
  return value->n ? value->a[0] : 0;
}

unsigned vlong::bits() const {
  if (value->n == 0) return 0;
  return (value->n - 1) * 32 + (32 - __builtin_clz(value->a[value->n - 1]));
}

bool vlong::test(unsigned i) const {
  return i / 32 < value->n && ((value->a[i / 32] >> (i % 32)) & 1);
}

void vlong::set(unsigned i) {
  if (test(i)) return;
  const unsigned w = i / 32;
  if (value->share) {
    // Detach: a fresh copy of the words, then change it.
    vlong_access::assign(*this, value->a, value->n, negative);
  }
  if (w >= value->n) {
    reserve(value, w + 1);
    value->n = w + 1;
  }
  value->a[w] |= 1u << (i % 32);
}

void vlong::clear(unsigned i) {
  if (!test(i)) return;
  word_buffer words(value->n);
  std::memcpy(words.data(), value->a, value->n * sizeof(unsigned));
  words[i / 32] &= ~(1u << (i % 32));
  vlong_access::assign(*this, words.data(), words.size(), negative);
}

void vlong::load(const unsigned* words, unsigned count) {
  vlong_access::assign(*this, words, count, false);
}

void vlong::store(unsigned* words, unsigned count) const {
  for (unsigned i = 0; i < count; ++i) words[i] = i < value->n ? value->a[i] : 0;
}

bool vlong::operator==(const vlong& y) const {
  return compare_signed(*this, y) == 0;
}
bool vlong::operator!=(const vlong& y) const {
  return compare_signed(*this, y) != 0;
}
bool vlong::operator<(const vlong& y) const {
  return compare_signed(*this, y) < 0;
}
bool vlong::operator<=(const vlong& y) const {
  return compare_signed(*this, y) <= 0;
}
bool vlong::operator>(const vlong& y) const {
  return compare_signed(*this, y) > 0;
}
bool vlong::operator>=(const vlong& y) const {
  return compare_signed(*this, y) >= 0;
}

vlong& vlong::operator+=(const vlong& y) {
  add_signed(*this, y, false);
  return *this;
}

vlong& vlong::operator-=(const vlong& y) {
  add_signed(*this, y, true);
  return *this;
}

vlong vlong::operator+(const vlong& y) const {
  vlong r(*this);
  return r += y;
}

vlong vlong::operator-(const vlong& y) const {
  vlong r(*this);
  return r -= y;
}

vlong vlong::operator*(const vlong& y) const {
  const unsigned xl = value->n, yl = y.value->n;
  word_buffer product(xl + yl);
  if (value == y.value) {
    square_words(product.data(), value->a, xl);
  } else {
    multiply_words(product.data(), value->a, xl, y.value->a, yl);
  }
  vlong r;
  vlong_access::assign(r, product.data(), product.size(), (negative != 0) != (y.negative != 0));
  return r;
}

vlong vlong::operator/(const vlong& y) const {
  vlong q;
  divide(*this, y, &q, nullptr);
  return q;
}

vlong vlong::operator%(const vlong& y) const {
  vlong r;
  divide(*this, y, nullptr, &r);
  return r;
}

vlong& vlong::operator^=(const vlong& y) {
  combine_words(*this, y, [](unsigned a, unsigned b) { return a ^ b; });
  return *this;
}

vlong& vlong::operator&=(const vlong& y) {
  combine_words(*this, y, [](unsigned a, unsigned b) { return a & b; });
  return *this;
}

vlong vlong::operator^(const vlong& y) const {
  vlong r(*this);
  return r ^= y;
}

vlong vlong::operator&(const vlong& y) const {
  vlong r(*this);
  return r &= y;
}

vlong& vlong::operator>>=(unsigned k) {
  const unsigned n = value->n, skip = k / 32, bit = k % 32;
  if (skip >= n) {
    vlong_access::assign(*this, nullptr, 0, false);
    return *this;
  }
  word_buffer r(n - skip);
  for (unsigned i = 0; i < r.size(); ++i) {
    unsigned high = i + skip + 1 < n ? value->a[i + skip + 1] : 0;
    r[i] = bit ? (value->a[i + skip] >> bit) | (high << (32 - bit)) : value->a[i + skip];
  }
  vlong_access::assign(*this, r.data(), r.size(), negative);
  return *this;
}

void vlong::rotate_left(unsigned width) {
  if (width == 0) return vlong_access::assign(*this, nullptr, 0, false);
  const bool top = test(width - 1);
  word_buffer r((width + 31) / 32);
  copy_low_bits(*this, width, r);
  unsigned carry = top ? 1 : 0;
  for (unsigned i = 0; i < r.size(); ++i) {
    unsigned w = r[i];
    r[i] = (w << 1) | carry;
    carry = w >> 31;
  }
  if (width % 32) r[r.size() - 1] &= (1u << (width % 32)) - 1;
  vlong_access::assign(*this, r.data(), r.size(), negative);
}

void vlong::rotate_right(unsigned width) {
  if (width == 0) return vlong_access::assign(*this, nullptr, 0, false);
  const bool bottom = test(0);
  word_buffer r((width + 31) / 32);
  copy_low_bits(*this, width, r);
  for (unsigned i = 0; i < r.size(); ++i) {
    unsigned high = i + 1 < r.size() ? r[i + 1] : 0;
    r[i] = (r[i] >> 1) | (high << 31);
  }
  if (bottom) r[(width - 1) / 32] |= 1u << ((width - 1) % 32);
  vlong_access::assign(*this, r.data(), r.size(), negative);
}

int vlong::and_parity(const vlong& y) const {
  unsigned n = value->n < y.value->n ? value->n : y.value->n;
  unsigned acc = 0;
  for (unsigned i = 0; i < n; ++i) acc ^= value->a[i] & y.value->a[i];
  return __builtin_parity(acc);
}

vlong vlong::power_of_two(unsigned i) {
  vlong r;
  r.set(i);
  return r;
}
