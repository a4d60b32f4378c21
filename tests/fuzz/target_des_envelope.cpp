// The cipher's text envelope: Des_control::Decrypt of hex text ("<length>Z<hex>"), with keys of
// single and triple DES. The envelope is NUL-terminated text, its zero the last readable byte.
#include "fuzz/fuzz_harness.h"

#include "cipher/des_control.h"

namespace fuzz {

namespace {

// Envelopes the module itself makes, beside the committed ones.
void SetUp(std::vector<Bytes>& seeds) {
  encrypt_module::Des_control des;
  const char* const texts[] = {"hello", "", "a longer text that fills several DES blocks",
                               "\xe6\xad\x8c\xe8\xaf\x8d"};
  for (const char* key : {"12345678", "0123456789abcdef"}) {
    for (const char* text : texts) {
      char* envelope = des.Encrypt(key, text);
      if (envelope) seeds.push_back(envelope);
      des.ReleaseBuffer(envelope);
    }
  }
}

void Run(const uint8_t* data, size_t) {
  encrypt_module::Des_control des;
  const char* envelope = reinterpret_cast<const char*>(data);
  for (const char* key : {"12345678", "abc", "0123456789abcdef", ""}) {
    des.ReleaseBuffer(des.Decrypt(key, envelope));
  }
}

}  // namespace

extern const Target kDesEnvelopeTarget = {"des_envelope", "des_envelope", 4 << 10, true,
                                          &SetUp,         &Run,           nullptr};

}  // namespace fuzz
