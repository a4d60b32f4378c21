#pragma once

#include "cipher/wipe.h"

// Scratch words of the arithmetic (division temporaries, Montgomery products): zeroed on
// creation, wiped before release.
class word_buffer {
 public:
  explicit word_buffer(unsigned count) : words_(new unsigned[count ? count : 1]()), count_(count) {}
  ~word_buffer() {
    wipe_words(words_, count_);
    delete[] words_;
  }
  word_buffer(const word_buffer&) = delete;
  word_buffer& operator=(const word_buffer&) = delete;

  unsigned* data() { return words_; }
  const unsigned* data() const { return words_; }
  unsigned size() const { return count_; }
  unsigned& operator[](unsigned i) { return words_[i]; }
  unsigned operator[](unsigned i) const { return words_[i]; }

 private:
  unsigned* words_;
  unsigned count_;
};
