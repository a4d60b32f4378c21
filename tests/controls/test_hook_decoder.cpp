#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "controls/x86_instruction.h"

namespace {

std::vector<BYTE> Hex(const char* text) {
  std::vector<BYTE> bytes;
  for (char* end; *text; text = end) bytes.push_back(static_cast<BYTE>(strtoul(text, &end, 16)));
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

struct Sample {
  const char* bytes;
  const char* text;
};

// Every row is one instruction as the GNU assembler encodes it, so its length is its byte count.
const Sample kSamples[] = {
    {"90", "nop"},
    {"55", "push ebp"},
    {"89 E5", "mov ebp,esp"},
    {"89 FF", "mov edi,edi"},
    {"8B 45 08", "mov eax,DWORD PTR [ebp+0x8]"},
    {"8B 85 00 01 00 00", "mov eax,DWORD PTR [ebp+0x100]"},
    {"8B 08", "mov ecx,DWORD PTR [eax]"},
    {"8B 04 24", "mov eax,DWORD PTR [esp]"},
    {"8B 44 24 04", "mov eax,DWORD PTR [esp+0x4]"},
    {"8B 84 24 00 02 00 00", "mov eax,DWORD PTR [esp+0x200]"},
    {"A1 78 56 34 12", "mov eax,ds:0x12345678"},
    {"8B 04 8D 78 56 34 12", "mov eax,DWORD PTR [ecx*4+0x12345678]"},
    {"8B 14 48", "mov edx,DWORD PTR [eax+ecx*2]"},
    {"8B 54 C8 12", "mov edx,DWORD PTR [eax+ecx*8+0x12]"},
    {"8B 94 C8 34 12 00 00", "mov edx,DWORD PTR [eax+ecx*8+0x1234]"},
    {"8B 84 2D 00 01 00 00", "mov eax,DWORD PTR [ebp+ebp*1+0x100]"},
    {"8B 44 0D 08", "mov eax,DWORD PTR [ebp+ecx*1+0x8]"},
    {"83 EC 10", "sub esp,0x10"},
    {"81 EC 00 10 00 00", "sub esp,0x1000"},
    {"04 7F", "add al,0x7f"},
    {"05 78 56 34 12", "add eax,0x12345678"},
    {"66 05 34 12", "add ax,0x1234"},
    {"80 38 05", "cmp BYTE PTR [eax],0x5"},
    {"81 7D 08 78 56 34 12", "cmp DWORD PTR [ebp+0x8],0x12345678"},
    {"66 81 7D 08 34 12", "cmp WORD PTR [ebp+0x8],0x1234"},
    {"C7 45 FC 01 00 00 00", "mov DWORD PTR [ebp-0x4],0x1"},
    {"66 C7 45 FC 01 00", "mov WORD PTR [ebp-0x4],0x1"},
    {"C6 45 FC 01", "mov BYTE PTR [ebp-0x4],0x1"},
    {"C7 04 85 78 56 34 12 78 56 34 12", "mov DWORD PTR [eax*4+0x12345678],0x12345678"},
    {"B8 78 56 34 12", "mov eax,0x12345678"},
    {"66 B8 34 12", "mov ax,0x1234"},
    {"B1 12", "mov cl,0x12"},
    {"68 78 56 34 12", "push 0x12345678"},
    {"66 68 34 12", "pushw 0x1234"},
    {"69 C8 78 56 34 12", "imul ecx,eax,0x12345678"},
    {"6B C8 12", "imul ecx,eax,0x12"},
    {"66 69 C8 34 12", "imul cx,ax,0x1234"},
    {"8D 45 F8", "lea eax,[ebp-0x8]"},
    {"85 C0", "test eax,eax"},
    {"F6 00 01", "test BYTE PTR [eax],0x1"},
    {"F7 00 01 00 00 00", "test DWORD PTR [eax],0x1"},
    {"66 F7 00 01 00", "test WORD PTR [eax],0x1"},
    {"F7 45 08 78 56 34 12", "test DWORD PTR [ebp+0x8],0x12345678"},
    {"F6 05 78 56 34 12 12", "test BYTE PTR ds:0x12345678,0x12"},
    {"F7 5D 08", "neg DWORD PTR [ebp+0x8]"},
    {"F7 35 78 56 34 12", "div DWORD PTR ds:0x12345678"},
    {"A8 12", "test al,0x12"},
    {"A9 78 56 34 12", "test eax,0x12345678"},
    {"66 A9 34 12", "test ax,0x1234"},
    {"C1 E0 03", "shl eax,0x3"},
    {"D1 E0", "shl eax,1"},
    {"C1 7D 08 02", "sar DWORD PTR [ebp+0x8],0x2"},
    {"FF 45 08", "inc DWORD PTR [ebp+0x8]"},
    {"FF D0", "call eax"},
    {"FF 55 08", "call DWORD PTR [ebp+0x8]"},
    {"FF 24 88", "jmp DWORD PTR [eax+ecx*4]"},
    {"FF 75 08", "push DWORD PTR [ebp+0x8]"},
    {"FF 30", "push DWORD PTR [eax]"},
    {"A0 78 56 34 12", "mov al,ds:0x12345678"},
    {"67 A1 34 12", "addr16 mov eax,ds:0x1234"},
    {"67 8B 07", "mov eax,DWORD PTR [bx]"},
    {"67 8B 0E 34 12", "mov ecx,DWORD PTR ds:0x1234"},
    {"67 8B 4E 12", "mov ecx,DWORD PTR [bp+0x12]"},
    {"67 8B 88 34 12", "mov ecx,DWORD PTR [bx+si+0x1234]"},
    {"F0 0F B1 0A", "lock cmpxchg DWORD PTR [edx],ecx"},
    {"F0 FF 00", "lock inc DWORD PTR [eax]"},
    {"F3 A5", "rep movs DWORD PTR es:[edi],DWORD PTR ds:[esi]"},
    {"F2 AE", "repnz scas al,BYTE PTR es:[edi]"},
    {"64 A1 00 00 00 00", "mov eax,fs:0x0"},
    {"65 8B 00", "mov eax,DWORD PTR gs:[eax]"},
    {"64 66 89 03", "mov WORD PTR fs:[ebx],ax"},
    {"0F B6 00", "movzx eax,BYTE PTR [eax]"},
    {"0F B7 45 08", "movzx eax,WORD PTR [ebp+0x8]"},
    {"66 0F BE C0", "movsx ax,al"},
    {"0F 44 C1", "cmove eax,ecx"},
    {"0F 94 C0", "sete al"},
    {"0F 95 05 78 56 34 12", "setne BYTE PTR ds:0x12345678"},
    {"0F BA 65 08 03", "bt DWORD PTR [ebp+0x8],0x3"},
    {"0F A4 C2 04", "shld edx,eax,0x4"},
    {"0F A5 C2", "shld edx,eax,cl"},
    {"0F C8", "bswap eax"},
    {"0F A2", "cpuid"},
    {"0F C7 0E", "cmpxchg8b QWORD PTR [esi]"},
    {"0F 6E C0", "movd mm0,eax"},
    {"0F 73 D0 20", "psrlq mm0,0x20"},
    {"0F 77", "emms"},
    {"C3", "ret"},
    {"C2 08 00", "ret 0x8"},
    {"CB", "retf"},
    {"CA 10 00", "retf 0x10"},
    {"C9", "leave"},
    {"C8 10 00 00", "enter 0x10,0x0"},
    {"CC", "int3"},
    {"CD 2E", "int 0x2e"},
    {"9A 78 56 34 12 34 12", "call 0x1234:0x12345678"},
    {"EA 78 56 34 12 34 12", "jmp 0x1234:0x12345678"},
    {"D9 45 08", "fld DWORD PTR [ebp+0x8]"},
    {"D9 7D FE", "fnstcw WORD PTR [ebp-0x2]"},
    {"D4 0A", "aam 0xa"},
    {"E4 60", "in al,0x60"},
    {"EC", "in al,dx"},
    {"60", "pusha"},
    {"9C", "pushf"},
    {"98", "cwde"},
    {"91", "xchg ecx,eax"},
    {"D7", "xlat BYTE PTR ds:[ebx]"},
    {"C4 08", "les ecx,FWORD PTR [eax]"},
    {"62 01", "bound eax,QWORD PTR [ecx]"},
    {"8C C0", "mov eax,es"},
    {"0F 01 00", "sgdtd [eax]"},
    {"0F 20 C0", "mov eax,cr0"},
    {"0F A0", "push fs"},
    {"64 F0 81 84 98 78 56 34 12 78 56 34 12",
     "lock add DWORD PTR fs:[eax+ebx*4+0x12345678],0x12345678"},
    {"64 66 81 40 12 34 12", "add WORD PTR fs:[eax+0x12],0x1234"},
};

TEST(InstructionDecoder, TablesAreInOpcodeOrder) {
  EXPECT_TRUE(CheckOpcodeTables());
}

TEST(InstructionDecoder, LengthsAndCopiesMatchTheAssembler) {
  for (const Sample& sample : kSamples) {
    SCOPED_TRACE(sample.text);
    const std::vector<BYTE> bytes = Hex(sample.bytes);
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
