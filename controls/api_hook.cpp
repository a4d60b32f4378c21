#include "controls/api_hook.h"

#include <cstring>

#include "controls/x86_instruction.h"

namespace {

constexpr UINT kStubSize = 32;
constexpr UINT kJumpSize = 5;     // E9 rel32
constexpr UINT kLengthSlot = 31;  // stub byte that keeps how many bytes were moved
constexpr UINT kMaxMoved = kLengthSlot - kJumpSize;  // the jump back must fit before the slot
constexpr BYTE kJmpRel32 = 0xE9;
constexpr BYTE kBreakpoint = 0xCC;

// Makes a code region writable for its lifetime and puts the old protection back afterwards.
class ProtectGuard {
 public:
  ProtectGuard(PVOID address, SIZE_T size) : address_(address), size_(size) {
    if (!address || !size) return;
    if (!FlushInstructionCache(GetCurrentProcess(), address, size)) return;
    if (!VirtualProtect(address, size, PAGE_EXECUTE_READWRITE, &previous_)) previous_ = 0;
  }
  ~ProtectGuard() {
    if (!previous_) return;
    FlushInstructionCache(GetCurrentProcess(), address_, size_);
    DWORD ignored;
    VirtualProtect(address_, size_, previous_, &ignored);
  }
  ProtectGuard(const ProtectGuard&) = delete;
  ProtectGuard& operator=(const ProtectGuard&) = delete;

  bool ok() const { return previous_ != 0; }
  // Trampolines stay writable and executable once attached.
  void KeepWritable() { previous_ = PAGE_EXECUTE_READWRITE; }

 private:
  PVOID address_;
  SIZE_T size_;
  DWORD previous_ = 0;
};

PBYTE JumpDestination(PBYTE jump) {
  LONG displacement;
  memcpy(&displacement, jump + 1, 4);
  return jump + kJumpSize + displacement;
}

void WriteJump(PBYTE at, PBYTE runs_at, PBYTE destination) {
  at[0] = kJmpRel32;
  const LONG displacement = static_cast<LONG>(destination - (runs_at + kJumpSize));
  memcpy(at + 1, &displacement, 4);
}

bool IsSegmentPrefix(BYTE b) {
  return b == 0x26 || b == 0x2E || b == 0x36 || b == 0x3E || b == 0x64 || b == 0x65;
}

// Code after these never falls through, so nothing beyond them belongs to the function's start.
bool EndsFallThrough(PBYTE insn) {
  const BYTE first = insn[0];
  if (first == kJmpRel32 || first == 0xE0 || first == 0xC2 || first == 0xC3) return true;
  if (IsSegmentPrefix(first)) ++insn;
  return insn[0] == 0xFF && insn[1] == 0x25;
}

// How many bytes of whole instructions at target the patch covers; 0 for invalid code.
UINT MeasureMoved(PBYTE target) {
  UINT moved = 0;
  while (moved < kJumpSize) {
    PBYTE insn = target + moved;
    const InstructionCopy copy = CopyInstructionAt(nullptr, nullptr, insn);
    if (!copy.next || copy.copied != static_cast<UINT>(copy.next - insn)) return 0;
    moved += copy.copied;
    if (EndsFallThrough(insn)) break;
  }
  return moved;
}

// Copies whole instructions from `from` into image (which will run at runs_at) until `length`
// bytes are covered; false unless they end exactly there, decode validly and re-target within
// reach. Branches into [from, from + length) are refused too: those bytes are about to change.
bool MoveInstructions(PBYTE from, UINT length, PBYTE image, PBYTE runs_at, bool refuse_inside) {
  UINT done = 0;
  while (done < length) {
    const InstructionCopy copy = CopyInstructionAt(image + done, runs_at + done, from + done);
    if (!copy.next || copy.copied != static_cast<UINT>(copy.next - (from + done))) return false;
    if (refuse_inside && copy.target >= from && copy.target < from + length) return false;
    done += copy.copied;
  }
  return done == length;
}

// The stub's moved-byte count when it holds an attachment, else 0.
UINT AttachedLength(PBYTE stub) {
  const UINT moved = stub[kLengthSlot];
  if (moved < kJumpSize || moved > kMaxMoved || stub[moved] != kJmpRel32) return 0;
  return moved;
}

bool HasSignature(PBYTE stub) {
  return stub[0] == 0x90 && stub[1] == 0x90 && stub[2] == 0xE8 && stub[7] == 0xFF &&
         stub[8] == 0xE0;
}

BOOL Attach(PBYTE stub, PBYTE target, PBYTE detour) {
  if (!stub || !target || !detour) return FALSE;
  const UINT moved = MeasureMoved(target);
  if (moved < kJumpSize || moved > kMaxMoved) return FALSE;

  // Both images are complete and checked before a byte of live code changes.
  BYTE stub_image[kStubSize];
  memcpy(stub_image, stub, kStubSize);
  if (!MoveInstructions(target, moved, stub_image, stub, true)) return FALSE;
  WriteJump(stub_image + moved, stub + moved, target + moved);
  stub_image[kLengthSlot] = static_cast<BYTE>(moved);

  BYTE patch[kMaxMoved];
  WriteJump(patch, target, detour);
  memset(patch + kJumpSize, kBreakpoint, moved - kJumpSize);

  ProtectGuard stub_guard(stub, kStubSize);
  ProtectGuard target_guard(target, moved);
  if (!stub_guard.ok() || !target_guard.ok()) return FALSE;
  stub_guard.KeepWritable();
  memcpy(stub, stub_image, kStubSize);
  memcpy(target, patch, moved);
  return TRUE;
}

}  // namespace

PBYTE ResolveCodeAddress(PVOID address, bool follow_jump) {
  PBYTE code = static_cast<PBYTE>(address);
  if (!code) return nullptr;
  if (code[0] == 0xFF && code[1] == 0x25) {
    PBYTE* slot;
    memcpy(&slot, code + 2, sizeof slot);
    return *slot;
  }
  if (follow_jump && code[0] == kJmpRel32) return JumpDestination(code);
  return code;
}

BOOL AttachApiHook(PVOID trampoline, PVOID detour) {
  return AttachApiHookEx(trampoline, detour, nullptr, nullptr);
}

BOOL AttachApiHookEx(PVOID trampoline, PVOID detour, PVOID* out_trampoline, PVOID* out_target) {
  PBYTE stub = ResolveCodeAddress(trampoline, true);
  PBYTE resolved_detour = ResolveCodeAddress(detour, false);
  if (out_trampoline) *out_trampoline = stub;
  if (out_target) *out_target = nullptr;
  if (!stub || !resolved_detour || !HasSignature(stub)) return FALSE;

  using Getter = PVOID (*)();
  const Getter getter = reinterpret_cast<Getter>(JumpDestination(stub + 2));
  PBYTE target = ResolveCodeAddress(getter(), false);
  if (out_target) *out_target = target;
  return Attach(stub, target, resolved_detour);
}

BOOL AttachApiHookToTarget(PVOID trampoline, PVOID target, PVOID detour) {
  return Attach(static_cast<PBYTE>(trampoline), ResolveCodeAddress(target, false),
                ResolveCodeAddress(detour, false));
}

PVOID CreateApiHookTrampoline(PVOID target, PVOID detour) {
  PBYTE stub = static_cast<PBYTE>(HeapAlloc(GetProcessHeap(), 0, kStubSize));
  if (!stub) return nullptr;
  memset(stub, kBreakpoint, kStubSize);
  if (!AttachApiHookToTarget(stub, target, detour)) {
    HeapFree(GetProcessHeap(), 0, stub);
    return nullptr;
  }
  return stub;
}

BOOL RemoveApiHook(PVOID trampoline, PVOID detour) {
  // An attached stub may itself begin with a moved relative jump: follow a jump only when the
  // address does not already hold an attachment (then it is a linker's jump stub).
  PBYTE stub = static_cast<PBYTE>(trampoline);
  if (stub && !AttachedLength(stub)) stub = ResolveCodeAddress(stub, true);
  PBYTE resolved_detour = ResolveCodeAddress(detour, false);
  const UINT moved = stub ? AttachedLength(stub) : 0;
  if (!moved || !resolved_detour) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  PBYTE target = JumpDestination(stub + moved) - moved;
  if (target[0] != kJmpRel32) {
    SetLastError(ERROR_INVALID_BLOCK);
    return FALSE;
  }
  if (JumpDestination(target) != resolved_detour) {
    SetLastError(ERROR_INVALID_ACCESS);
    return FALSE;
  }
  BYTE original[kMaxMoved];
  if (!MoveInstructions(stub, moved, original, target, false)) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  ProtectGuard guard(target, moved);
  if (!guard.ok()) return FALSE;  // VirtualProtect's own last error
  memcpy(target, original, moved);
  return TRUE;
}
