#pragma once

#include "cipher/export.h"
#include "cipher/public_key.h"
#include "cipher/vlong.h"

namespace encrypt_module {

// The prime factors as a record: p in words 0-15 and q in words 16-31, each least significant
// word first.
struct SK {
  unsigned long data[32];
};

static_assert(sizeof(SK) == 128, "SK is passed by value through the exported interface");

// The key pair: the public key and the prime factors p and q of m. Decrypts by the Chinese
// remainder, deriving the private exponent from e, p and q each time. A default-constructed key
// holds the module's built-in 1024-bit pair.
class ENCRYPT_MODULE_API private_key : public public_key {
 public:
  private_key();
  private_key(const private_key& other);
  private_key& operator=(const private_key& other);
  ~private_key();

  // The built-in key pair and exponent.
  void set_m();
  void set_p();
  void set_q();
  void set_e();

  // A new key pair from two time-seeded random 512-bit starting points (p < q).
  void create();

  // c^d mod m; a number not below m clears `requires`, and while it is 0 every result is m.
  vlong decrypt(const vlong& c);
  void decrypt(unsigned long* words);
  // Blocks of 128 bytes (the last zero-padded) to blocks of 124, with a zero byte after the
  // output. Null for a null cipher text or a negative length.
  char* decrypt(const char* cipher, int length, int& out_length);
  void delete_buf(char* buf);

  // p and q from the record, m = p·q, e = 65537, `requires` = 1.
  void SK_to_vlong(SK sk);
  void vlong_to_SK(SK& sk) const;

  vlong p;
  vlong q;
};

static_assert(sizeof(private_key) == 36, "private_key's layout is part of the exported interface");

}  // namespace encrypt_module
