#include "cipher/key_blocks.h"

#include <climits>
#include <cstring>

#include "cipher/wipe.h"

namespace encrypt_module {

vlong words_to_vlong(const unsigned long* words, unsigned count) {
  unsigned w[kBlockWords];
  for (unsigned i = 0; i < count; ++i) w[i] = static_cast<unsigned>(words[i]);
  vlong x;
  x.load(w, count);
  wipe_words(w, count);
  return x;
}

void vlong_to_words(const vlong& x, unsigned long* words, unsigned count) {
  unsigned w[kBlockWords];
  x.store(w, count);
  for (unsigned i = 0; i < count; ++i) words[i] = w[i];
  wipe_words(w, count);
}

vlong block_to_vlong(const unsigned char* block) {
  unsigned w[kBlockWords];
  std::memcpy(w, block, sizeof w);
  vlong x;
  x.load(w, kBlockWords);
  wipe_words(w, kBlockWords);
  return x;
}

void vlong_to_block(const vlong& x, unsigned char* block) {
  unsigned w[kBlockWords];
  x.store(w, kBlockWords);
  std::memcpy(block, w, sizeof w);
  wipe_words(w, kBlockWords);
}

char* transform_blocks(const char* in, int length, int& out_length, int in_size, int out_size,
                       const std::function<void(int, unsigned char*)>& transform) {
  out_length = 0;
  if (length < 0 || (!in && length > 0)) return nullptr;
  const long long blocks = (static_cast<long long>(length) + in_size - 1) / in_size;
  if (blocks * out_size >= INT_MAX) return nullptr;
  const int total = static_cast<int>(blocks * out_size);
  char* out = new char[total + 1]();
  unsigned char work[kCipherBlockBytes];
  for (int i = 0; i < blocks; ++i) {
    const int offset = i * in_size;
    const int take = length - offset < in_size ? length - offset : in_size;
    std::memset(work, 0, sizeof work);
    std::memcpy(work, in + offset, take);
    transform(i, work);
    std::memcpy(out + i * out_size, work, out_size);
  }
  wipe_bytes(work, sizeof work);
  out_length = total;
  return out;
}

}  // namespace encrypt_module
