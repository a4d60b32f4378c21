#pragma once

#include <string>

#include "cipher/export.h"
#include "winlayer/cstring.h"

namespace encrypt_module {

// Text encryption with DES (keys of up to 8 bytes) or two-key triple DES (9 to 16 bytes) into a
// printable envelope: the padded length L in lowercase hex, "Z", then the L cipher bytes as
// lowercase hex digits. Results are new[] buffers for ReleaseBuffer.
class ENCRYPT_MODULE_API Des_control {
 public:
  static const int DES_ONE;              // the DES block, 8 bytes
  static const int MAX_ENCRYPT_LEN;      // room for the length text
  static const char ENCRYPT_SPLITTER[];  // "Z"

  Des_control();
  Des_control(const Des_control& other);
  Des_control& operator=(const Des_control& other);
  ~Des_control();

  // The envelope of text (zero-padded to whole blocks); null for a null key or text.
  char* Encrypt(const char* key, const char* text);
  // The text of an envelope, L bytes and a zero byte (reading up to its first zero byte gives
  // the text back). Null for a null key or envelope and for anything Encrypt cannot have made.
  char* Decrypt(const char* key, const char* envelope);
  void ReleaseBuffer(char* buf);

 private:
  void Des_set_key(const char* key);
  CString Des_get_key();
  void Des_create_key();
  // 2·count lowercase hex digits; null for no bytes.
  char* binary_2_hex(const unsigned char* bytes, unsigned count);
  // One byte per pair of hex digits (either case), high digit first, and a zero byte after
  // them; null for an odd count or any other character.
  char* hex_2_binary(const char* hex);

  std::string m_key;
};

static_assert(sizeof(Des_control) == sizeof(std::string),
              "Des_control's layout is part of the exported interface");

}  // namespace encrypt_module
