// Helpers of the cipher tests: numbers and bytes from hex text, and the known answers of
// vectors.txt (made by gen_vectors.py with Python's integers).
#pragma once

#include <cstdlib>
#include <fstream>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cipher/vlong.h"
#include "foundation/text_util.h"

inline vlong FromHex(const std::string& text) {
  const bool negative = !text.empty() && text[0] == '-';
  vlong x;
  for (std::size_t i = negative ? 1 : 0; i < text.size(); ++i) {
    const char c = text[i];
    x = x * 16 + static_cast<unsigned>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
  }
  return negative ? vlong(0) - x : x;
}

inline std::string ToHex(const vlong& x) {
  std::vector<unsigned> words((x.bits() + 31) / 32);
  x.store(words.data(), static_cast<unsigned>(words.size()));
  std::string digits;
  for (std::size_t i = words.size(); i-- > 0;) {
    static const char kDigits[] = "0123456789abcdef";
    for (int s = 28; s >= 0; s -= 4) digits += kDigits[(words[i] >> s) & 15];
  }
  const std::size_t first = digits.find_first_not_of('0');
  digits = first == std::string::npos ? "0" : digits.substr(first);
  return (x < 0 ? "-" : "") + digits;
}

// GoogleTest prints numbers in hex.
inline void PrintTo(const vlong& x, std::ostream* os) {
  *os << ToHex(x);
}

inline std::string BytesFromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16));
  }
  return bytes;
}

inline std::string HexFromBytes(const std::string& bytes) {
  return em_utility::bytes_to_hex(bytes.data(), bytes.size());
}

// count random bytes; with nonzero, none of them is zero (texts that C strings can carry).
inline std::string RandomBytes(std::mt19937& rng, std::size_t count, bool nonzero = false) {
  std::string bytes(count, 0);
  for (char& c : bytes) c = static_cast<char>(nonzero ? 1 + rng() % 255 : rng());
  return bytes;
}

// Every case of vectors.txt named `name`, as its fields after the name.
inline std::vector<std::vector<std::string>> Vectors(const std::string& name) {
  const char* root = std::getenv("REV_SOURCE_DIR");
  std::string path = std::string(root ? root : ".") + "/tests/cipher/vectors.txt";
  if (path[0] == '/') path = "Z:" + path;  // a Unix path seen through Wine's drive Z:
  std::ifstream in(path);
  std::vector<std::vector<std::string>> cases;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string field;
    fields >> field;
    if (field != name) continue;
    cases.emplace_back();
    while (fields >> field) cases.back().push_back(field);
  }
  return cases;
}
