#include "cipher/string_wrappers.h"

#include <windows.h>

#include "cipher/des_control.h"
#include "cipher/private_key.h"

namespace encrypt_module {

std::string DesTransformString(const std::string& key, const std::string& text, bool encrypt) {
  Des_control des;
  char* result =
      encrypt ? des.Encrypt(key.c_str(), text.c_str()) : des.Decrypt(key.c_str(), text.c_str());
  std::string out = result ? result : "";
  des.ReleaseBuffer(result);
  return out;
}

std::string DesEncryptString(const std::string& key, const std::string& text) {
  return DesTransformString(key, text, true);
}

std::string DesDecryptString(const std::string& key, const std::string& text) {
  return DesTransformString(key, text, false);
}

std::string RsaTransformString(const std::string& data, bool decrypt) {
  const int length = static_cast<int>(data.size());
  int out_length = 0;
  std::string out;
  if (decrypt) {
    private_key key;
    char* plain = key.decrypt(data.data(), length, out_length);
    // The last plain block is zero-padded: the text ends at the first zero byte.
    if (plain) out = plain;
    key.delete_buf(plain);
  } else {
    PK modulus;
    private_key().vlong_to_PK(modulus);
    public_key key;
    key.PK_to_vlong(modulus);
    char* cipher = key.encrypt(data.data(), length, out_length);
    // Cipher blocks hold zero bytes anywhere: keep every byte.
    if (cipher) out.assign(cipher, out_length);
    key.delete_buf(cipher);
  }
  return out;
}

std::string NarrowFromWide(const CString& text) {
  const int count = WideCharToMultiByte(CP_ACP, 0, text.GetString(), text.GetLength(), nullptr, 0,
                                        nullptr, nullptr);
  if (count <= 0) return std::string();
  std::string narrow(count, '\0');
  WideCharToMultiByte(CP_ACP, 0, text.GetString(), text.GetLength(), &narrow[0], count, nullptr,
                      nullptr);
  return narrow;
}

}  // namespace encrypt_module
