#include "controls/x86_instruction.h"

#include <cstdint>
#include <cstring>

namespace {

// An opcode descriptor packs what the length of an instruction depends on into 32 bits:
//   bits 0-7   the opcode itself (lets CheckOpcodeTables catch a shifted row)
//   bits 8-10  fixed size, counted from the opcode byte
//   bits 11-13 fixed size under the operand-size prefix (the address-size prefix for
//              kAddressSized entries)
//   bits 14-16 offset of the ModR/M byte (0: none)
//   bits 17-19 offset of a relative displacement, which runs to the end of the fixed size
//   bits 20-23 flags
constexpr uint32_t kDynamic = 1;         // destination known only at run time
constexpr uint32_t kAddressSized = 2;    // moffs forms: size follows the address-size prefix
constexpr uint32_t kNotEnlargeable = 4;  // rel8 branch without a rel32 form

constexpr uint32_t Describe(uint32_t opcode, uint32_t size, uint32_t size_prefixed,
                            uint32_t modrm_offset, uint32_t rel_offset, uint32_t flags) {
  return opcode | size << 8 | size_prefixed << 11 | modrm_offset << 14 | rel_offset << 17 |
         flags << 20;
}
constexpr UINT OpcodeOf(uint32_t d) {
  return d & 0xFF;
}
constexpr UINT SizeOf(uint32_t d) {
  return (d >> 8) & 7;
}
constexpr UINT PrefixedSizeOf(uint32_t d) {
  return (d >> 11) & 7;
}
constexpr UINT ModRmOffsetOf(uint32_t d) {
  return (d >> 14) & 7;
}
constexpr UINT RelOffsetOf(uint32_t d) {
  return (d >> 17) & 7;
}
constexpr uint32_t FlagsOf(uint32_t d) {
  return (d >> 20) & 0xF;
}

// The longest instruction the processor accepts; longer prefix runs are not code.
constexpr UINT kMaxInstructionLength = 15;

struct DecodeContext {
  PBYTE runs_at = nullptr;  // where the copy will run; null when only measuring
  bool operand_prefix = false;
  bool address_prefix = false;
  bool overflow = false;  // a re-targeted displacement does not fit its field
  bool too_long = false;
  PBYTE target = nullptr;
  LONG extra = 0;
  UINT copied = 0;
  BYTE scratch[kMaxInstructionLength];
};

struct OpcodeEntry;
using Handler = PBYTE (*)(const OpcodeEntry& entry, DecodeContext& ctx, PBYTE src);
struct OpcodeEntry {
  uint32_t descriptor;
  Handler handler;
};

PBYTE CopyPlain(const OpcodeEntry& entry, DecodeContext& ctx, PBYTE src);
PBYTE CopyPrefix(const OpcodeEntry& entry, DecodeContext& ctx, PBYTE src);
PBYTE CopyOperandSizePrefix(const OpcodeEntry& entry, DecodeContext& ctx, PBYTE src);
PBYTE CopyAddressSizePrefix(const OpcodeEntry& entry, DecodeContext& ctx, PBYTE src);
PBYTE CopyTwoByte(const OpcodeEntry& entry, DecodeContext& ctx, PBYTE src);
PBYTE CopyGroup3(const OpcodeEntry& entry, DecodeContext& ctx, PBYTE src);
PBYTE CopyGroup5(const OpcodeEntry& entry, DecodeContext& ctx, PBYTE src);
PBYTE SkipInvalid(const OpcodeEntry& entry, DecodeContext& ctx, PBYTE src);

// 32-bit code as far as the P6 with MMX; later extensions (SSE and up, 3DNow!) and UD2 count as
// invalid, which no function prologue a hook needs to move contains.
// clang-format off
// One-byte opcodes.
constexpr OpcodeEntry kOneByteOpcodes[256] = {
    {Describe(0x00, 2, 2, 1, 0, 0), CopyPlain},  // add Eb,Gb
    {Describe(0x01, 2, 2, 1, 0, 0), CopyPlain},  // add Ev,Gv
    {Describe(0x02, 2, 2, 1, 0, 0), CopyPlain},  // add Gb,Eb
    {Describe(0x03, 2, 2, 1, 0, 0), CopyPlain},  // add Gv,Ev
    {Describe(0x04, 2, 2, 0, 0, 0), CopyPlain},  // add AL,Ib
    {Describe(0x05, 5, 3, 0, 0, 0), CopyPlain},  // add eAX,Iz
    {Describe(0x06, 1, 1, 0, 0, 0), CopyPlain},  // push es
    {Describe(0x07, 1, 1, 0, 0, 0), CopyPlain},  // pop es
    {Describe(0x08, 2, 2, 1, 0, 0), CopyPlain},  // or Eb,Gb
    {Describe(0x09, 2, 2, 1, 0, 0), CopyPlain},  // or Ev,Gv
    {Describe(0x0A, 2, 2, 1, 0, 0), CopyPlain},  // or Gb,Eb
    {Describe(0x0B, 2, 2, 1, 0, 0), CopyPlain},  // or Gv,Ev
    {Describe(0x0C, 2, 2, 0, 0, 0), CopyPlain},  // or AL,Ib
    {Describe(0x0D, 5, 3, 0, 0, 0), CopyPlain},  // or eAX,Iz
    {Describe(0x0E, 1, 1, 0, 0, 0), CopyPlain},  // push cs
    {Describe(0x0F, 1, 1, 0, 0, 0), CopyTwoByte},  // two-byte escape
    {Describe(0x10, 2, 2, 1, 0, 0), CopyPlain},  // adc Eb,Gb
    {Describe(0x11, 2, 2, 1, 0, 0), CopyPlain},  // adc Ev,Gv
    {Describe(0x12, 2, 2, 1, 0, 0), CopyPlain},  // adc Gb,Eb
    {Describe(0x13, 2, 2, 1, 0, 0), CopyPlain},  // adc Gv,Ev
    {Describe(0x14, 2, 2, 0, 0, 0), CopyPlain},  // adc AL,Ib
    {Describe(0x15, 5, 3, 0, 0, 0), CopyPlain},  // adc eAX,Iz
    {Describe(0x16, 1, 1, 0, 0, 0), CopyPlain},  // push ss
    {Describe(0x17, 1, 1, 0, 0, 0), CopyPlain},  // pop ss
    {Describe(0x18, 2, 2, 1, 0, 0), CopyPlain},  // sbb Eb,Gb
    {Describe(0x19, 2, 2, 1, 0, 0), CopyPlain},  // sbb Ev,Gv
    {Describe(0x1A, 2, 2, 1, 0, 0), CopyPlain},  // sbb Gb,Eb
    {Describe(0x1B, 2, 2, 1, 0, 0), CopyPlain},  // sbb Gv,Ev
    {Describe(0x1C, 2, 2, 0, 0, 0), CopyPlain},  // sbb AL,Ib
    {Describe(0x1D, 5, 3, 0, 0, 0), CopyPlain},  // sbb eAX,Iz
    {Describe(0x1E, 1, 1, 0, 0, 0), CopyPlain},  // push ds
    {Describe(0x1F, 1, 1, 0, 0, 0), CopyPlain},  // pop ds
    {Describe(0x20, 2, 2, 1, 0, 0), CopyPlain},  // and Eb,Gb
    {Describe(0x21, 2, 2, 1, 0, 0), CopyPlain},  // and Ev,Gv
    {Describe(0x22, 2, 2, 1, 0, 0), CopyPlain},  // and Gb,Eb
    {Describe(0x23, 2, 2, 1, 0, 0), CopyPlain},  // and Gv,Ev
    {Describe(0x24, 2, 2, 0, 0, 0), CopyPlain},  // and AL,Ib
    {Describe(0x25, 5, 3, 0, 0, 0), CopyPlain},  // and eAX,Iz
    {Describe(0x26, 1, 1, 0, 0, 0), CopyPrefix},  // es:
    {Describe(0x27, 1, 1, 0, 0, 0), CopyPlain},  // daa
    {Describe(0x28, 2, 2, 1, 0, 0), CopyPlain},  // sub Eb,Gb
    {Describe(0x29, 2, 2, 1, 0, 0), CopyPlain},  // sub Ev,Gv
    {Describe(0x2A, 2, 2, 1, 0, 0), CopyPlain},  // sub Gb,Eb
    {Describe(0x2B, 2, 2, 1, 0, 0), CopyPlain},  // sub Gv,Ev
    {Describe(0x2C, 2, 2, 0, 0, 0), CopyPlain},  // sub AL,Ib
    {Describe(0x2D, 5, 3, 0, 0, 0), CopyPlain},  // sub eAX,Iz
    {Describe(0x2E, 1, 1, 0, 0, 0), CopyPrefix},  // cs:
    {Describe(0x2F, 1, 1, 0, 0, 0), CopyPlain},  // das
    {Describe(0x30, 2, 2, 1, 0, 0), CopyPlain},  // xor Eb,Gb
    {Describe(0x31, 2, 2, 1, 0, 0), CopyPlain},  // xor Ev,Gv
    {Describe(0x32, 2, 2, 1, 0, 0), CopyPlain},  // xor Gb,Eb
    {Describe(0x33, 2, 2, 1, 0, 0), CopyPlain},  // xor Gv,Ev
    {Describe(0x34, 2, 2, 0, 0, 0), CopyPlain},  // xor AL,Ib
    {Describe(0x35, 5, 3, 0, 0, 0), CopyPlain},  // xor eAX,Iz
    {Describe(0x36, 1, 1, 0, 0, 0), CopyPrefix},  // ss:
    {Describe(0x37, 1, 1, 0, 0, 0), CopyPlain},  // aaa
    {Describe(0x38, 2, 2, 1, 0, 0), CopyPlain},  // cmp Eb,Gb
    {Describe(0x39, 2, 2, 1, 0, 0), CopyPlain},  // cmp Ev,Gv
    {Describe(0x3A, 2, 2, 1, 0, 0), CopyPlain},  // cmp Gb,Eb
    {Describe(0x3B, 2, 2, 1, 0, 0), CopyPlain},  // cmp Gv,Ev
    {Describe(0x3C, 2, 2, 0, 0, 0), CopyPlain},  // cmp AL,Ib
    {Describe(0x3D, 5, 3, 0, 0, 0), CopyPlain},  // cmp eAX,Iz
    {Describe(0x3E, 1, 1, 0, 0, 0), CopyPrefix},  // ds:
    {Describe(0x3F, 1, 1, 0, 0, 0), CopyPlain},  // aas
    {Describe(0x40, 1, 1, 0, 0, 0), CopyPlain},  // inc eax
    {Describe(0x41, 1, 1, 0, 0, 0), CopyPlain},  // inc ecx
    {Describe(0x42, 1, 1, 0, 0, 0), CopyPlain},  // inc edx
    {Describe(0x43, 1, 1, 0, 0, 0), CopyPlain},  // inc ebx
    {Describe(0x44, 1, 1, 0, 0, 0), CopyPlain},  // inc esp
    {Describe(0x45, 1, 1, 0, 0, 0), CopyPlain},  // inc ebp
    {Describe(0x46, 1, 1, 0, 0, 0), CopyPlain},  // inc esi
    {Describe(0x47, 1, 1, 0, 0, 0), CopyPlain},  // inc edi
    {Describe(0x48, 1, 1, 0, 0, 0), CopyPlain},  // dec eax
    {Describe(0x49, 1, 1, 0, 0, 0), CopyPlain},  // dec ecx
    {Describe(0x4A, 1, 1, 0, 0, 0), CopyPlain},  // dec edx
    {Describe(0x4B, 1, 1, 0, 0, 0), CopyPlain},  // dec ebx
    {Describe(0x4C, 1, 1, 0, 0, 0), CopyPlain},  // dec esp
    {Describe(0x4D, 1, 1, 0, 0, 0), CopyPlain},  // dec ebp
    {Describe(0x4E, 1, 1, 0, 0, 0), CopyPlain},  // dec esi
    {Describe(0x4F, 1, 1, 0, 0, 0), CopyPlain},  // dec edi
    {Describe(0x50, 1, 1, 0, 0, 0), CopyPlain},  // push eax
    {Describe(0x51, 1, 1, 0, 0, 0), CopyPlain},  // push ecx
    {Describe(0x52, 1, 1, 0, 0, 0), CopyPlain},  // push edx
    {Describe(0x53, 1, 1, 0, 0, 0), CopyPlain},  // push ebx
    {Describe(0x54, 1, 1, 0, 0, 0), CopyPlain},  // push esp
    {Describe(0x55, 1, 1, 0, 0, 0), CopyPlain},  // push ebp
    {Describe(0x56, 1, 1, 0, 0, 0), CopyPlain},  // push esi
    {Describe(0x57, 1, 1, 0, 0, 0), CopyPlain},  // push edi
    {Describe(0x58, 1, 1, 0, 0, 0), CopyPlain},  // pop eax
    {Describe(0x59, 1, 1, 0, 0, 0), CopyPlain},  // pop ecx
    {Describe(0x5A, 1, 1, 0, 0, 0), CopyPlain},  // pop edx
    {Describe(0x5B, 1, 1, 0, 0, 0), CopyPlain},  // pop ebx
    {Describe(0x5C, 1, 1, 0, 0, 0), CopyPlain},  // pop esp
    {Describe(0x5D, 1, 1, 0, 0, 0), CopyPlain},  // pop ebp
    {Describe(0x5E, 1, 1, 0, 0, 0), CopyPlain},  // pop esi
    {Describe(0x5F, 1, 1, 0, 0, 0), CopyPlain},  // pop edi
    {Describe(0x60, 1, 1, 0, 0, 0), CopyPlain},  // pushad
    {Describe(0x61, 1, 1, 0, 0, 0), CopyPlain},  // popad
    {Describe(0x62, 2, 2, 1, 0, 0), CopyPlain},  // bound Gv,Ma
    {Describe(0x63, 2, 2, 1, 0, 0), CopyPlain},  // arpl Ew,Gw
    {Describe(0x64, 1, 1, 0, 0, 0), CopyPrefix},  // fs:
    {Describe(0x65, 1, 1, 0, 0, 0), CopyPrefix},  // gs:
    {Describe(0x66, 1, 1, 0, 0, 0), CopyOperandSizePrefix},  // operand size
    {Describe(0x67, 1, 1, 0, 0, 0), CopyAddressSizePrefix},  // address size
    {Describe(0x68, 5, 3, 0, 0, 0), CopyPlain},  // push Iz
    {Describe(0x69, 6, 4, 1, 0, 0), CopyPlain},  // imul Gv,Ev,Iz
    {Describe(0x6A, 2, 2, 0, 0, 0), CopyPlain},  // push Ib
    {Describe(0x6B, 3, 3, 1, 0, 0), CopyPlain},  // imul Gv,Ev,Ib
    {Describe(0x6C, 1, 1, 0, 0, 0), CopyPlain},  // insb
    {Describe(0x6D, 1, 1, 0, 0, 0), CopyPlain},  // insd
    {Describe(0x6E, 1, 1, 0, 0, 0), CopyPlain},  // outsb
    {Describe(0x6F, 1, 1, 0, 0, 0), CopyPlain},  // outsd
    {Describe(0x70, 2, 2, 0, 1, 0), CopyPlain},  // jo Jb
    {Describe(0x71, 2, 2, 0, 1, 0), CopyPlain},  // jno Jb
    {Describe(0x72, 2, 2, 0, 1, 0), CopyPlain},  // jb Jb
    {Describe(0x73, 2, 2, 0, 1, 0), CopyPlain},  // jae Jb
    {Describe(0x74, 2, 2, 0, 1, 0), CopyPlain},  // je Jb
    {Describe(0x75, 2, 2, 0, 1, 0), CopyPlain},  // jne Jb
    {Describe(0x76, 2, 2, 0, 1, 0), CopyPlain},  // jbe Jb
    {Describe(0x77, 2, 2, 0, 1, 0), CopyPlain},  // ja Jb
    {Describe(0x78, 2, 2, 0, 1, 0), CopyPlain},  // js Jb
    {Describe(0x79, 2, 2, 0, 1, 0), CopyPlain},  // jns Jb
    {Describe(0x7A, 2, 2, 0, 1, 0), CopyPlain},  // jp Jb
    {Describe(0x7B, 2, 2, 0, 1, 0), CopyPlain},  // jnp Jb
    {Describe(0x7C, 2, 2, 0, 1, 0), CopyPlain},  // jl Jb
    {Describe(0x7D, 2, 2, 0, 1, 0), CopyPlain},  // jge Jb
    {Describe(0x7E, 2, 2, 0, 1, 0), CopyPlain},  // jle Jb
    {Describe(0x7F, 2, 2, 0, 1, 0), CopyPlain},  // jg Jb
    {Describe(0x80, 3, 3, 1, 0, 0), CopyPlain},  // group 1 Eb,Ib
    {Describe(0x81, 6, 4, 1, 0, 0), CopyPlain},  // group 1 Ev,Iz
    {Describe(0x82, 3, 3, 1, 0, 0), CopyPlain},  // group 1 Eb,Ib (alias)
    {Describe(0x83, 3, 3, 1, 0, 0), CopyPlain},  // group 1 Ev,Ib
    {Describe(0x84, 2, 2, 1, 0, 0), CopyPlain},  // test Eb,Gb
    {Describe(0x85, 2, 2, 1, 0, 0), CopyPlain},  // test Ev,Gv
    {Describe(0x86, 2, 2, 1, 0, 0), CopyPlain},  // xchg Eb,Gb
    {Describe(0x87, 2, 2, 1, 0, 0), CopyPlain},  // xchg Ev,Gv
    {Describe(0x88, 2, 2, 1, 0, 0), CopyPlain},  // mov Eb,Gb
    {Describe(0x89, 2, 2, 1, 0, 0), CopyPlain},  // mov Ev,Gv
    {Describe(0x8A, 2, 2, 1, 0, 0), CopyPlain},  // mov Gb,Eb
    {Describe(0x8B, 2, 2, 1, 0, 0), CopyPlain},  // mov Gv,Ev
    {Describe(0x8C, 2, 2, 1, 0, 0), CopyPlain},  // mov Ew,Sw
    {Describe(0x8D, 2, 2, 1, 0, 0), CopyPlain},  // lea Gv,M
    {Describe(0x8E, 2, 2, 1, 0, 0), CopyPlain},  // mov Sw,Ew
    {Describe(0x8F, 2, 2, 1, 0, 0), CopyPlain},  // pop Ev
    {Describe(0x90, 1, 1, 0, 0, 0), CopyPlain},  // nop
    {Describe(0x91, 1, 1, 0, 0, 0), CopyPlain},  // xchg eax,ecx
    {Describe(0x92, 1, 1, 0, 0, 0), CopyPlain},  // xchg eax,edx
    {Describe(0x93, 1, 1, 0, 0, 0), CopyPlain},  // xchg eax,ebx
    {Describe(0x94, 1, 1, 0, 0, 0), CopyPlain},  // xchg eax,esp
    {Describe(0x95, 1, 1, 0, 0, 0), CopyPlain},  // xchg eax,ebp
    {Describe(0x96, 1, 1, 0, 0, 0), CopyPlain},  // xchg eax,esi
    {Describe(0x97, 1, 1, 0, 0, 0), CopyPlain},  // xchg eax,edi
    {Describe(0x98, 1, 1, 0, 0, 0), CopyPlain},  // cwde
    {Describe(0x99, 1, 1, 0, 0, 0), CopyPlain},  // cdq
    {Describe(0x9A, 7, 5, 0, 0, kDynamic), CopyPlain},  // call far Ap
    {Describe(0x9B, 1, 1, 0, 0, 0), CopyPlain},  // wait
    {Describe(0x9C, 1, 1, 0, 0, 0), CopyPlain},  // pushfd
    {Describe(0x9D, 1, 1, 0, 0, 0), CopyPlain},  // popfd
    {Describe(0x9E, 1, 1, 0, 0, 0), CopyPlain},  // sahf
    {Describe(0x9F, 1, 1, 0, 0, 0), CopyPlain},  // lahf
    {Describe(0xA0, 5, 3, 0, 0, kAddressSized), CopyPlain},  // mov AL,Ob
    {Describe(0xA1, 5, 3, 0, 0, kAddressSized), CopyPlain},  // mov eAX,Ov
    {Describe(0xA2, 5, 3, 0, 0, kAddressSized), CopyPlain},  // mov Ob,AL
    {Describe(0xA3, 5, 3, 0, 0, kAddressSized), CopyPlain},  // mov Ov,eAX
    {Describe(0xA4, 1, 1, 0, 0, 0), CopyPlain},  // movsb
    {Describe(0xA5, 1, 1, 0, 0, 0), CopyPlain},  // movsd
    {Describe(0xA6, 1, 1, 0, 0, 0), CopyPlain},  // cmpsb
    {Describe(0xA7, 1, 1, 0, 0, 0), CopyPlain},  // cmpsd
    {Describe(0xA8, 2, 2, 0, 0, 0), CopyPlain},  // test AL,Ib
    {Describe(0xA9, 5, 3, 0, 0, 0), CopyPlain},  // test eAX,Iz
    {Describe(0xAA, 1, 1, 0, 0, 0), CopyPlain},  // stosb
    {Describe(0xAB, 1, 1, 0, 0, 0), CopyPlain},  // stosd
    {Describe(0xAC, 1, 1, 0, 0, 0), CopyPlain},  // lodsb
    {Describe(0xAD, 1, 1, 0, 0, 0), CopyPlain},  // lodsd
    {Describe(0xAE, 1, 1, 0, 0, 0), CopyPlain},  // scasb
    {Describe(0xAF, 1, 1, 0, 0, 0), CopyPlain},  // scasd
    {Describe(0xB0, 2, 2, 0, 0, 0), CopyPlain},  // mov al,Ib
    {Describe(0xB1, 2, 2, 0, 0, 0), CopyPlain},  // mov cl,Ib
    {Describe(0xB2, 2, 2, 0, 0, 0), CopyPlain},  // mov dl,Ib
    {Describe(0xB3, 2, 2, 0, 0, 0), CopyPlain},  // mov bl,Ib
    {Describe(0xB4, 2, 2, 0, 0, 0), CopyPlain},  // mov ah,Ib
    {Describe(0xB5, 2, 2, 0, 0, 0), CopyPlain},  // mov ch,Ib
    {Describe(0xB6, 2, 2, 0, 0, 0), CopyPlain},  // mov dh,Ib
    {Describe(0xB7, 2, 2, 0, 0, 0), CopyPlain},  // mov bh,Ib
    {Describe(0xB8, 5, 3, 0, 0, 0), CopyPlain},  // mov eax,Iv
    {Describe(0xB9, 5, 3, 0, 0, 0), CopyPlain},  // mov ecx,Iv
    {Describe(0xBA, 5, 3, 0, 0, 0), CopyPlain},  // mov edx,Iv
    {Describe(0xBB, 5, 3, 0, 0, 0), CopyPlain},  // mov ebx,Iv
    {Describe(0xBC, 5, 3, 0, 0, 0), CopyPlain},  // mov esp,Iv
    {Describe(0xBD, 5, 3, 0, 0, 0), CopyPlain},  // mov ebp,Iv
    {Describe(0xBE, 5, 3, 0, 0, 0), CopyPlain},  // mov esi,Iv
    {Describe(0xBF, 5, 3, 0, 0, 0), CopyPlain},  // mov edi,Iv
    {Describe(0xC0, 3, 3, 1, 0, 0), CopyPlain},  // group 2 Eb,Ib
    {Describe(0xC1, 3, 3, 1, 0, 0), CopyPlain},  // group 2 Ev,Ib
    {Describe(0xC2, 3, 3, 0, 0, 0), CopyPlain},  // ret Iw
    {Describe(0xC3, 1, 1, 0, 0, 0), CopyPlain},  // ret
    {Describe(0xC4, 2, 2, 1, 0, 0), CopyPlain},  // les Gz,Mp
    {Describe(0xC5, 2, 2, 1, 0, 0), CopyPlain},  // lds Gz,Mp
    {Describe(0xC6, 3, 3, 1, 0, 0), CopyPlain},  // mov Eb,Ib
    {Describe(0xC7, 6, 4, 1, 0, 0), CopyPlain},  // mov Ev,Iz
    {Describe(0xC8, 4, 4, 0, 0, 0), CopyPlain},  // enter Iw,Ib
    {Describe(0xC9, 1, 1, 0, 0, 0), CopyPlain},  // leave
    {Describe(0xCA, 3, 3, 0, 0, kDynamic), CopyPlain},  // retf Iw
    {Describe(0xCB, 1, 1, 0, 0, kDynamic), CopyPlain},  // retf
    {Describe(0xCC, 1, 1, 0, 0, kDynamic), CopyPlain},  // int3
    {Describe(0xCD, 2, 2, 0, 0, kDynamic), CopyPlain},  // int Ib
    {Describe(0xCE, 1, 1, 0, 0, kDynamic), CopyPlain},  // into
    {Describe(0xCF, 1, 1, 0, 0, kDynamic), CopyPlain},  // iretd
    {Describe(0xD0, 2, 2, 1, 0, 0), CopyPlain},  // group 2 Eb,1
    {Describe(0xD1, 2, 2, 1, 0, 0), CopyPlain},  // group 2 Ev,1
    {Describe(0xD2, 2, 2, 1, 0, 0), CopyPlain},  // group 2 Eb,CL
    {Describe(0xD3, 2, 2, 1, 0, 0), CopyPlain},  // group 2 Ev,CL
    {Describe(0xD4, 2, 2, 0, 0, 0), CopyPlain},  // aam Ib
    {Describe(0xD5, 2, 2, 0, 0, 0), CopyPlain},  // aad Ib
    {Describe(0xD6, 1, 1, 0, 0, 0), SkipInvalid},  // (salc)
    {Describe(0xD7, 1, 1, 0, 0, 0), CopyPlain},  // xlat
    {Describe(0xD8, 2, 2, 1, 0, 0), CopyPlain},  // x87
    {Describe(0xD9, 2, 2, 1, 0, 0), CopyPlain},  // x87
    {Describe(0xDA, 2, 2, 1, 0, 0), CopyPlain},  // x87
    {Describe(0xDB, 2, 2, 1, 0, 0), CopyPlain},  // x87
    {Describe(0xDC, 2, 2, 1, 0, 0), CopyPlain},  // x87
    {Describe(0xDD, 2, 2, 1, 0, 0), CopyPlain},  // x87
    {Describe(0xDE, 2, 2, 1, 0, 0), CopyPlain},  // x87
    {Describe(0xDF, 2, 2, 1, 0, 0), CopyPlain},  // x87
    {Describe(0xE0, 2, 2, 0, 1, kNotEnlargeable), CopyPlain},  // loopne Jb
    {Describe(0xE1, 2, 2, 0, 1, kNotEnlargeable), CopyPlain},  // loope Jb
    {Describe(0xE2, 2, 2, 0, 1, kNotEnlargeable), CopyPlain},  // loop Jb
    {Describe(0xE3, 2, 2, 0, 1, 0), CopyPlain},  // jecxz Jb
    {Describe(0xE4, 2, 2, 0, 0, 0), CopyPlain},  // in AL,Ib
    {Describe(0xE5, 2, 2, 0, 0, 0), CopyPlain},  // in eAX,Ib
    {Describe(0xE6, 2, 2, 0, 0, 0), CopyPlain},  // out Ib,AL
    {Describe(0xE7, 2, 2, 0, 0, 0), CopyPlain},  // out Ib,eAX
    {Describe(0xE8, 5, 3, 0, 1, 0), CopyPlain},  // call Jz
    {Describe(0xE9, 5, 3, 0, 1, 0), CopyPlain},  // jmp Jz
    {Describe(0xEA, 7, 5, 0, 0, kDynamic), CopyPlain},  // jmp far Ap
    {Describe(0xEB, 2, 2, 0, 1, 0), CopyPlain},  // jmp Jb
    {Describe(0xEC, 1, 1, 0, 0, 0), CopyPlain},  // in AL,DX
    {Describe(0xED, 1, 1, 0, 0, 0), CopyPlain},  // in eAX,DX
    {Describe(0xEE, 1, 1, 0, 0, 0), CopyPlain},  // out DX,AL
    {Describe(0xEF, 1, 1, 0, 0, 0), CopyPlain},  // out DX,eAX
    {Describe(0xF0, 1, 1, 0, 0, 0), CopyPrefix},  // lock
    {Describe(0xF1, 1, 1, 0, 0, 0), SkipInvalid},  // (int1)
    {Describe(0xF2, 1, 1, 0, 0, 0), CopyPrefix},  // repne
    {Describe(0xF3, 1, 1, 0, 0, 0), CopyPrefix},  // rep
    {Describe(0xF4, 1, 1, 0, 0, 0), CopyPlain},  // hlt
    {Describe(0xF5, 1, 1, 0, 0, 0), CopyPlain},  // cmc
    {Describe(0xF6, 2, 2, 1, 0, 0), CopyGroup3},  // group 3 Eb (test Eb,Ib)
    {Describe(0xF7, 2, 2, 1, 0, 0), CopyGroup3},  // group 3 Ev (test Ev,Iz)
    {Describe(0xF8, 1, 1, 0, 0, 0), CopyPlain},  // clc
    {Describe(0xF9, 1, 1, 0, 0, 0), CopyPlain},  // stc
    {Describe(0xFA, 1, 1, 0, 0, 0), CopyPlain},  // cli
    {Describe(0xFB, 1, 1, 0, 0, 0), CopyPlain},  // sti
    {Describe(0xFC, 1, 1, 0, 0, 0), CopyPlain},  // cld
    {Describe(0xFD, 1, 1, 0, 0, 0), CopyPlain},  // std
    {Describe(0xFE, 2, 2, 1, 0, 0), CopyPlain},  // group 4 Eb
    {Describe(0xFF, 2, 2, 1, 0, 0), CopyGroup5},  // group 5 Ev (call/jmp Ev)
};
// Two-byte opcodes (after 0x0F); sizes count from the byte after 0x0F. Unnamed rows are invalid.
constexpr OpcodeEntry kTwoByteOpcodes[256] = {
    {Describe(0x00, 2, 2, 1, 0, 0), CopyPlain},  // group 6
    {Describe(0x01, 2, 2, 1, 0, 0), CopyPlain},  // group 7
    {Describe(0x02, 2, 2, 1, 0, 0), CopyPlain},  // lar Gv,Ew
    {Describe(0x03, 2, 2, 1, 0, 0), CopyPlain},  // lsl Gv,Ew
    {Describe(0x04, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x05, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x06, 1, 1, 0, 0, 0), CopyPlain},  // clts
    {Describe(0x07, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x08, 1, 1, 0, 0, 0), CopyPlain},  // invd
    {Describe(0x09, 1, 1, 0, 0, 0), CopyPlain},  // wbinvd
    {Describe(0x0A, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x0B, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x0C, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x0D, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x0E, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x0F, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x10, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x11, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x12, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x13, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x14, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x15, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x16, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x17, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x18, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x19, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x1A, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x1B, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x1C, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x1D, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x1E, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x1F, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x20, 2, 2, 1, 0, 0), CopyPlain},  // mov Rd,Cd
    {Describe(0x21, 2, 2, 1, 0, 0), CopyPlain},  // mov Rd,Dd
    {Describe(0x22, 2, 2, 1, 0, 0), CopyPlain},  // mov Cd,Rd
    {Describe(0x23, 2, 2, 1, 0, 0), CopyPlain},  // mov Dd,Rd
    {Describe(0x24, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x25, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x26, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x27, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x28, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x29, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x2A, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x2B, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x2C, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x2D, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x2E, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x2F, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x30, 1, 1, 0, 0, 0), CopyPlain},  // wrmsr
    {Describe(0x31, 1, 1, 0, 0, 0), CopyPlain},  // rdtsc
    {Describe(0x32, 1, 1, 0, 0, 0), CopyPlain},  // rdmsr
    {Describe(0x33, 1, 1, 0, 0, 0), CopyPlain},  // rdpmc
    {Describe(0x34, 1, 1, 0, 0, 0), CopyPlain},  // sysenter
    {Describe(0x35, 1, 1, 0, 0, 0), CopyPlain},  // sysexit
    {Describe(0x36, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x37, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x38, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x39, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x3A, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x3B, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x3C, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x3D, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x3E, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x3F, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x40, 2, 2, 1, 0, 0), CopyPlain},  // cmovo Gv,Ev
    {Describe(0x41, 2, 2, 1, 0, 0), CopyPlain},  // cmovno Gv,Ev
    {Describe(0x42, 2, 2, 1, 0, 0), CopyPlain},  // cmovb Gv,Ev
    {Describe(0x43, 2, 2, 1, 0, 0), CopyPlain},  // cmovae Gv,Ev
    {Describe(0x44, 2, 2, 1, 0, 0), CopyPlain},  // cmove Gv,Ev
    {Describe(0x45, 2, 2, 1, 0, 0), CopyPlain},  // cmovne Gv,Ev
    {Describe(0x46, 2, 2, 1, 0, 0), CopyPlain},  // cmovbe Gv,Ev
    {Describe(0x47, 2, 2, 1, 0, 0), CopyPlain},  // cmova Gv,Ev
    {Describe(0x48, 2, 2, 1, 0, 0), CopyPlain},  // cmovs Gv,Ev
    {Describe(0x49, 2, 2, 1, 0, 0), CopyPlain},  // cmovns Gv,Ev
    {Describe(0x4A, 2, 2, 1, 0, 0), CopyPlain},  // cmovp Gv,Ev
    {Describe(0x4B, 2, 2, 1, 0, 0), CopyPlain},  // cmovnp Gv,Ev
    {Describe(0x4C, 2, 2, 1, 0, 0), CopyPlain},  // cmovl Gv,Ev
    {Describe(0x4D, 2, 2, 1, 0, 0), CopyPlain},  // cmovge Gv,Ev
    {Describe(0x4E, 2, 2, 1, 0, 0), CopyPlain},  // cmovle Gv,Ev
    {Describe(0x4F, 2, 2, 1, 0, 0), CopyPlain},  // cmovg Gv,Ev
    {Describe(0x50, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x51, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x52, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x53, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x54, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x55, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x56, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x57, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x58, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x59, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x5A, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x5B, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x5C, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x5D, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x5E, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x5F, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x60, 2, 2, 1, 0, 0), CopyPlain},  // punpcklbw
    {Describe(0x61, 2, 2, 1, 0, 0), CopyPlain},  // punpcklwd
    {Describe(0x62, 2, 2, 1, 0, 0), CopyPlain},  // punpckldq
    {Describe(0x63, 2, 2, 1, 0, 0), CopyPlain},  // packsswb
    {Describe(0x64, 2, 2, 1, 0, 0), CopyPlain},  // pcmpgtb
    {Describe(0x65, 2, 2, 1, 0, 0), CopyPlain},  // pcmpgtw
    {Describe(0x66, 2, 2, 1, 0, 0), CopyPlain},  // pcmpgtd
    {Describe(0x67, 2, 2, 1, 0, 0), CopyPlain},  // packuswb
    {Describe(0x68, 2, 2, 1, 0, 0), CopyPlain},  // punpckhbw
    {Describe(0x69, 2, 2, 1, 0, 0), CopyPlain},  // punpckhwd
    {Describe(0x6A, 2, 2, 1, 0, 0), CopyPlain},  // punpckhdq
    {Describe(0x6B, 2, 2, 1, 0, 0), CopyPlain},  // packssdw
    {Describe(0x6C, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x6D, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x6E, 2, 2, 1, 0, 0), CopyPlain},  // movd Pq,Ed
    {Describe(0x6F, 2, 2, 1, 0, 0), CopyPlain},  // movq Pq,Qq
    {Describe(0x70, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x71, 3, 3, 1, 0, 0), CopyPlain},  // group 12 Nq,Ib
    {Describe(0x72, 3, 3, 1, 0, 0), CopyPlain},  // group 13 Nq,Ib
    {Describe(0x73, 3, 3, 1, 0, 0), CopyPlain},  // group 14 Nq,Ib
    {Describe(0x74, 2, 2, 1, 0, 0), CopyPlain},  // pcmpeqb
    {Describe(0x75, 2, 2, 1, 0, 0), CopyPlain},  // pcmpeqw
    {Describe(0x76, 2, 2, 1, 0, 0), CopyPlain},  // pcmpeqd
    {Describe(0x77, 1, 1, 0, 0, 0), CopyPlain},  // emms
    {Describe(0x78, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x79, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x7A, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x7B, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x7C, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x7D, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0x7E, 2, 2, 1, 0, 0), CopyPlain},  // movd Ed,Pq
    {Describe(0x7F, 2, 2, 1, 0, 0), CopyPlain},  // movq Qq,Pq
    {Describe(0x80, 5, 3, 0, 1, 0), CopyPlain},  // jo Jz
    {Describe(0x81, 5, 3, 0, 1, 0), CopyPlain},  // jno Jz
    {Describe(0x82, 5, 3, 0, 1, 0), CopyPlain},  // jb Jz
    {Describe(0x83, 5, 3, 0, 1, 0), CopyPlain},  // jae Jz
    {Describe(0x84, 5, 3, 0, 1, 0), CopyPlain},  // je Jz
    {Describe(0x85, 5, 3, 0, 1, 0), CopyPlain},  // jne Jz
    {Describe(0x86, 5, 3, 0, 1, 0), CopyPlain},  // jbe Jz
    {Describe(0x87, 5, 3, 0, 1, 0), CopyPlain},  // ja Jz
    {Describe(0x88, 5, 3, 0, 1, 0), CopyPlain},  // js Jz
    {Describe(0x89, 5, 3, 0, 1, 0), CopyPlain},  // jns Jz
    {Describe(0x8A, 5, 3, 0, 1, 0), CopyPlain},  // jp Jz
    {Describe(0x8B, 5, 3, 0, 1, 0), CopyPlain},  // jnp Jz
    {Describe(0x8C, 5, 3, 0, 1, 0), CopyPlain},  // jl Jz
    {Describe(0x8D, 5, 3, 0, 1, 0), CopyPlain},  // jge Jz
    {Describe(0x8E, 5, 3, 0, 1, 0), CopyPlain},  // jle Jz
    {Describe(0x8F, 5, 3, 0, 1, 0), CopyPlain},  // jg Jz
    {Describe(0x90, 2, 2, 1, 0, 0), CopyPlain},  // seto Eb
    {Describe(0x91, 2, 2, 1, 0, 0), CopyPlain},  // setno Eb
    {Describe(0x92, 2, 2, 1, 0, 0), CopyPlain},  // setb Eb
    {Describe(0x93, 2, 2, 1, 0, 0), CopyPlain},  // setae Eb
    {Describe(0x94, 2, 2, 1, 0, 0), CopyPlain},  // sete Eb
    {Describe(0x95, 2, 2, 1, 0, 0), CopyPlain},  // setne Eb
    {Describe(0x96, 2, 2, 1, 0, 0), CopyPlain},  // setbe Eb
    {Describe(0x97, 2, 2, 1, 0, 0), CopyPlain},  // seta Eb
    {Describe(0x98, 2, 2, 1, 0, 0), CopyPlain},  // sets Eb
    {Describe(0x99, 2, 2, 1, 0, 0), CopyPlain},  // setns Eb
    {Describe(0x9A, 2, 2, 1, 0, 0), CopyPlain},  // setp Eb
    {Describe(0x9B, 2, 2, 1, 0, 0), CopyPlain},  // setnp Eb
    {Describe(0x9C, 2, 2, 1, 0, 0), CopyPlain},  // setl Eb
    {Describe(0x9D, 2, 2, 1, 0, 0), CopyPlain},  // setge Eb
    {Describe(0x9E, 2, 2, 1, 0, 0), CopyPlain},  // setle Eb
    {Describe(0x9F, 2, 2, 1, 0, 0), CopyPlain},  // setg Eb
    {Describe(0xA0, 1, 1, 0, 0, 0), CopyPlain},  // push fs
    {Describe(0xA1, 1, 1, 0, 0, 0), CopyPlain},  // pop fs
    {Describe(0xA2, 1, 1, 0, 0, 0), CopyPlain},  // cpuid
    {Describe(0xA3, 2, 2, 1, 0, 0), CopyPlain},  // bt Ev,Gv
    {Describe(0xA4, 3, 3, 1, 0, 0), CopyPlain},  // shld Ev,Gv,Ib
    {Describe(0xA5, 2, 2, 1, 0, 0), CopyPlain},  // shld Ev,Gv,CL
    {Describe(0xA6, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xA7, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xA8, 1, 1, 0, 0, 0), CopyPlain},  // push gs
    {Describe(0xA9, 1, 1, 0, 0, 0), CopyPlain},  // pop gs
    {Describe(0xAA, 1, 1, 0, 0, 0), CopyPlain},  // rsm
    {Describe(0xAB, 2, 2, 1, 0, 0), CopyPlain},  // bts Ev,Gv
    {Describe(0xAC, 3, 3, 1, 0, 0), CopyPlain},  // shrd Ev,Gv,Ib
    {Describe(0xAD, 2, 2, 1, 0, 0), CopyPlain},  // shrd Ev,Gv,CL
    {Describe(0xAE, 2, 2, 1, 0, 0), CopyPlain},  // group 15
    {Describe(0xAF, 2, 2, 1, 0, 0), CopyPlain},  // imul Gv,Ev
    {Describe(0xB0, 2, 2, 1, 0, 0), CopyPlain},  // cmpxchg Eb,Gb
    {Describe(0xB1, 2, 2, 1, 0, 0), CopyPlain},  // cmpxchg Ev,Gv
    {Describe(0xB2, 2, 2, 1, 0, 0), CopyPlain},  // lss Gv,Mp
    {Describe(0xB3, 2, 2, 1, 0, 0), CopyPlain},  // btr Ev,Gv
    {Describe(0xB4, 2, 2, 1, 0, 0), CopyPlain},  // lfs Gv,Mp
    {Describe(0xB5, 2, 2, 1, 0, 0), CopyPlain},  // lgs Gv,Mp
    {Describe(0xB6, 2, 2, 1, 0, 0), CopyPlain},  // movzx Gv,Eb
    {Describe(0xB7, 2, 2, 1, 0, 0), CopyPlain},  // movzx Gv,Ew
    {Describe(0xB8, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xB9, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xBA, 3, 3, 1, 0, 0), CopyPlain},  // group 8 Ev,Ib
    {Describe(0xBB, 2, 2, 1, 0, 0), CopyPlain},  // btc Ev,Gv
    {Describe(0xBC, 2, 2, 1, 0, 0), CopyPlain},  // bsf Gv,Ev
    {Describe(0xBD, 2, 2, 1, 0, 0), CopyPlain},  // bsr Gv,Ev
    {Describe(0xBE, 2, 2, 1, 0, 0), CopyPlain},  // movsx Gv,Eb
    {Describe(0xBF, 2, 2, 1, 0, 0), CopyPlain},  // movsx Gv,Ew
    {Describe(0xC0, 2, 2, 1, 0, 0), CopyPlain},  // xadd Eb,Gb
    {Describe(0xC1, 2, 2, 1, 0, 0), CopyPlain},  // xadd Ev,Gv
    {Describe(0xC2, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xC3, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xC4, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xC5, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xC6, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xC7, 2, 2, 1, 0, 0), CopyPlain},  // group 9 (cmpxchg8b Mq)
    {Describe(0xC8, 1, 1, 0, 0, 0), CopyPlain},  // bswap eax
    {Describe(0xC9, 1, 1, 0, 0, 0), CopyPlain},  // bswap ecx
    {Describe(0xCA, 1, 1, 0, 0, 0), CopyPlain},  // bswap edx
    {Describe(0xCB, 1, 1, 0, 0, 0), CopyPlain},  // bswap ebx
    {Describe(0xCC, 1, 1, 0, 0, 0), CopyPlain},  // bswap esp
    {Describe(0xCD, 1, 1, 0, 0, 0), CopyPlain},  // bswap ebp
    {Describe(0xCE, 1, 1, 0, 0, 0), CopyPlain},  // bswap esi
    {Describe(0xCF, 1, 1, 0, 0, 0), CopyPlain},  // bswap edi
    {Describe(0xD0, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xD1, 2, 2, 1, 0, 0), CopyPlain},  // psrlw Pq,Qq
    {Describe(0xD2, 2, 2, 1, 0, 0), CopyPlain},  // psrld Pq,Qq
    {Describe(0xD3, 2, 2, 1, 0, 0), CopyPlain},  // psrlq Pq,Qq
    {Describe(0xD4, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xD5, 2, 2, 1, 0, 0), CopyPlain},  // pmullw Pq,Qq
    {Describe(0xD6, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xD7, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xD8, 2, 2, 1, 0, 0), CopyPlain},  // psubusb Pq,Qq
    {Describe(0xD9, 2, 2, 1, 0, 0), CopyPlain},  // psubusw Pq,Qq
    {Describe(0xDA, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xDB, 2, 2, 1, 0, 0), CopyPlain},  // pand Pq,Qq
    {Describe(0xDC, 2, 2, 1, 0, 0), CopyPlain},  // paddusb Pq,Qq
    {Describe(0xDD, 2, 2, 1, 0, 0), CopyPlain},  // paddusw Pq,Qq
    {Describe(0xDE, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xDF, 2, 2, 1, 0, 0), CopyPlain},  // pandn Pq,Qq
    {Describe(0xE0, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xE1, 2, 2, 1, 0, 0), CopyPlain},  // psraw Pq,Qq
    {Describe(0xE2, 2, 2, 1, 0, 0), CopyPlain},  // psrad Pq,Qq
    {Describe(0xE3, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xE4, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xE5, 2, 2, 1, 0, 0), CopyPlain},  // pmulhw Pq,Qq
    {Describe(0xE6, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xE7, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xE8, 2, 2, 1, 0, 0), CopyPlain},  // psubsb Pq,Qq
    {Describe(0xE9, 2, 2, 1, 0, 0), CopyPlain},  // psubsw Pq,Qq
    {Describe(0xEA, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xEB, 2, 2, 1, 0, 0), CopyPlain},  // por Pq,Qq
    {Describe(0xEC, 2, 2, 1, 0, 0), CopyPlain},  // paddsb Pq,Qq
    {Describe(0xED, 2, 2, 1, 0, 0), CopyPlain},  // paddsw Pq,Qq
    {Describe(0xEE, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xEF, 2, 2, 1, 0, 0), CopyPlain},  // pxor Pq,Qq
    {Describe(0xF0, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xF1, 2, 2, 1, 0, 0), CopyPlain},  // psllw Pq,Qq
    {Describe(0xF2, 2, 2, 1, 0, 0), CopyPlain},  // pslld Pq,Qq
    {Describe(0xF3, 2, 2, 1, 0, 0), CopyPlain},  // psllq Pq,Qq
    {Describe(0xF4, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xF5, 2, 2, 1, 0, 0), CopyPlain},  // pmaddwd Pq,Qq
    {Describe(0xF6, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xF7, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xF8, 2, 2, 1, 0, 0), CopyPlain},  // psubb Pq,Qq
    {Describe(0xF9, 2, 2, 1, 0, 0), CopyPlain},  // psubw Pq,Qq
    {Describe(0xFA, 2, 2, 1, 0, 0), CopyPlain},  // psubd Pq,Qq
    {Describe(0xFB, 1, 1, 0, 0, 0), SkipInvalid},
    {Describe(0xFC, 2, 2, 1, 0, 0), CopyPlain},  // paddb Pq,Qq
    {Describe(0xFD, 2, 2, 1, 0, 0), CopyPlain},  // paddw Pq,Qq
    {Describe(0xFE, 2, 2, 1, 0, 0), CopyPlain},  // paddd Pq,Qq
    {Describe(0xFF, 1, 1, 0, 0, 0), SkipInvalid},
};

// Bytes that follow a ModR/M byte in 32-bit addressing: low four bits the SIB byte and
// displacement; bit 4 marks the SIB form of mod 00, where a SIB base of 5 adds a 32-bit
// displacement.
constexpr BYTE kModRmFollowing[256] = {
    0, 0, 0, 0, 0x11, 4, 0, 0, 0, 0, 0, 0, 0x11, 4, 0, 0,  // 00-0F: mod 00
    0, 0, 0, 0, 0x11, 4, 0, 0, 0, 0, 0, 0, 0x11, 4, 0, 0,  // 10-1F: mod 00
    0, 0, 0, 0, 0x11, 4, 0, 0, 0, 0, 0, 0, 0x11, 4, 0, 0,  // 20-2F: mod 00
    0, 0, 0, 0, 0x11, 4, 0, 0, 0, 0, 0, 0, 0x11, 4, 0, 0,  // 30-3F: mod 00
    1, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 2, 1, 1, 1,  // 40-4F: mod 01
    1, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 2, 1, 1, 1,  // 50-5F: mod 01
    1, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 2, 1, 1, 1,  // 60-6F: mod 01
    1, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 2, 1, 1, 1,  // 70-7F: mod 01
    4, 4, 4, 4, 5, 4, 4, 4, 4, 4, 4, 4, 5, 4, 4, 4,  // 80-8F: mod 10
    4, 4, 4, 4, 5, 4, 4, 4, 4, 4, 4, 4, 5, 4, 4, 4,  // 90-9F: mod 10
    4, 4, 4, 4, 5, 4, 4, 4, 4, 4, 4, 4, 5, 4, 4, 4,  // A0-AF: mod 10
    4, 4, 4, 4, 5, 4, 4, 4, 4, 4, 4, 4, 5, 4, 4, 4,  // B0-BF: mod 10
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // C0-CF: mod 11
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // D0-DF: mod 11
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // E0-EF: mod 11
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // F0-FF: mod 11
};
// clang-format on

PBYTE Decode(const OpcodeEntry* table, DecodeContext& ctx, PBYTE src) {
  const OpcodeEntry& entry = table[*src];
  return entry.handler(entry, ctx, src);
}

// Bytes after the ModR/M byte at modrm. The 16-bit forms under the address-size prefix have no
// SIB byte and 16-bit displacements.
UINT ModRmFollowing(PBYTE modrm, bool address16) {
  const BYTE mod = *modrm >> 6;
  if (address16) {
    if (mod == 0) return (*modrm & 7) == 6 ? 2 : 0;
    return mod == 1 ? 1 : mod == 2 ? 2 : 0;
  }
  const BYTE info = kModRmFollowing[*modrm];
  UINT count = info & 0x0F;
  if ((info & 0x10) && (modrm[1] & 7) == 5) count += 4;
  return count;
}

// Length of the instruction whose opcode byte is at src (prefixes already consumed).
UINT InstructionLength(const OpcodeEntry& entry, const DecodeContext& ctx, PBYTE src) {
  const uint32_t d = entry.descriptor;
  const bool prefixed = (FlagsOf(d) & kAddressSized) ? ctx.address_prefix : ctx.operand_prefix;
  UINT length = prefixed ? PrefixedSizeOf(d) : SizeOf(d);
  if (ModRmOffsetOf(d)) length += ModRmFollowing(src + ModRmOffsetOf(d), ctx.address_prefix);
  return length;
}

bool Append(DecodeContext& ctx, PBYTE src, UINT count) {
  if (ctx.copied + count > kMaxInstructionLength) {
    ctx.too_long = true;
    return false;
  }
  memcpy(ctx.scratch + ctx.copied, src, count);
  ctx.copied += count;
  return true;
}

// Reports the destination of the relative displacement ending at src + length and rewrites the
// copied field so that the copy reaches the same destination from where it will run.
void Retarget(const OpcodeEntry& entry, DecodeContext& ctx, PBYTE src, UINT length, PBYTE copy) {
  const uint32_t d = entry.descriptor;
  const UINT offset = RelOffsetOf(d);
  const UINT width = length - offset;
  int32_t displacement = 0;
  if (width == 1) {
    displacement = static_cast<int8_t>(src[offset]);
  } else if (width == 2) {
    int16_t value;
    memcpy(&value, src + offset, 2);
    displacement = value;
  } else {
    memcpy(&displacement, src + offset, 4);
  }
  const uintptr_t destination = reinterpret_cast<uintptr_t>(src) + length + displacement;
  ctx.target = reinterpret_cast<PBYTE>(destination);
  ctx.extra = width == 1 ? 3 : width == 2 ? 2 : 0;
  if (FlagsOf(d) & kNotEnlargeable) ctx.extra = -ctx.extra;
  if (!ctx.runs_at) return;  // measuring only

  const uintptr_t copy_at = reinterpret_cast<uintptr_t>(ctx.runs_at) + (copy - ctx.scratch);
  // 32-bit arithmetic wraps like the processor's, so a rel32 always reaches; narrower fields
  // must hold the new distance or the copy would branch somewhere else.
  const int32_t moved = static_cast<int32_t>(destination - (copy_at + length));
  if (width == 1) {
    if (moved < INT8_MIN || moved > INT8_MAX) ctx.overflow = true;
    copy[offset] = static_cast<BYTE>(moved);
  } else if (width == 2) {
    if (moved < INT16_MIN || moved > INT16_MAX) ctx.overflow = true;
    const int16_t value = static_cast<int16_t>(moved);
    memcpy(copy + offset, &value, 2);
  } else {
    memcpy(copy + offset, &moved, 4);
  }
}

PBYTE CopyLength(const OpcodeEntry& entry, DecodeContext& ctx, PBYTE src, UINT length) {
  PBYTE copy = ctx.scratch + ctx.copied;
  if (!Append(ctx, src, length)) return src + length;
  if (FlagsOf(entry.descriptor) & kDynamic) ctx.target = kDynamicTarget;
  if (RelOffsetOf(entry.descriptor)) Retarget(entry, ctx, src, length, copy);
  return src + length;
}

PBYTE CopyPlain(const OpcodeEntry& entry, DecodeContext& ctx, PBYTE src) {
  return CopyLength(entry, ctx, src, InstructionLength(entry, ctx, src));
}

PBYTE CopyPrefix(const OpcodeEntry&, DecodeContext& ctx, PBYTE src) {
  if (!Append(ctx, src, 1)) return src + 1;
  return Decode(kOneByteOpcodes, ctx, src + 1);
}

PBYTE CopyOperandSizePrefix(const OpcodeEntry& entry, DecodeContext& ctx, PBYTE src) {
  ctx.operand_prefix = true;
  return CopyPrefix(entry, ctx, src);
}

PBYTE CopyAddressSizePrefix(const OpcodeEntry& entry, DecodeContext& ctx, PBYTE src) {
  ctx.address_prefix = true;
  return CopyPrefix(entry, ctx, src);
}

PBYTE CopyTwoByte(const OpcodeEntry&, DecodeContext& ctx, PBYTE src) {
  if (!Append(ctx, src, 1)) return src + 1;
  return Decode(kTwoByteOpcodes, ctx, src + 1);
}

BYTE RegField(BYTE modrm) {
  return (modrm >> 3) & 7;
}

// F6 /0 and F7 /0 (TEST) carry an immediate that the rest of group 3 lacks.
PBYTE CopyGroup3(const OpcodeEntry& entry, DecodeContext& ctx, PBYTE src) {
  UINT length = InstructionLength(entry, ctx, src);
  if (RegField(src[1]) == 0) length += src[0] == 0xF6 ? 1 : ctx.operand_prefix ? 2 : 4;
  return CopyLength(entry, ctx, src, length);
}

// Indirect CALL (/2) and JMP (/4) through an absolute pointer lead where the pointer points;
// every other call or jump of group 5 is decided at run time.
PBYTE CopyGroup5(const OpcodeEntry& entry, DecodeContext& ctx, PBYTE src) {
  const BYTE modrm = src[1];
  const BYTE reg = RegField(modrm);
  if ((reg == 2 || reg == 4) && (modrm == 0x15 || modrm == 0x25)) {
    PBYTE* pointer;
    memcpy(&pointer, src + 2, sizeof pointer);
    ctx.target = *pointer;
  } else if (reg >= 2 && reg <= 5) {
    ctx.target = kDynamicTarget;
  }
  return CopyPlain(entry, ctx, src);
}

PBYTE SkipInvalid(const OpcodeEntry&, DecodeContext&, PBYTE src) {
  return src + 1;
}

constexpr bool TableInOrder(const OpcodeEntry (&table)[256]) {
  for (UINT i = 0; i < 256; ++i) {
    if (OpcodeOf(table[i].descriptor) != i) return false;
  }
  return true;
}
static_assert(TableInOrder(kOneByteOpcodes) && TableInOrder(kTwoByteOpcodes),
              "an opcode table row is out of place");

}  // namespace

InstructionCopy CopyInstructionAt(PBYTE write, PBYTE runs_at, PBYTE src) {
  InstructionCopy result;
  if (!src) {
    SetLastError(ERROR_INVALID_DATA);
    return result;
  }
  // Decoded into scratch first, so that a refused instruction writes nothing.
  DecodeContext ctx;
  ctx.runs_at = write ? runs_at : nullptr;
  PBYTE next = Decode(kOneByteOpcodes, ctx, src);
  if (ctx.too_long) {
    SetLastError(ERROR_INVALID_DATA);
    return result;
  }
  if (ctx.overflow) {
    SetLastError(ERROR_ARITHMETIC_OVERFLOW);
    return result;
  }
  if (write) memcpy(write, ctx.scratch, ctx.copied);
  result.next = next;
  result.target = ctx.target;
  result.extra = ctx.extra;
  result.copied = ctx.copied;
  return result;
}

PBYTE CopyInstruction(PBYTE dst, PBYTE src, PBYTE* target, LONG* extra) {
  const InstructionCopy copy = CopyInstructionAt(dst, dst, src);
  if (target) *target = copy.target;
  if (extra) *extra = copy.extra;
  return copy.next;
}

bool CheckOpcodeTables() {
  return TableInOrder(kOneByteOpcodes) && TableInOrder(kTwoByteOpcodes);
}
