// The fuzzer's mutations: flip, insert, delete, splice and repeat bytes, and grow the numbers in
// an input to their limits (decimal and hex digits in text, 32-bit little-endian fields in
// binary). Deterministic: the same generator state and inputs give the same result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

// splitmix64: small, fast, and good enough to pick mutations.
class Random {
 public:
  explicit Random(uint64_t seed) : m_state(seed) {}
  uint64_t Next() {
    uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 to bound - 1; 0 for a bound of 0.
  size_t Below(size_t bound) { return bound ? static_cast<size_t>(Next() % bound) : 0; }
  bool OneIn(size_t n) { return Below(n) == 0; }

 private:
  uint64_t m_state;
};

class Mutator {
 public:
  Mutator(uint64_t seed, const std::vector<std::string>& corpus, size_t maxSize)
      : m_random(seed), m_corpus(corpus), m_maxSize(maxSize) {}

  // A mutated copy of one corpus entry: one to eight mutations stacked.
  std::string Make();
  // One random mutation of input, kept within the maximum size.
  void MutateOnce(std::string& input);

  Random& random() { return m_random; }
  size_t maxSize() const { return m_maxSize; }
  // count copies of piece inserted at offset, as many as fit within the maximum size.
  void InsertRepeated(std::string& input, size_t offset, const std::string& piece, size_t count);
  // A count for repeating things: mostly small, sometimes around the limits the readers keep
  // (64 levels, 100000 values), now and then as large as the input may grow.
  size_t RepeatCount();

 private:
  void FlipBits(std::string& input);
  void SetByte(std::string& input);
  void InsertBytes(std::string& input);
  void DeleteRange(std::string& input);
  void Splice(std::string& input);
  void RepeatRange(std::string& input);
  void GrowTextNumber(std::string& input);
  void PutBinaryNumber(std::string& input);
  void Truncate(std::string& input);

  Random m_random;
  const std::vector<std::string>& m_corpus;
  size_t m_maxSize;
};

}  // namespace fuzz
