#pragma once

#include "cipher/export.h"
#include "cipher/vlong.h"

namespace encrypt_module {

// A modulus as a record: 32 words, least significant first. The public exponent is not part of
// it (loading one always takes 65537).
struct PK {
  unsigned long data[32];
};

static_assert(sizeof(PK) == 128, "PK is passed by value through the exported interface");

// Textbook RSA encryption with the modulus m and the public exponent e, on a number, on an array
// of 32 words and on a byte string cut into blocks of 124 bytes (one 128-byte block each).
class ENCRYPT_MODULE_API public_key {
 public:
  public_key();
  public_key(const public_key& other);
  public_key& operator=(const public_key& other);
  ~public_key();

  // x^e mod m. A number not below m clears `requires` and tells the user; while `requires` is
  // 0 every result is m.
  vlong encrypt(const vlong& x);
  // The 32-word number in place.
  void encrypt(unsigned long* words);
  // Blocks of 124 bytes (the last zero-padded) to blocks of 128: out_length = 128 per block and
  // a zero byte after the output. Null for a null text or a length that cannot be encrypted.
  char* encrypt(const char* text, int length, int& out_length);
  // Frees a buffer of the block encrypt.
  void delete_buf(char* buf);

  int get_requires() const;
  void set_requires(int value);

  // m from the record, e = 65537, `requires` = 1.
  void PK_to_vlong(PK pk);
  void vlong_to_PK(PK& pk) const;

  // 1 while the key is usable; 0 once a number not below m was given. (The interface's name,
  // a keyword from C++20 on: the project builds as C++17.)
  int requires;
  vlong m;
  vlong e;
};

static_assert(sizeof(public_key) == 20, "public_key's layout is part of the exported interface");

}  // namespace encrypt_module
