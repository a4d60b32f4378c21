#include "cipher/public_key.h"

#include <cstdio>

#include "cipher/key_blocks.h"
#include "foundation/message_box.h"

namespace encrypt_module {

namespace {

// The block encryption's trace lines on standard output, in the GBK code page:
// "加密前，%d，message_buf.text = +++%s+++" and "所谓的out_buf = +++%s+++".
const char kBlockTrace[] =
    "\xbc\xd3\xc3\xdc\xc7\xb0\xa3\xac%d\xa3\xac"
    "message_buf.text = +++%s+++\n\n";
const char kOutputTrace[] =
    "\xcb\xf9\xce\xbd\xb5\xc4"
    "out_buf = +++%s+++\n\n";

}  // namespace

public_key::public_key() : requires(1), m(0), e(0) {}

public_key::public_key(const public_key& other)
    : requires(other.requires), m(other.m), e(other.e) {}

public_key& public_key::operator=(const public_key& other) {
  requires = other.requires;
  m = other.m;
  e = other.e;
  return *this;
}

public_key::~public_key() {}

vlong public_key::encrypt(const vlong& x) {
  if (x >= m) {
    requires = 0;
    ShowMessageBox(nullptr, L"加密的数必须小于m", L"public_key::encrypt", MB_ICONERROR);
  }
  if (!requires) return m;
  return vlong_modexp(x, e, m);
}

void public_key::encrypt(unsigned long* words) {
  if (!words) return;
  vlong_to_words(encrypt(words_to_vlong(words, kBlockWords)), words, kBlockWords);
}

char* public_key::encrypt(const char* text, int length, int& out_length) {
  char* out = transform_blocks(text, length, out_length, kPlainBlockBytes, kCipherBlockBytes,
                               [this](int i, unsigned char* work) {
                                 std::printf(kBlockTrace, i, reinterpret_cast<char*>(work));
                                 vlong_to_block(encrypt(block_to_vlong(work)), work);
                               });
  if (out) std::printf(kOutputTrace, out);
  return out;
}

void public_key::delete_buf(char* buf) {
  delete[] buf;
}

int public_key::get_requires() const {
  return requires;
}

void public_key::set_requires(int value) {
  requires = value;
}

void public_key::PK_to_vlong(PK pk) {
  m = words_to_vlong(pk.data, kBlockWords);
  e = 65537;
  requires = 1;
}

void public_key::vlong_to_PK(PK& pk) const {
  vlong_to_words(m, pk.data, kBlockWords);
}

}  // namespace encrypt_module
