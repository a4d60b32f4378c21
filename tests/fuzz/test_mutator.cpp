// The fuzzer's mutator: a seed reproduces its inputs, inputs keep to their size, and numbers
// reach the limits the parsers must survive.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fuzz/fuzz_mutator.h"

namespace {

const std::vector<std::string> kCorpus = {
    "HTTP/1.1 200 OK\r\nContent-Length: 12\r\n\r\n<song></song>",
    "1a;x=1\r\n<types></types>\r\n0\r\n\r\n",
    std::string("\x30\x00\x00\x00", 4) + std::string(44, '\0'),
};

std::vector<std::string> Inputs(uint64_t seed, size_t count, size_t maxSize) {
  std::vector<std::string> inputs;
  for (size_t i = 0; i < count; ++i) {
    fuzz::Mutator mutator(seed * 1000003 + i, kCorpus, maxSize);
    inputs.push_back(mutator.Make());
  }
  return inputs;
}

TEST(FuzzMutator, ASeedMakesTheSameInputsAndAnotherSeedOthers) {
  EXPECT_EQ(Inputs(7, 500, 4096), Inputs(7, 500, 4096));
  EXPECT_NE(Inputs(7, 500, 4096), Inputs(8, 500, 4096));
}

TEST(FuzzMutator, InputsKeepToTheirSizeYetSomeReachIt) {
  size_t largest = 0;
  for (const std::string& input : Inputs(1, 20000, 300)) {
    ASSERT_LE(input.size(), 300u);
    largest = std::max(largest, input.size());
  }
  EXPECT_EQ(300u, largest);
}

// Every limit in the table shows up somewhere in a few thousand mutations of the seeds.
TEST(FuzzMutator, NumbersGrowToTheLimitsOfTheirTypes) {
  const std::vector<std::string> wanted = {"2147483648",           "4294967296", "-2147483649",
                                           "99999999999999999999", "ffffffff",   "7fffffff"};
  const std::string binaryMax("\xff\xff\xff\xff", 4), binaryHalf("\x00\x00\x00\x80", 4);
  std::vector<bool> seen(wanted.size() + 2, false);
  for (const std::string& input : Inputs(3, 20000, 4096)) {
    for (size_t i = 0; i < wanted.size(); ++i)
      seen[i] = seen[i] || input.find(wanted[i]) != std::string::npos;
    seen[wanted.size()] = seen[wanted.size()] || input.compare(0, 4, binaryMax) == 0;
    seen[wanted.size() + 1] = seen[wanted.size() + 1] || input.compare(0, 4, binaryHalf) == 0;
  }
  for (size_t i = 0; i < wanted.size(); ++i) EXPECT_TRUE(seen[i]) << wanted[i];
  EXPECT_TRUE(seen[wanted.size()]) << "a length field of 0xffffffff";
  EXPECT_TRUE(seen[wanted.size() + 1]) << "a length field of 0x80000000";
}

TEST(FuzzMutator, RepeatsReachTheReadersLimits) {
  fuzz::Mutator mutator(5, kCorpus, 1 << 20);
  std::string input = "[";
  mutator.InsertRepeated(input, 1, "1,", 100001);
  EXPECT_EQ(1 + 2 * 100001u, input.size());
  std::string capped = "x";
  fuzz::Mutator small(5, kCorpus, 10);
  small.InsertRepeated(capped, 0, "ab", 100);  // as many as fit: four
  EXPECT_EQ("ababababx", capped);
}

}  // namespace
