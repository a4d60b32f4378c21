#pragma once

#include "cipher/des_cipher.h"

// DES in ECB over length bytes, the last block zero-padded. A key of up to 8 bytes gives single
// DES; 9 to 16 bytes give two-key triple DES (encrypt-decrypt-encrypt, decryption in reverse)
// with bytes 9-16, zero-padded, as the second key; bytes after the 16th are ignored. out holds
// length rounded up to a multiple of 8 bytes and may be in itself. False, with nothing done, for
// a null out, in or key or a length of 0.
bool des_run(unsigned char* out, const unsigned char* in, unsigned length, const char* key,
             unsigned key_length, bool encrypt, const des_cipher& cipher = kModuleDes);
