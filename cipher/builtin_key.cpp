// The module's built-in key pair: a 1024-bit modulus m = p·q of two 512-bit primes p < q, with
// p - 1 and q - 1 prime to the public exponent 65537. Words least significant first.
#include "cipher/private_key.h"

namespace encrypt_module {

namespace {

const unsigned kModulus[32] = {
    0x6aaca4a9, 0xe0edc876, 0xc2f814bc, 0x087e066c, 0x8e056d94, 0xb53f574a, 0x371a41cf, 0x0dfb5679,
    0x6c983b88, 0x9197f2b0, 0xa040ddef, 0xd458ad24, 0x217e9fcf, 0xbfa70a23, 0x3de89cc0, 0xa2dfb63c,
    0xc0a0b2c2, 0x4bc77516, 0xcb9b84c3, 0xbd97a846, 0x3991dc5f, 0x9927218d, 0x5ad479af, 0x51a5ada6,
    0xfd0f5612, 0xa9ec0d72, 0x82d6fd98, 0x6381fb47, 0x610e1369, 0x1051724b, 0x38b6d835, 0xb992ce28,
};

const unsigned kPrimeP[16] = {
    0xcaa12adf, 0x0799f682, 0x1cc5f9f1, 0xbba21bca, 0xae710235, 0x1fe0e0b8, 0x3bf5bb9f, 0x8c986a33,
    0x8d4b5603, 0x09c7505e, 0x09937045, 0x4230df40, 0x1ebf4ec6, 0x8d8e0610, 0x08799ce9, 0xcd8dc684,
};

const unsigned kPrimeQ[16] = {
    0xf69c2977, 0x6bbe81f2, 0x257e3861, 0x7e9e5b77, 0xe841e572, 0xf9286252, 0xfe63d756, 0x88873857,
    0xff3b4d10, 0x8465fda4, 0x9956f561, 0xe4c40e97, 0xecc3dc14, 0x4a41f8ee, 0x54d32d89, 0xe71dbc04,
};

const unsigned kPublicExponent = 65537;

}  // namespace

void private_key::set_m() {
  m.load(kModulus, 32);
}
void private_key::set_p() {
  p.load(kPrimeP, 16);
}
void private_key::set_q() {
  q.load(kPrimeQ, 16);
}
void private_key::set_e() {
  e = kPublicExponent;
}

}  // namespace encrypt_module
