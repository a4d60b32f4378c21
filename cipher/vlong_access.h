#pragma once

#include "cipher/vlong.h"

// The words of a vlong and the count of its significant words. Shared by every copy of a value;
// the last owner wipes the words before freeing them.
struct vlong_data {
  unsigned n;      // significant words: the top one is non-zero, or n is 0 for zero
  unsigned* a;     // the words, least significant first
  unsigned z;      // words allocated
  unsigned share;  // how many further vlong objects share this data (0: one owner)
};

static_assert(sizeof(vlong_data) == 16, "vlong_data is reached through the exported vlong");

// Word-level access for the module's own arithmetic (Montgomery products, the prime sieve).
struct vlong_access {
  static const unsigned* words(const vlong& x) { return x.value->a; }
  static unsigned length(const vlong& x) { return x.value->n; }
  static bool negative(const vlong& x) { return x.negative != 0; }
  // Gives x the magnitude words[0..count) (which may be x's own words) and the sign; the top
  // zero words are dropped and zero is never negative.
  static void assign(vlong& x, const unsigned* words, unsigned count, bool negative);
  static void set_negative(vlong& x, bool negative) { x.negative = negative && x.value->n != 0; }
};
