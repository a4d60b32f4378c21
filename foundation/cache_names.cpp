#include "foundation/cache_names.h"

#include <string>

#include "foundation/sha1.h"
#include "foundation/text_convert.h"

CString Sha1HexOfText(const CString& text) {
  std::string utf8 = em_utility::wide_to_utf8(text.GetString());
  std::wstring hex = Sha1HexOfBytes(utf8.data(), static_cast<std::uint32_t>(utf8.size()));
  return CString(hex.c_str());
}

CString Sha1Name(const CString& text) {
  return Sha1HexOfText(text);
}

CString MakeKeyHash(int key1, int key2) {
  CString key;
  key.Format(L"nKey1 = %d, nKey2 = %d", key1, key2);
  return Sha1Name(key);
}
