#include "foundation/sha1.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <memory>
#include <utility>

#include "foundation/digest_blocks.h"
#include "foundation/scoped_handle.h"

namespace {

inline std::uint32_t Rotl(std::uint32_t x, int n) {
  return (x << n) | (x >> (32 - n));
}

inline std::uint32_t LoadBe(const std::uint8_t* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

inline void StoreBe(std::uint32_t v, std::uint8_t* p) {
  p[0] = static_cast<std::uint8_t>(v >> 24);
  p[1] = static_cast<std::uint8_t>(v >> 16);
  p[2] = static_cast<std::uint8_t>(v >> 8);
  p[3] = static_cast<std::uint8_t>(v);
}

}  // namespace

CSha1Hash::CSha1Hash() : m_block(m_workspace) {
  Reset();
}

CSha1Hash::~CSha1Hash() {
  Reset();
}

void CSha1Hash::Reset() {
  m_state[0] = 0x67452301;
  m_state[1] = 0xEFCDAB89;
  m_state[2] = 0x98BADCFE;
  m_state[3] = 0x10325476;
  m_state[4] = 0xC3D2E1F0;
  m_count[0] = m_count[1] = 0;
}

void CSha1Hash::Update(const void* data, std::uint32_t length) {
  digest_blocks::Feed(m_buffer, m_count, data, length,
                      [this](const std::uint8_t* block) { Transform(m_state, block); });
}

namespace {

// One step t of the 80: e takes the new value and b its rotation, the other words stay where they
// are. Calling it with the five words in turning order (a b c d e, then e a b c d, ...) spares
// the four moves per step that keep a register-poor machine busy. w is the message schedule
// (16 words, each overwritten once it is no longer needed).
template <int t>
inline void Step(std::uint32_t a, std::uint32_t& b, std::uint32_t c, std::uint32_t d,
                 std::uint32_t& e, std::uint32_t* w) {
  std::uint32_t word;
  if (t < 16) {
    word = w[t];
  } else {
    word = Rotl(w[(t + 13) & 15] ^ w[(t + 8) & 15] ^ w[(t + 2) & 15] ^ w[t & 15], 1);
    w[t & 15] = word;
  }
  std::uint32_t f, k;
  if (t < 20) {
    f = d ^ (b & (c ^ d));  // (b & c) | (~b & d)
    k = 0x5A827999;
  } else if (t < 40) {
    f = b ^ c ^ d;
    k = 0x6ED9EBA1;
  } else if (t < 60) {
    f = (b & c) + (d & (b ^ c));  // the majority: the two terms never share a bit
    k = 0x8F1BBCDC;
  } else {
    f = b ^ c ^ d;
    k = 0xCA62C1D6;
  }
  e += Rotl(a, 5) + f + k + word;
  b = Rotl(b, 30);
}

template <int t>
inline void FiveSteps(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c, std::uint32_t& d,
                      std::uint32_t& e, std::uint32_t* w) {
  Step<t>(a, b, c, d, e, w);
  Step<t + 1>(e, a, b, c, d, w);
  Step<t + 2>(d, e, a, b, c, w);
  Step<t + 3>(c, d, e, a, b, w);
  Step<t + 4>(b, c, d, e, a, w);
}

template <int... group>
inline void AllSteps(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c, std::uint32_t& d,
                     std::uint32_t& e, std::uint32_t* w, std::integer_sequence<int, group...>) {
  (FiveSteps<5 * group>(a, b, c, d, e, w), ...);
}

}  // namespace

void CSha1Hash::Transform(std::uint32_t state[5], const std::uint8_t block[64]) {
  std::uint32_t* w = m_block;
  for (int i = 0; i < 16; ++i) w[i] = LoadBe(block + 4 * i);
  std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
  AllSteps(a, b, c, d, e, w, std::make_integer_sequence<int, 16>());
  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
  state[4] += e;
}

void CSha1Hash::Final() {
  std::uint8_t bits[8];
  StoreBe(m_count[1], bits);
  StoreBe(m_count[0], bits + 4);
  Update(digest_blocks::kPadding, digest_blocks::PaddingLength(m_count));
  Update(bits, 8);
  for (int i = 0; i < 5; ++i) StoreBe(m_state[i], m_digest + 4 * i);

  // Leave nothing of the message behind: buffer, state, count, and (through one more transform
  // of the zeroed buffer) the workspace.
  std::memset(m_buffer, 0, sizeof(m_buffer));
  std::memset(m_state, 0, sizeof(m_state));
  m_count[0] = m_count[1] = 0;
  Transform(m_state, m_buffer);
}

bool CSha1Hash::CopyHash(std::uint8_t* out) const {
  if (!out) return false;
  std::memcpy(out, m_digest, sizeof(m_digest));
  return true;
}

bool CSha1Hash::FormatHash(wchar_t* out, int mode) const {
  static const wchar_t* const kFirst[] = {L"%02X", L"%u", L"%02X"};
  static const wchar_t* const kFurther[] = {L" %02X", L" %u", L"%02X"};
  if (!out || mode < 0 || mode > 2) return false;
  wchar_t piece[15];
  for (int i = 0; i < 20; ++i) {
    _snwprintf(piece, 15, i == 0 ? kFirst[mode] : kFurther[mode], m_digest[i]);
    piece[14] = 0;
    if (i == 0) {
      wcscpy(out, piece);
    } else {
      wcscat(out, piece);
    }
  }
  return true;
}

bool CSha1Hash::FormatHashString(std::wstring& out, int mode) const {
  wchar_t text[80];
  if (!FormatHash(text, mode)) return false;
  out = text;
  return true;
}

bool CSha1Hash::HashFile(const wchar_t* path) {
  if (!path) return false;
  UniqueFile file(_wfopen(path, L"rb"));
  if (!file) return false;
  // The size is taken as a signed 32-bit position, so files of 2 GiB and more fail here.
  if (fseek(file.get(), 0, SEEK_END) != 0) return false;
  long size = ftell(file.get());
  if (size < 0 || fseek(file.get(), 0, SEEK_SET) != 0) return false;
  std::uint8_t piece[8000];
  for (long left = size; left > 0;) {
    size_t want =
        left < static_cast<long>(sizeof(piece)) ? static_cast<size_t>(left) : sizeof(piece);
    size_t got = fread(piece, 1, want, file.get());
    if (got == 0) return false;
    Update(piece, static_cast<std::uint32_t>(got));
    left -= static_cast<long>(got);
  }
  return true;
}

std::wstring Sha1HexOfBytes(const void* data, std::uint32_t length) {
  CSha1Hash sha1;
  sha1.Update(data, length);
  sha1.Final();
  std::wstring text;
  sha1.FormatHashString(text, 2);
  return text;
}
