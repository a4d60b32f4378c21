#pragma once

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
