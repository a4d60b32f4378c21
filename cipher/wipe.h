#pragma once

#include <cstddef>

// Key material must not outlive its storage: every buffer that held part of a number is
// overwritten before it is released. The stores go through a volatile pointer so that the
// compiler cannot drop them as dead before the release.
inline void wipe_bytes(void* p, std::size_t count) {
  volatile unsigned char* b = static_cast<volatile unsigned char*>(p);
  while (count--) *b++ = 0;
}

inline void wipe_words(unsigned* p, std::size_t count) {
  wipe_bytes(p, count * sizeof(unsigned));
}
