#pragma once

#include <string>

#include "winlayer/cstring.h"

namespace encrypt_module {

// Des_control's Encrypt or Decrypt for standard strings: the result up to its first zero byte,
// or "" when the call fails.
std::string DesTransformString(const std::string& key, const std::string& text, bool encrypt);
std::string DesEncryptString(const std::string& key, const std::string& text);
std::string DesDecryptString(const std::string& key, const std::string& text);

// The built-in key pair's block cipher over the bytes of data: decryption by the private key
// (the plain text up to its first zero byte) or encryption by its public half (all cipher
// bytes). "" when the call fails.
std::string RsaTransformString(const std::string& data, bool decrypt);

// text in the system's ANSI code page.
std::string NarrowFromWide(const CString& text);

}  // namespace encrypt_module
