// Redirects a function of a system library to a replacement (the detour) for the whole process
// by rewriting the function's first bytes into a jump, while a trampoline keeps the original
// reachable: the trampoline runs the moved first instructions and jumps back behind the patch.
// 32-bit x86 only. No locks: attach and remove while no other thread can run the target.
#pragma once

#include <windows.h>

// A static trampoline is 32 bytes of code in the program's code section:
//   90 90            the signature AttachApiHookEx checks
//   E8 rel32         call getter (returns the real function's address)
//   FF E0            jmp eax: so calling the trampoline before attachment reaches the function
//   C3, 90 x 22      room for the moved instructions and the jump back; byte 31 keeps their length
// DEFINE_API_HOOK_TRAMPOLINE defines one as a naked function named by its assembler name. Declare
// the getter (no arguments, returns the address) and the trampoline with the target's exact
// signature under their assembler names, e.g.
//   extern "C" __attribute__((used)) PVOID MyGetter() asm("MyGetter");
//   extern "C" BOOL WINAPI MyTrampoline(HWND, int) asm("MyTrampoline");
//   DEFINE_API_HOOK_TRAMPOLINE(MyTrampoline, MyGetter)
// A naked function keeps its section and is kept by `used`; the engine makes its bytes writable
// with VirtualProtect when it attaches.
#define DEFINE_API_HOOK_TRAMPOLINE(trampoline, getter)                              \
  extern "C" __attribute__((naked, used)) void trampoline##Code() asm(#trampoline); \
  void trampoline##Code() {                                                         \
    asm("nop\n\tnop\n\tcall " #getter "\n\tjmp *%eax\n\tret\n\t.fill 22, 1, 0x90"); \
  }

// AttachApiHookEx without the out-values.
BOOL AttachApiHook(PVOID trampoline, PVOID detour);

// Patches the function that the static trampoline's getter names so that it jumps to detour,
// and turns the trampoline into the way to the original. *out_trampoline receives the resolved
// trampoline, *out_target the patched function (both may be null). FALSE, with the target left
// untouched, for a null argument, a trampoline without the signature, a function too short to
// hold the jump (or whose first instructions cannot move: invalid code, a short branch that
// cannot reach from the trampoline, a branch back into the moved bytes) or a failed protection
// change.
BOOL AttachApiHookEx(PVOID trampoline, PVOID detour, PVOID* out_trampoline, PVOID* out_target);

// Puts the moved instructions back. Failures set the last error: ERROR_INVALID_HANDLE (the
// trampoline holds no attachment), ERROR_INVALID_BLOCK (the target is not patched),
// ERROR_INVALID_ACCESS (the target jumps to another detour), ERROR_INVALID_DATA (the moved code
// does not decode back to its length). The trampoline keeps its content, so it cannot be
// attached again.
BOOL RemoveApiHook(PVOID trampoline, PVOID detour);

// Typed forms: the detour must have the trampoline's signature.
template <typename F>
BOOL AttachApiHook(F* trampoline, F* detour) {
  return AttachApiHook(reinterpret_cast<PVOID>(trampoline), reinterpret_cast<PVOID>(detour));
}
template <typename F>
BOOL RemoveApiHook(F* trampoline, F* detour) {
  return RemoveApiHook(reinterpret_cast<PVOID>(trampoline), reinterpret_cast<PVOID>(detour));
}

// Looks through jump stubs: an indirect jump FF 25 [abs32] leads to the address stored at abs32,
// and with follow_jump a relative jump E9 rel32 leads to its destination (a linker's jump stub
// in front of a trampoline). Anything else, null included, stays as it is.
PBYTE ResolveCodeAddress(PVOID address, bool follow_jump);

// Attaches with an explicit target instead of a getter; `trampoline` is any 32 writable bytes.
BOOL AttachApiHookToTarget(PVOID trampoline, PVOID target, PVOID detour);

// A trampoline on the heap for target, attached to detour; null when the attach fails. It stays
// allocated for the life of the process: a thread may still be running in it after removal.
PVOID CreateApiHookTrampoline(PVOID target, PVOID detour);
