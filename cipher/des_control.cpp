#include "cipher/des_control.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "cipher/des_run.h"
#include "cipher/wipe.h"

namespace encrypt_module {

const int Des_control::DES_ONE = 8;
const int Des_control::MAX_ENCRYPT_LEN = 10;
const char Des_control::ENCRYPT_SPLITTER[] = "Z";

namespace {

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

Des_control::Des_control() {}

Des_control::Des_control(const Des_control& other) : m_key(other.m_key) {}

Des_control& Des_control::operator=(const Des_control& other) {
  m_key = other.m_key;
  return *this;
}

Des_control::~Des_control() {}

char* Des_control::Encrypt(const char* key, const char* text) {
  // Without a key there is nothing to encrypt with: never hand the text back as if encrypted.
  if (!key || !text) return nullptr;
  const std::size_t n = std::strlen(text);
  if (n > 0x7ffffff0u / 2) return nullptr;  // the length text and the hex must fit an int
  const unsigned padded = n == 0 ? 0 : static_cast<unsigned>((n - 1) / DES_ONE * DES_ONE + DES_ONE);

  unsigned char* plain = new unsigned char[padded + 1]();
  std::memcpy(plain, text, n);
  des_run(plain, plain, padded, key, static_cast<unsigned>(std::strlen(key)), true);
  char* hex = binary_2_hex(plain, padded);
  wipe_bytes(plain, padded);
  delete[] plain;

  char length_text[MAX_ENCRYPT_LEN];
  _itoa(static_cast<int>(padded), length_text, 16);
  const std::size_t head = std::strlen(length_text) + std::strlen(ENCRYPT_SPLITTER);
  char* envelope = new char[head + 2 * padded + 1];
  std::strcpy(envelope, length_text);
  std::strcat(envelope, ENCRYPT_SPLITTER);
  std::strcpy(envelope + head, hex ? hex : "");
  delete[] hex;
  return envelope;
}

char* Des_control::Decrypt(const char* key, const char* envelope) {
  if (!key || !envelope) return nullptr;
  const char* splitter = std::strstr(envelope, ENCRYPT_SPLITTER);
  if (!splitter || splitter == envelope) return nullptr;

  // The length text must be a number and nothing else.
  const std::string length_text(envelope, splitter);
  char* end = nullptr;
  const long length = std::strtol(length_text.c_str(), &end, 16);
  if (*end != '\0' || length < 0) return nullptr;
  if (length == 0) return new char[1]();
  // Encrypt writes whole blocks, and the hex must hold all of them.
  const char* hex = splitter + std::strlen(ENCRYPT_SPLITTER);
  if (length % DES_ONE != 0 || std::strlen(hex) / 2 < static_cast<unsigned long>(length)) {
    return nullptr;
  }
  char* cipher = hex_2_binary(hex);
  if (!cipher) return nullptr;

  char* plain = new char[length + 1]();
  des_run(reinterpret_cast<unsigned char*>(plain), reinterpret_cast<unsigned char*>(cipher),
          static_cast<unsigned>(length), key, static_cast<unsigned>(std::strlen(key)), false);
  delete[] cipher;
  return plain;
}

void Des_control::ReleaseBuffer(char* buf) {
  delete[] buf;
}

void Des_control::Des_set_key(const char* key) {
  m_key = key ? key : "";
}

CString Des_control::Des_get_key() {
  CString wide;
  const int count =
      MultiByteToWideChar(CP_ACP, 0, m_key.data(), static_cast<int>(m_key.size()), nullptr, 0);
  if (count > 0) {
    MultiByteToWideChar(CP_ACP, 0, m_key.data(), static_cast<int>(m_key.size()),
                        wide.GetBufferSetLength(count), count);
    wide.ReleaseBuffer(count);
  }
  return wide;
}

void Des_control::Des_create_key() {}

char* Des_control::binary_2_hex(const unsigned char* bytes, unsigned count) {
  if (!bytes || count == 0) return nullptr;
  static const char kDigits[] = "0123456789abcdef";
  char* hex = new char[2 * count + 1]();
  for (unsigned i = 0; i < count; ++i) {
    hex[2 * i] = kDigits[bytes[i] >> 4];
    hex[2 * i + 1] = kDigits[bytes[i] & 15];
  }
  return hex;
}

char* Des_control::hex_2_binary(const char* hex) {
  if (!hex) return nullptr;
  const std::size_t n = std::strlen(hex);
  char* bytes = new char[(n + 1) / 2 + 1]();
  for (std::size_t i = 0; i < n; i += 2) {
    // For an odd count the last digit meets the terminating zero, which is no digit.
    const int high = hex_digit(hex[i]), low = hex_digit(hex[i + 1]);
    if (high < 0 || low < 0) {
      delete[] bytes;
      return nullptr;
    }
    bytes[i / 2] = static_cast<char>(high << 4 | low);
  }
  return bytes;
}

}  // namespace encrypt_module
