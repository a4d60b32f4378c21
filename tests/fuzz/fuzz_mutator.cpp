#include "fuzz/fuzz_mutator.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

namespace {

// Bytes that mean something to one of the formats: line and tag marks, brackets, quotes, the
// separators of headers and numbers, and the extremes.
const char kSpecialBytes[] =
    "\0\xff\x7f\x80\xc0\xe0\xf0\xef\xbb\xbf\r\n\t []{}<>\"':;,.=&%#+-/\\!?0Z";

// Numbers at and around the limits of the types that read them: 16, 32 and 64 bits, signed and
// unsigned, and more digits than any of them holds.
const char* const kDecimalLimits[] = {"0",
                                      "1",
                                      "-1",
                                      "32767",
                                      "32768",
                                      "65535",
                                      "65536",
                                      "-32769",
                                      "2147483647",
                                      "2147483648",
                                      "-2147483648",
                                      "-2147483649",
                                      "4294967295",
                                      "4294967296",
                                      "9223372036854775807",
                                      "9223372036854775808",
                                      "-9223372036854775809",
                                      "18446744073709551616",
                                      "99999999999999999999999999999999999999",
                                      "00000000000000000000000000000000000001",
                                      "1e308",
                                      "1e309",
                                      "-0",
                                      "+1",
                                      "0x7fffffff"};
const char* const kHexLimits[] = {"0",
                                  "1",
                                  "7fffffff",
                                  "80000000",
                                  "ffffffff",
                                  "100000000",
                                  "7fffffffffffffff",
                                  "ffffffffffffffff",
                                  "10000000000000000000",
                                  "FFFFFFF0",
                                  "-1",
                                  "0x10"};
const uint32_t kBinaryLimits[] = {0,       1,          4,          43,         44,
                                  45,      48,         0x7fff,     0xffff,     0x10000,
                                  0x10001, 0x7fffffff, 0x80000000, 0xfffffffe, 0xffffffff};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

std::string Mutator::Make() {
  std::string input = m_corpus.empty() ? std::string() : m_corpus[m_random.Below(m_corpus.size())];
  const size_t count = 1 + m_random.Below(8);
  for (size_t i = 0; i < count; ++i) MutateOnce(input);
  return input;
}

void Mutator::MutateOnce(std::string& input) {
  switch (m_random.Below(12)) {
    case 0:
      FlipBits(input);
      break;
    case 1:
    case 2:
      SetByte(input);
      break;
    case 3:
      InsertBytes(input);
      break;
    case 4:
      DeleteRange(input);
      break;
    case 5:
      Splice(input);
      break;
    case 6:
      RepeatRange(input);
      break;
    case 7:
    case 8:
    case 9:
      GrowTextNumber(input);
      break;
    case 10:
      PutBinaryNumber(input);
      break;
    default:
      Truncate(input);
      break;
  }
  if (input.size() > m_maxSize) input.resize(m_maxSize);
}

size_t Mutator::RepeatCount() {
  // The large counts are rare: an input near a reader's limit can take it a second.
  switch (m_random.Below(512)) {
    case 0:
      return 60 + m_random.Below(10);  // around a nesting limit of 64
    case 1:
      return 99990 + m_random.Below(20);  // around a count limit of 100000
    case 2:
      return m_maxSize;  // as many as fit
    case 3:
    case 4:
    case 5:
    case 6:
      return 1000 + m_random.Below(20000);
    default:
      return 1 + m_random.Below(16);
  }
}

void Mutator::InsertRepeated(std::string& input, size_t offset, const std::string& piece,
                             size_t count) {
  if (piece.empty() || input.size() >= m_maxSize) return;
  count = std::min(count, (m_maxSize - input.size()) / piece.size());
  std::string block;
  block.reserve(piece.size() * count);
  for (size_t i = 0; i < count; ++i) block += piece;
  input.insert(std::min(offset, input.size()), block);
}

void Mutator::FlipBits(std::string& input) {
  if (input.empty()) return;
  const size_t flips = 1 + m_random.Below(4);
  for (size_t i = 0; i < flips; ++i) {
    input[m_random.Below(input.size())] ^= static_cast<char>(1u << m_random.Below(8));
  }
}

void Mutator::SetByte(std::string& input) {
  if (input.empty()) return;
  char c = m_random.OneIn(2) ? kSpecialBytes[m_random.Below(sizeof kSpecialBytes - 1)]
                             : static_cast<char>(m_random.Below(256));
  input[m_random.Below(input.size())] = c;
}

void Mutator::InsertBytes(std::string& input) {
  std::string bytes;
  const size_t count = 1 + m_random.Below(m_random.OneIn(8) ? 256 : 8);
  for (size_t i = 0; i < count; ++i) {
    bytes += m_random.OneIn(2) ? kSpecialBytes[m_random.Below(sizeof kSpecialBytes - 1)]
                               : static_cast<char>(m_random.Below(256));
  }
  InsertRepeated(input, m_random.Below(input.size() + 1), bytes, 1);
}

void Mutator::DeleteRange(std::string& input) {
  if (input.empty()) return;
  const size_t at = m_random.Below(input.size());
  const size_t most = input.size() - at;
  input.erase(at, 1 + m_random.Below(m_random.OneIn(4) ? most : std::min<size_t>(most, 16)));
}

void Mutator::Splice(std::string& input) {
  if (m_corpus.empty()) return;
  const std::string& other = m_corpus[m_random.Below(m_corpus.size())];
  if (other.empty()) return;
  const size_t from = m_random.Below(other.size());
  const std::string piece = other.substr(from, 1 + m_random.Below(other.size() - from));
  const size_t at = m_random.Below(input.size() + 1);
  if (m_random.OneIn(2)) {
    input.replace(at, std::min(piece.size(), input.size() - at), piece);
  } else {
    InsertRepeated(input, at, piece, 1);
  }
}

void Mutator::RepeatRange(std::string& input) {
  if (input.empty()) return;
  const size_t at = m_random.Below(input.size());
  const size_t length = 1 + m_random.Below(std::min<size_t>(input.size() - at, 64));
  InsertRepeated(input, at, input.substr(at, length), RepeatCount());
}

void Mutator::GrowTextNumber(std::string& input) {
  if (input.empty()) return;
  // The digit run at or after a random place; hex digits count when the run has a letter.
  size_t at = m_random.Below(input.size());
  while (at < input.size() && !IsDigit(input[at])) ++at;
  if (at == input.size()) {
    at = 0;
    while (at < input.size() && !IsDigit(input[at])) ++at;
    if (at == input.size()) return;
  }
  size_t begin = at, end = at;
  while (begin > 0 && IsHexDigit(input[begin - 1])) --begin;
  while (end < input.size() && IsHexDigit(input[end])) ++end;
  bool hex = false;
  for (size_t i = begin; i < end; ++i) hex = hex || !IsDigit(input[i]);
  if (!hex) {
    // Decimal: the run of digits only (a letter next to it is a word, not a digit).
    begin = end = at;
    while (begin > 0 && IsDigit(input[begin - 1])) --begin;
    while (end < input.size() && IsDigit(input[end])) ++end;
    if (begin > 0 && input[begin - 1] == '-') --begin;
  }
  std::string number;
  if (m_random.OneIn(4)) {
    // A neighbour of the number itself.
    long long value =
        std::strtoll(input.substr(begin, end - begin).c_str(), nullptr, hex ? 16 : 10);
    value += m_random.OneIn(2) ? 1 : -1;
    char text[32];
    std::snprintf(text, sizeof text, hex ? "%llx" : "%lld", value);
    number = text;
  } else if (hex || m_random.OneIn(8)) {
    number = kHexLimits[m_random.Below(sizeof kHexLimits / sizeof kHexLimits[0])];
  } else {
    number = kDecimalLimits[m_random.Below(sizeof kDecimalLimits / sizeof kDecimalLimits[0])];
  }
  input.replace(begin, end - begin, number);
}

void Mutator::PutBinaryNumber(std::string& input) {
  if (input.size() < 4) return;
  uint32_t value = kBinaryLimits[m_random.Below(sizeof kBinaryLimits / sizeof kBinaryLimits[0])];
  if (m_random.OneIn(4)) value = static_cast<uint32_t>(input.size() + m_random.Below(9) - 4);
  // Aligned most of the time: the binary formats keep their fields on 4-byte boundaries.
  size_t at = m_random.Below(input.size() - 3);
  if (!m_random.OneIn(4)) at &= ~static_cast<size_t>(3);
  for (int i = 0; i < 4; ++i) input[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void Mutator::Truncate(std::string& input) {
  input.resize(m_random.Below(input.size() + 1));
}

}  // namespace fuzz
