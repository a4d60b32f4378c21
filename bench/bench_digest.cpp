// MD5 and SHA-1 throughput against the system's own digests (the CryptoAPI of advapi32 and
// bcrypt), in the same process. Run by hand: scripts/wine-run build/bench/bench_digest.exe
#include <windows.h>
#include <wincrypt.h>
#include <bcrypt.h>

#include <cstdio>
#include <string>
#include <vector>

#include "foundation/md5.h"
#include "foundation/sha1.h"
#include "harness.h"

namespace {

constexpr DWORD kLarge = 8 << 20;   // one message of 8 MiB
constexpr int kSmallCount = 20000;  // messages of the size of a signed query or a song name
constexpr DWORD kSmall = 100;

// One CryptoAPI context for the whole run; each digest gets its own hash object, as a caller
// of the system's digest would.
class CryptoApi {
 public:
  CryptoApi() {
    if (!CryptAcquireContextW(&m_provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) {
      m_provider = 0;
    }
  }
  ~CryptoApi() {
    if (m_provider) CryptReleaseContext(m_provider, 0);
  }
  bool ok() const { return m_provider != 0; }

  // The digest bytes; empty on failure.
  std::string Digest(ALG_ID algorithm, const void* data, DWORD length) const {
    HCRYPTHASH hash = 0;
    std::string out;
    if (!CryptCreateHash(m_provider, algorithm, 0, 0, &hash)) return out;
    BYTE digest[20];
    DWORD size = sizeof(digest);
    if (CryptHashData(hash, static_cast<const BYTE*>(data), length, 0) &&
        CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0)) {
      out.assign(reinterpret_cast<char*>(digest), size);
    }
    CryptDestroyHash(hash);
    return out;
  }

 private:
  HCRYPTPROV m_provider = 0;
};

// bcrypt.dll, loaded at run time so that the program itself needs no import of it.
class BCrypt {
 public:
  BCrypt() : m_module(LoadLibraryW(L"bcrypt.dll")) {
    if (!m_module) return;
    m_open = Proc<OpenFn>("BCryptOpenAlgorithmProvider");
    m_close = Proc<CloseFn>("BCryptCloseAlgorithmProvider");
    m_hash = Proc<HashFn>("BCryptHash");
    if (m_open && m_close && m_hash) {
      if (m_open(&m_md5, BCRYPT_MD5_ALGORITHM, nullptr, 0) != 0) m_md5 = nullptr;
      if (m_open(&m_sha1, BCRYPT_SHA1_ALGORITHM, nullptr, 0) != 0) m_sha1 = nullptr;
    }
  }
  ~BCrypt() {
    if (m_md5) m_close(m_md5, 0);
    if (m_sha1) m_close(m_sha1, 0);
    if (m_module) FreeLibrary(m_module);
  }
  bool ok() const { return m_md5 && m_sha1; }

  std::string Digest(bool sha1, const void* data, ULONG length) const {
    UCHAR digest[20];
    ULONG size = sha1 ? 20 : 16;
    if (m_hash(sha1 ? m_sha1 : m_md5, nullptr, 0, static_cast<PUCHAR>(const_cast<void*>(data)),
               length, digest, size) != 0) {
      return std::string();
    }
    return std::string(reinterpret_cast<char*>(digest), size);
  }

 private:
  using OpenFn = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE*, LPCWSTR, LPCWSTR, ULONG);
  using CloseFn = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE, ULONG);
  using HashFn = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE, PUCHAR, ULONG, PUCHAR, ULONG, PUCHAR, ULONG);
  template <class Fn>
  Fn Proc(const char* name) const {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m_module, name)));
  }

  HMODULE m_module;
  OpenFn m_open = nullptr;
  CloseFn m_close = nullptr;
  HashFn m_hash = nullptr;
  BCRYPT_ALG_HANDLE m_md5 = nullptr;
  BCRYPT_ALG_HANDLE m_sha1 = nullptr;
};

std::string OurMd5(const void* data, DWORD length) {
  em_utility::md5_checksum md5;
  md5.update(data, length);
  std::uint8_t digest[16];
  md5.final(digest, 16);
  return std::string(reinterpret_cast<char*>(digest), 16);
}

std::string OurSha1(const void* data, DWORD length) {
  CSha1Hash sha1;
  sha1.Update(data, length);
  sha1.Final();
  std::uint8_t digest[20];
  sha1.CopyHash(digest);
  return std::string(reinterpret_cast<char*>(digest), 20);
}

// Ours against the yardstick taken in turn, over the large message and over kSmallCount small
// messages.
template <class F, class G>
void Compare(const char* name, F ours, G theirs, const char* yardstick,
             const std::vector<char>& data) {
  const bench::PairedRatio large =
      bench::InTurn([&] { bench::KeepAlive(ours(data.data(), kLarge)); },
                    [&] { bench::KeepAlive(theirs(data.data(), kLarge)); }, 15);
  auto small = [&](auto digest) {
    return [&data, digest] {
      for (int i = 0; i < kSmallCount; ++i) bench::KeepAlive(digest(data.data() + i, kSmall));
    };
  };
  const bench::PairedRatio many = bench::InTurn(small(ours), small(theirs), 15);
  std::printf("%s  (%.0f MB/s; %s %.0f MB/s)\n", name, kLarge / large.ours / 1e6, yardstick,
              kLarge / large.theirs / 1e6);
  bench::PrintPaired("  8 MiB message", large, yardstick);
  bench::PrintPaired("  20000 messages of 100 bytes", many, yardstick);
}

// Our figures against one system yardstick: false when its digests differ from ours.
template <class Md5, class Sha1>
bool CompareWith(const char* yardstick, Md5 md5, Sha1 sha1, const std::vector<char>& data) {
  if (md5(data.data(), kLarge) != OurMd5(data.data(), kLarge) ||
      sha1(data.data(), kLarge) != OurSha1(data.data(), kLarge)) {
    std::printf("%s digests differ from ours!\n", yardstick);
    return false;
  }
  Compare("MD5", OurMd5, md5, yardstick, data);
  Compare("SHA-1", OurSha1, sha1, yardstick, data);
  return true;
}

}  // namespace

int main() {
  std::vector<char> data(kLarge + kSmallCount);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 131 + (i >> 9));

  CryptoApi crypto;
  BCrypt bcrypt;
  std::printf(
      "Digest throughput: ratio = our time / the system's time (below 1: faster), the median of"
      " pairs run in turn, lowest-highest in brackets\n");

  bool same = true;
  if (crypto.ok()) {
    same = CompareWith(
        "CryptoAPI", [&](const void* p, DWORD n) { return crypto.Digest(CALG_MD5, p, n); },
        [&](const void* p, DWORD n) { return crypto.Digest(CALG_SHA1, p, n); }, data);
  } else {
    std::printf("CryptoAPI: no provider (error %lu)\n", GetLastError());
  }
  if (bcrypt.ok()) {
    same = CompareWith(
               "BCryptHash", [&](const void* p, DWORD n) { return bcrypt.Digest(false, p, n); },
               [&](const void* p, DWORD n) { return bcrypt.Digest(true, p, n); }, data) &&
           same;
  } else {
    std::printf("bcrypt: BCryptHash not available\n");
  }
  return same ? 0 : 1;
}
