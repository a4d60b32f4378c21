#pragma once

#include <cstdint>

// Arithmetic on magnitudes held as arrays of 32-bit words, least significant first. Lengths are
// word counts; "normalised" means the top word is non-zero (or the length is 0).

unsigned normalised_length(const unsigned* a, unsigned n);

// <0, 0, >0 as a is below, equal to or above b; both normalised.
int compare_words(const unsigned* a, unsigned na, const unsigned* b, unsigned nb);

// r = a + b; r holds max(na, nb) + 1 words; returns the normalised length.
unsigned add_words(unsigned* r, const unsigned* a, unsigned na, const unsigned* b, unsigned nb);

// r = a - b for a >= b; r holds na words (it may be a itself); returns the normalised length.
unsigned subtract_words(unsigned* r, const unsigned* a, unsigned na, const unsigned* b,
                        unsigned nb);

// One column of a product scan: a sum of 64-bit partial products held in three words. Summing a
// column's products before storing anything needs no carry caught per product and no store per
// product, which is where a row-by-row product spends its time on a 32-bit machine.
class column_sum {
 public:
  void add(unsigned x, unsigned y) {
    carry_ += __builtin_add_overflow(low_, static_cast<std::uint64_t>(x) * y, &low_);
  }
  // Adds x[i]·y[-i] for i in 0 .. count-1 (y runs downwards).
  void add_products(const unsigned* x, const unsigned* y, unsigned count) {
    std::uint64_t low = low_;  // locals: the words read cannot be mistaken for the sum
    unsigned carry = carry_;
    for (const unsigned* const end = x + count; x != end; ++x, --y) {
      carry += __builtin_add_overflow(low, static_cast<std::uint64_t>(*x) * *y, &low);
    }
    low_ = low;
    carry_ = carry;
  }
  // Adds twice the sum c.
  void add_twice(const column_sum& c) {
    carry_ += 2 * c.carry_ + static_cast<unsigned>(c.low_ >> 63);
    carry_ += __builtin_add_overflow(low_, c.low_ << 1, &low_);
  }
  unsigned low_word() const { return static_cast<unsigned>(low_); }
  // The column's low word; the rest, a word down, starts the next column.
  unsigned next() {
    const unsigned word = static_cast<unsigned>(low_);
    low_ = low_ >> 32 | static_cast<std::uint64_t>(carry_) << 32;
    carry_ = 0;
    return word;
  }

 private:
  std::uint64_t low_ = 0;
  unsigned carry_ = 0;  // multiples of 2^64
};

// r = a * b; r holds na + nb words, none of which may overlap a or b.
void multiply_words(unsigned* r, const unsigned* a, unsigned na, const unsigned* b, unsigned nb);

// r = a * a; r holds 2n words, not overlapping a. About two thirds of the work of a product.
void square_words(unsigned* r, const unsigned* a, unsigned n);

// Long division on whole words: q = a / b (na - nb + 1 words), r = a % b (nb words), for a
// normalised b of nb >= 1 words and na >= nb.
void divide_words(unsigned* q, unsigned* r, const unsigned* a, unsigned na, const unsigned* b,
                  unsigned nb);

// a % d for a single non-zero word d.
unsigned remainder_word(const unsigned* a, unsigned na, unsigned d);
