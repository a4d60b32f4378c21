#include "cipher/des_run.h"

#include <cstring>

#include "cipher/wipe.h"

bool des_run(unsigned char* out, const unsigned char* in, unsigned length, const char* key,
             unsigned key_length, bool encrypt, const des_cipher& cipher) {
  if (!out || !in || !key || length == 0) return false;
  unsigned char key_bytes[16] = {};
  std::memcpy(key_bytes, key, key_length < 16 ? key_length : 16);
  const des_key_schedule first = cipher.schedule(key_bytes);
  const bool triple = key_length > 8;
  const des_key_schedule second = triple ? cipher.schedule(key_bytes + 8) : des_key_schedule{};

  const unsigned whole = length / 8;
  cipher.run(first, triple ? &second : nullptr, encrypt, in, out, whole);
  if (length % 8 != 0) {
    unsigned char block[8] = {};
    std::memcpy(block, in + 8 * whole, length % 8);
    cipher.run(first, triple ? &second : nullptr, encrypt, block, out + 8 * whole, 1);
  }
  wipe_bytes(key_bytes, sizeof key_bytes);
  return true;
}
