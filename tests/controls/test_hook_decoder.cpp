#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "controls/x86_instruction.h"

namespace {

std::vector<BYTE> Hex(const std::string& text) {
  std::istringstream in(text);
  std::vector<BYTE> bytes;
  for (unsigned byte; in >> std::hex >> byte;) bytes.push_back(static_cast<BYTE>(byte));
  return bytes;
}

// A code buffer: the bytes at `at`, the rest filled with INT 3.
struct Code {
  explicit Code(const std::vector<BYTE>& bytes, size_t at = 0) {
    memset(buffer, 0xCC, sizeof buffer);
    memcpy(buffer + at, bytes.data(), bytes.size());
  }
  BYTE buffer[512];
};

// Instructions as the GNU assembler encodes them (so each one's length is its byte count),
// covering every operand form of the tables; "|" separates them.
const char* const kSamples[] = {
    // plain, ModRM, SIB and displacements
    "90 | 55 | 89 E5 | 89 FF | 8B 45 08 | 8B 85 00 01 00 00 | 8B 08 | 8B 04 24 | 8B 44 24 04 | "
    "8B 84 24 00 02 00 00 | A1 78 56 34 12 | 8B 04 8D 78 56 34 12 | 8B 14 48 | 8B 54 C8 12 | "
    "8B 94 C8 34 12 00 00 | 8B 84 2D 00 01 00 00 | 8B 44 0D 08",
    // immediates, with and without the operand-size prefix
    "83 EC 10 | 81 EC 00 10 00 00 | 04 7F | 05 78 56 34 12 | 66 05 34 12 | 80 38 05 | "
    "81 7D 08 78 56 34 12 | 66 81 7D 08 34 12 | C7 45 FC 01 00 00 00 | 66 C7 45 FC 01 00 | "
    "C6 45 FC 01 | C7 04 85 78 56 34 12 78 56 34 12 | B8 78 56 34 12 | 66 B8 34 12 | B1 12 | "
    "68 78 56 34 12 | 66 68 34 12 | 69 C8 78 56 34 12 | 6B C8 12 | 66 69 C8 34 12 | 8D 45 F8",
    // the F6/F7 group (only /0, test, takes an immediate), shifts, FF
    "85 C0 | F6 00 01 | F7 00 01 00 00 00 | 66 F7 00 01 00 | F7 45 08 78 56 34 12 | "
    "F6 05 78 56 34 12 12 | F7 5D 08 | F7 35 78 56 34 12 | A8 12 | A9 78 56 34 12 | "
    "66 A9 34 12 | C1 E0 03 | D1 E0 | C1 7D 08 02 | FF 45 08 | FF D0 | FF 55 08 | FF 24 88 | "
    "FF 75 08 | FF 30",
    // moffs and the address-size prefix
    "A0 78 56 34 12 | 67 A1 34 12 | 67 8B 07 | 67 8B 0E 34 12 | 67 8B 4E 12 | 67 8B 88 34 12",
    // lock, rep and segment prefixes
    "F0 0F B1 0A | F0 FF 00 | F3 A5 | F2 AE | 64 A1 00 00 00 00 | 65 8B 00 | 64 66 89 03",
    // two-byte opcodes and MMX
    "0F B6 00 | 0F B7 45 08 | 66 0F BE C0 | 0F 44 C1 | 0F 94 C0 | 0F 95 05 78 56 34 12 | "
    "0F BA 65 08 03 | 0F A4 C2 04 | 0F A5 C2 | 0F C8 | 0F A2 | 0F C7 0E | 0F 6E C0 | "
    "0F 73 D0 20 | 0F 77",
    // returns, far branches and the rest
    "C3 | C2 08 00 | CB | CA 10 00 | C9 | C8 10 00 00 | CC | CD 2E | 9A 78 56 34 12 34 12 | "
    "EA 78 56 34 12 34 12 | D9 45 08 | D9 7D FE | D4 0A | E4 60 | EC | 60 | 9C | 98 | 91 | D7 | "
    "C4 08 | 62 01 | 8C C0 | 0F 01 00 | 0F 20 C0 | 0F A0",
    // prefixes stacked on SIB, displacement and immediate
    "64 F0 81 84 98 78 56 34 12 78 56 34 12 | 64 66 81 40 12 34 12",
};

TEST(InstructionDecoder, TablesAreInOpcodeOrder) {
  EXPECT_TRUE(CheckOpcodeTables());
}

TEST(InstructionDecoder, LengthsAndCopiesMatchTheAssembler) {
  std::vector<std::string> samples;
  for (const char* group : kSamples) {
    std::istringstream in(group);
    for (std::string sample; std::getline(in, sample, '|');) samples.push_back(sample);
  }
  ASSERT_EQ(114u, samples.size());
  for (const std::string& sample : samples) {
    SCOPED_TRACE(sample);
    const std::vector<BYTE> bytes = Hex(sample);
    Code code(bytes);
    EXPECT_EQ(code.buffer + bytes.size(), CopyInstruction(nullptr, code.buffer));
    // Without a relative branch the copy is the instruction itself, wherever it goes.
    BYTE copy[32];
    memset(copy, 0, sizeof copy);
    EXPECT_EQ(code.buffer + bytes.size(), CopyInstruction(copy, code.buffer));
    EXPECT_EQ(0, memcmp(copy, bytes.data(), bytes.size()));
    EXPECT_EQ(0, copy[bytes.size()]);
  }
}

struct Branch {
  const char* bytes;
  size_t width;  // of the displacement, which ends the instruction
  LONG extra;
  const char* text;
};

TEST(InstructionDecoder, RelativeBranchesKeepTheirDestinationWhenCopied) {
  const Branch branches[] = {
      {"EB 10", 1, 3, "jmp short"},
      {"74 F0", 1, 3, "je short, backwards"},
      {"E3 05", 1, 3, "jecxz"},
      {"E2 FE", 1, -3, "loop (no wider form)"},
      {"E0 10", 1, -3, "loopne"},
      {"E8 00 01 00 00", 4, 0, "call rel32"},
      {"E9 00 FF FF FF", 4, 0, "jmp rel32, backwards"},
      {"0F 85 20 00 00 00", 4, 0, "jne rel32"},
      {"66 E9 10 00", 2, 2, "jmp rel16"},
      {"66 0F 84 10 00", 2, 2, "je rel16"},
      {"2E 74 10", 1, 3, "je short behind a branch hint"},
  };
  for (const Branch& branch : branches) {
    SCOPED_TRACE(branch.text);
    const std::vector<BYTE> bytes = Hex(branch.bytes);
    Code source(bytes, 256);
    PBYTE src = source.buffer + 256;
    PBYTE destination = nullptr;
    LONG extra = 99;
    PBYTE next = CopyInstruction(nullptr, src, &destination, &extra);
    ASSERT_EQ(src + bytes.size(), next);
    EXPECT_EQ(branch.extra, extra);
    LONG displacement = 0;
    memcpy(&displacement, next - branch.width, branch.width);
    if (branch.width == 1) displacement = static_cast<int8_t>(displacement);
    if (branch.width == 2) displacement = static_cast<int16_t>(displacement);
    EXPECT_EQ(next + displacement, destination);

    // A copy 40 bytes further on still reaches the same place.
    PBYTE moved = source.buffer + 296;
    ASSERT_EQ(next, CopyInstruction(moved, src));
    PBYTE moved_destination = nullptr;
    EXPECT_EQ(moved + bytes.size(), CopyInstruction(nullptr, moved, &moved_destination));
    EXPECT_EQ(destination, moved_destination);
    EXPECT_NE(0, memcmp(moved, src, bytes.size()));
  }
}

TEST(InstructionDecoder, RefusesShortBranchesThatCannotReachFromTheCopy) {
  for (const char* text : {"EB 10", "66 E9 10 00"}) {
    SCOPED_TRACE(text);
    const std::vector<BYTE> bytes = Hex(text);
    Code source(bytes);
    std::vector<BYTE> far_away(0x20000, 0x90);
    PBYTE dst = far_away.data() + far_away.size() - 16;
    SetLastError(0);
    EXPECT_EQ(nullptr, CopyInstruction(dst, source.buffer));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ARITHMETIC_OVERFLOW), GetLastError());
    EXPECT_EQ(0x90, dst[0]) << "nothing may be written";
    // Measuring alone does not care where a copy would go.
    EXPECT_EQ(source.buffer + bytes.size(), CopyInstruction(nullptr, source.buffer));
  }
}

TEST(InstructionDecoder, ReportsRunTimeDestinations) {
  for (const char* text :
       {"CC", "CD 2E", "CE", "CF", "CB", "CA 10 00", "9A 78 56 34 12 34 12", "EA 78 56 34 12 34 12",
        "FF D0", "FF 55 08", "FF E0", "FF 24 88", "FF 18", "FF 28"}) {
    SCOPED_TRACE(text);
    Code code(Hex(text));
    PBYTE target = nullptr;
    CopyInstruction(nullptr, code.buffer, &target);
    EXPECT_EQ(kDynamicTarget, target);
  }
  for (const char* text : {"FF 30", "FF 45 08", "8B 45 08", "C3"}) {
    SCOPED_TRACE(text);
    Code code(Hex(text));
    PBYTE target = code.buffer;
    CopyInstruction(nullptr, code.buffer, &target);
    EXPECT_EQ(nullptr, target);
  }
}

TEST(InstructionDecoder, IndirectJumpsThroughAnAbsolutePointerLeadWhereItPoints) {
  BYTE landing = 0xC3;
  PBYTE pointer = &landing;
  const auto slot = reinterpret_cast<uintptr_t>(&pointer);
  for (const char* opcode : {"FF 15", "FF 25", "2E FF 25"}) {
    SCOPED_TRACE(opcode);
    std::vector<BYTE> bytes = Hex(opcode);
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<BYTE>(slot >> (8 * i)));
    Code code(bytes);
    PBYTE target = nullptr;
    EXPECT_EQ(code.buffer + bytes.size(), CopyInstruction(nullptr, code.buffer, &target));
    EXPECT_EQ(&landing, target);
  }
}

TEST(InstructionDecoder, InvalidOpcodesAreSkippedWithoutCopying) {
  struct Invalid {
    const char* bytes;
    UINT consumed;
    UINT copied;
  };
  for (const Invalid& invalid : {Invalid{"D6", 1, 0}, Invalid{"F1", 1, 0}, Invalid{"0F 0B", 2, 1},
                                 Invalid{"0F 10 C1", 2, 1}, Invalid{"66 0F 6C C1", 3, 2}}) {
    SCOPED_TRACE(invalid.bytes);
    Code code(Hex(invalid.bytes));
    BYTE copy[16] = {};
    const InstructionCopy result = CopyInstructionAt(copy, copy, code.buffer);
    EXPECT_EQ(code.buffer + invalid.consumed, result.next);
    EXPECT_EQ(invalid.copied, result.copied);
  }
}

TEST(InstructionDecoder, RejectsANullSourceAndEndlessPrefixes) {
  SetLastError(0);
  EXPECT_EQ(nullptr, CopyInstruction(nullptr, nullptr));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), GetLastError());

  Code prefixes(std::vector<BYTE>(20, 0x66));
  prefixes.buffer[20] = 0x90;
  SetLastError(0);
  EXPECT_EQ(nullptr, CopyInstruction(nullptr, prefixes.buffer));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), GetLastError());
}

}  // namespace
