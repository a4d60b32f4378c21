// The cipher module against libgcrypt, in the same process: 1024-bit modular powers, one RSA
// block each way with the built-in key, DES and two-key triple-DES throughput, and a 512-bit
// prime search. Run by hand: scripts/wine-run build/bench/bench_cipher.exe
#include <gcrypt.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "cipher/des_run.h"
#include "cipher/private_key.h"
#include "cipher/small_prime_sieve.h"
#include "harness.h"

namespace {

std::mt19937 g_rng(1234);

std::string RandomBytes(std::size_t count) {
  std::string bytes(count, 0);
  for (char& c : bytes) c = static_cast<char>(g_rng());
  return bytes;
}

// Big-endian bytes, as libgcrypt reads them, to our number.
vlong ToVlong(const std::string& big_endian) {
  vlong x;
  for (unsigned char c : big_endian) x = x * 256 + c;
  return x;
}

gcry_mpi_t ToMpi(const std::string& big_endian) {
  gcry_mpi_t m = nullptr;
  gcry_mpi_scan(&m, GCRYMPI_FMT_USG, big_endian.data(), big_endian.size(), nullptr);
  return m;
}

std::string FromVlong(const vlong& x, std::size_t bytes) {
  std::string out(bytes, 0);
  vlong v = x;
  for (std::size_t i = bytes; i-- > 0;) {
    out[i] = static_cast<char>(static_cast<unsigned>(v) & 255);
    v >>= 8;
  }
  return out;
}

void ModularPower() {
  std::string modulus = RandomBytes(128), base = RandomBytes(128), exponent = RandomBytes(128);
  modulus[0] |= 0x80;
  modulus[127] |= 1;
  base[0] &= 0x7f;
  const vlong m = ToVlong(modulus), b = ToVlong(base), e = ToVlong(exponent);
  gcry_mpi_t gm = ToMpi(modulus), gb = ToMpi(base), ge = ToMpi(exponent), gr = gcry_mpi_new(0);

  // Same answer first: the comparison is of equal work.
  gcry_mpi_powm(gr, gb, ge, gm);
  unsigned char* hex = nullptr;
  gcry_mpi_aprint(GCRYMPI_FMT_USG, &hex, nullptr, gr);
  vlong ours = vlong_modexp(b, e, m);
  if (FromVlong(ours, 128) != std::string(reinterpret_cast<char*>(hex), 128)) {
    std::printf("modexp results differ!\n");
  }
  gcry_free(hex);

  bench::PrintPaired("modexp 1024-bit (1024-bit exponent)",
                     bench::InTurn([&] { bench::KeepAlive(vlong_modexp(b, e, m)); },
                                   [&] { gcry_mpi_powm(gr, gb, ge, gm); }),
                     "libgcrypt powm");
  gcry_mpi_release(gm);
  gcry_mpi_release(gb);
  gcry_mpi_release(ge);
  gcry_mpi_release(gr);
}

std::string MpiHex(const vlong& x) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  vlong v = x;
  while (v != 0) {
    hex.insert(hex.begin(), kDigits[static_cast<unsigned>(v) & 15]);
    v >>= 4;
  }
  return "#" + (hex.size() % 2 ? "0" + hex : hex) + "#";
}

void RsaBlock() {
  encrypt_module::private_key key;
  const vlong d = vlong_modinv(key.e, (key.p - 1) * (key.q - 1));
  const vlong u = vlong_modinv(key.p, key.q);
  const std::string sexp = "(private-key (rsa (n " + MpiHex(key.m) + ") (e " + MpiHex(key.e) +
                           ") (d " + MpiHex(d) + ") (p " + MpiHex(key.p) + ") (q " + MpiHex(key.q) +
                           ") (u " + MpiHex(u) + ")))";
  gcry_sexp_t secret = nullptr, pub = nullptr;
  gcry_sexp_new(&secret, sexp.data(), sexp.size(), 1);
  const std::string pub_text =
      "(public-key (rsa (n " + MpiHex(key.m) + ") (e " + MpiHex(key.e) + ")))";
  gcry_sexp_new(&pub, pub_text.data(), pub_text.size(), 1);

  // The block's number: the block form adds only the byte copies and its trace lines.
  const std::string plain = RandomBytes(124);
  const std::string number = plain + std::string(4, '\0');
  const std::string big_endian(number.rbegin(), number.rend());
  const vlong block = ToVlong(big_endian);
  const vlong encrypted = key.encrypt(block);
  if (key.decrypt(encrypted) != block) std::printf("RSA round trip failed!\n");

  gcry_mpi_t x = ToMpi(big_endian);
  gcry_sexp_t data = nullptr, result = nullptr;
  gcry_sexp_build(&data, nullptr, "(data (flags raw) (value %m))", x);
  const bench::PairedRatio encrypt_pair = bench::InTurn(
      [&] { bench::KeepAlive(key.encrypt(block)); },
      [&] {
        gcry_pk_encrypt(&result, data, pub);
        gcry_sexp_release(result);
      },
      21, 50);
  gcry_pk_encrypt(&result, data, pub);
  gcry_sexp_t a = gcry_sexp_find_token(result, "a", 0);
  gcry_mpi_t c = gcry_sexp_nth_mpi(a, 1, GCRYMPI_FMT_USG);
  gcry_mpi_t ours = ToMpi(FromVlong(encrypted, 128));
  if (gcry_mpi_cmp(c, ours) != 0) std::printf("RSA results differ!\n");
  gcry_mpi_release(ours);
  gcry_sexp_t cdata = nullptr;
  gcry_sexp_build(&cdata, nullptr, "(enc-val (flags raw) (rsa (a %m)))", c);
  const bench::PairedRatio decrypt_pair = bench::InTurn(
      [&] { bench::KeepAlive(key.decrypt(encrypted)); },
      [&] {
        gcry_sexp_t out = nullptr;
        gcry_pk_decrypt(&out, cdata, secret);
        gcry_sexp_release(out);
      },
      21, 3);
  bench::PrintPaired("RSA block encrypt (e = 65537)", encrypt_pair, "libgcrypt pk_encrypt");
  bench::PrintPaired("RSA block decrypt (Chinese remainder)", decrypt_pair,
                     "libgcrypt pk_decrypt");
  gcry_sexp_release(a);
  gcry_sexp_release(result);
  gcry_sexp_release(cdata);
  gcry_sexp_release(data);
  gcry_mpi_release(c);
  gcry_mpi_release(x);
  gcry_sexp_release(secret);
  gcry_sexp_release(pub);
}

void DesThroughput(const char* name, int key_bytes, int algorithm, const char* yardstick) {
  const std::size_t size = 1 << 20;
  std::string text = RandomBytes(size);
  std::vector<unsigned char> out(size);
  const std::string key = RandomBytes(key_bytes);
  // Two-key triple DES is K1, K2, K1 to libgcrypt.
  const std::string their_key = key_bytes == 16 ? key + key.substr(0, 8) : key;
  gcry_cipher_hd_t h = nullptr;
  gcry_cipher_open(&h, algorithm, GCRY_CIPHER_MODE_ECB, 0);
  gcry_cipher_setkey(h, their_key.data(), their_key.size());
  const bench::PairedRatio pair = bench::InTurn(
      [&] {
        des_run(out.data(), reinterpret_cast<const unsigned char*>(text.data()), size, key.data(),
                key_bytes, true);
      },
      [&] { gcry_cipher_encrypt(h, out.data(), size, text.data(), size); });
  gcry_cipher_close(h);
  char label[64];
  std::snprintf(label, sizeof label, "%s (%.0f MB/s)", name, size / pair.ours / 1e6);
  char their_label[64];
  std::snprintf(their_label, sizeof their_label, "%s (%.0f MB/s)", yardstick,
                size / pair.theirs / 1e6);
  bench::PrintPaired(label, pair, their_label);
}

void PrimeSearch() {
  // Both from random 512-bit starting points, 24 primes each; the median of the runs.
  const small_prime_sieve sieve(2000);
  const double ours = bench::MedianSeconds(
      [&] {
        std::string start = RandomBytes(64);
        start[0] |= 0x80;
        vlong s = ToVlong(start);
        bench::KeepAlive(sieve.next_prime_from(s));
      },
      25);
  const double theirs = bench::MedianSeconds(
      [&] {
        gcry_mpi_t prime = nullptr;
        gcry_prime_generate(&prime, 512, 0, nullptr, nullptr, nullptr, GCRY_WEAK_RANDOM, 0);
        gcry_mpi_release(prime);
      },
      25);
  // Each call starts from a different random point, so pairs mean nothing here: medians apart.
  bench::PrintRatio("512-bit prime search", ours, "libgcrypt prime_generate", theirs);
}

}  // namespace

int main() {
  gcry_check_version(nullptr);
  gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
  gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
  std::printf("cipher module against libgcrypt %s (time per call; ratio = ours / theirs, the median"
              " of pairs run in turn, lowest-highest in brackets)\n",
              gcry_check_version(nullptr));
  ModularPower();
  RsaBlock();
  DesThroughput("DES ECB, 1 MiB", 8, GCRY_CIPHER_DES, "libgcrypt DES");
  DesThroughput("2-key 3DES ECB, 1 MiB", 16, GCRY_CIPHER_3DES, "libgcrypt 3DES");
  PrimeSearch();
  return 0;
}
