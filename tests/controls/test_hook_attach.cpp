#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "controls/api_hook.h"
#include "controls/x86_instruction.h"

// Functions with known first bytes, all int f(int) (cdecl). Each one is patched by one test only:
// a removed hook cannot be attached again through its trampoline.
#define ASM_FUNCTION(name, body)                                        \
  extern "C" int name(int) asm(#name);                                  \
  extern "C" __attribute__((naked, used)) void name##Code() asm(#name); \
  void name##Code() {                                                   \
    asm(body);                                                          \
  }

// push ebp; mov ebp,esp; mov eax,[ebp+8]: x + 1
ASM_FUNCTION(HookPlain, "push %ebp; mov %esp, %ebp; mov 8(%ebp), %eax; add $1, %eax; pop %ebp; ret")
// mov edi,edi; push ebp; mov ebp,esp (the system's hot-patch prologue): x + 2
ASM_FUNCTION(HookHotPatch,
             ".byte 0x8b, 0xff, 0x55, 0x8b, 0xec; mov 8(%ebp), %eax; add $2, %eax;"
             "pop %ebp; ret")
ASM_FUNCTION(HookSeven, "mov $7, %eax; ret")
// call rel32 first: x + 7
ASM_FUNCTION(HookCall, "call HookSeven; add 4(%esp), %eax; ret")
// jmp rel32 first: x + 3
ASM_FUNCTION(HookJump,
             ".byte 0xe9; .long 1f - . - 4; int3; 1: mov 4(%esp), %eax; add $3, %eax; ret")
// Reached only through HookImportStub's jmp [HookImportSlot]: x + 4
ASM_FUNCTION(HookImported,
             "push %ebp; mov %esp, %ebp; mov 8(%ebp), %eax; add $4, %eax; pop %ebp; ret")
ASM_FUNCTION(HookImportStub, "jmp *HookImportSlot")
// Plain prologues again: x + 5 and x + 6
ASM_FUNCTION(HookLinked,
             "push %ebp; mov %esp, %ebp; mov 8(%ebp), %eax; add $5, %eax; pop %ebp; ret")
ASM_FUNCTION(HookHeap, "push %ebp; mov %esp, %ebp; mov 8(%ebp), %eax; add $6, %eax; pop %ebp; ret")
// xor eax,eax; ret: too short for a jump
ASM_FUNCTION(HookShort, "xor %eax, %eax; ret")
// A short branch among the first five bytes, whose destination is too far from anything outside
// the function for a trampoline to reach it with a rel8: 0
ASM_FUNCTION(HookRel8,
             "xor %eax, %eax; je 1f; inc %eax; .fill 120, 1, 0x90; 1: ret;"
             ".fill 256, 1, 0xcc")
// A jump back into the bytes the patch replaces
ASM_FUNCTION(HookLoop, "xor %eax, %eax; inc %eax; .byte 0xe9; .long HookLoop + 2 - . - 4")
// An invalid opcode first
ASM_FUNCTION(HookInvalid, ".byte 0xd6; mov 4(%esp), %eax; ret")

extern "C" PVOID HookImportSlot asm("HookImportSlot");
PVOID HookImportSlot = reinterpret_cast<PVOID>(&HookImported);

// One static trampoline per target, with the getter that names the target.
#define TEST_TRAMPOLINE(stub, target)                                        \
  extern "C" int stub(int) asm(#stub);                                       \
  extern "C" __attribute__((used)) PVOID stub##Getter() asm(#stub "Getter"); \
  PVOID stub##Getter() {                                                     \
    return reinterpret_cast<PVOID>(&target);                                 \
  }                                                                          \
  DEFINE_API_HOOK_TRAMPOLINE(stub, stub##Getter)

TEST_TRAMPOLINE(PlainStub, HookPlain);
TEST_TRAMPOLINE(HotPatchStub, HookHotPatch);
TEST_TRAMPOLINE(CallStub, HookCall);
TEST_TRAMPOLINE(JumpStub, HookJump);
TEST_TRAMPOLINE(ImportStub, HookImportStub);
TEST_TRAMPOLINE(LinkedStub, HookLinked);
TEST_TRAMPOLINE(ShortStub, HookShort);
TEST_TRAMPOLINE(Rel8Stub, HookRel8);
TEST_TRAMPOLINE(LoopStub, HookLoop);
TEST_TRAMPOLINE(InvalidStub, HookInvalid);
TEST_TRAMPOLINE(UnusedStub, HookPlain);

// A linker's jump stub in front of LinkedStub.
ASM_FUNCTION(LinkedStubJump, ".byte 0xe9; .long LinkedStub - . - 4")

namespace {

// A detour that calls the original through its trampoline.
template <int (*t_stub)(int)>
int TimesTen(int x) {
  return t_stub(x) * 10;
}
int OtherDetour(int x) {
  return -x;
}

PBYTE Bytes(int (*f)(int)) {
  return reinterpret_cast<PBYTE>(f);
}

std::vector<BYTE> Snapshot(int (*f)(int), size_t size = 32) {
  return std::vector<BYTE>(Bytes(f), Bytes(f) + size);
}

// Attaches, checks that the detour answers and the trampoline reaches the original, removes, and
// checks that everything is as before. Returns the number of moved bytes.
UINT AttachCallRemove(int (*target)(int), int (*stub)(int), int (*detour)(int), int added) {
  const std::vector<BYTE> original = Snapshot(target);
  EXPECT_EQ(5 + added, stub(5)) << "a pristine trampoline calls the real function";

  PVOID resolved_stub = nullptr;
  PVOID resolved_target = nullptr;
  EXPECT_TRUE(AttachApiHookEx(reinterpret_cast<PVOID>(stub), reinterpret_cast<PVOID>(detour),
                              &resolved_stub, &resolved_target));
  EXPECT_EQ(Bytes(stub), resolved_stub);
  const UINT moved = Bytes(stub)[31];
  EXPECT_GE(moved, 5u);
  EXPECT_LE(moved, 26u);
  PBYTE patched = static_cast<PBYTE>(resolved_target);
  EXPECT_EQ(0xE9, patched[0]);
  for (UINT i = 5; i < moved; ++i) EXPECT_EQ(0xCC, patched[i]);
  EXPECT_EQ(0xE9, Bytes(stub)[moved]);

  EXPECT_EQ((5 + added) * 10, target(5)) << "the target runs the detour";
  EXPECT_EQ(5 + added, stub(5)) << "the trampoline runs the original";

  EXPECT_TRUE(RemoveApiHook(stub, detour));
  EXPECT_EQ(original, Snapshot(target));
  EXPECT_EQ(5 + added, target(5));
  return moved;
}

TEST(ApiHook, PlainPrologueIsMovedAndRestored) {
  EXPECT_EQ(6u, AttachCallRemove(HookPlain, PlainStub, TimesTen<PlainStub>, 1));

  SetLastError(0);
  EXPECT_FALSE(RemoveApiHook(PlainStub, TimesTen<PlainStub>)) << "removing twice";
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_BLOCK), GetLastError());
  EXPECT_FALSE(AttachApiHook(PlainStub, TimesTen<PlainStub>))
      << "a used trampoline lost its signature";
  EXPECT_EQ(2, HookPlain(1));
}

TEST(ApiHook, HotPatchPrologueMovesExactlyFiveBytes) {
  EXPECT_EQ(5u, AttachCallRemove(HookHotPatch, HotPatchStub, TimesTen<HotPatchStub>, 2));
}

TEST(ApiHook, MovedRelativeCallAndJumpKeepTheirDestinations) {
  for (auto [target, stub, detour, added] :
       {std::make_tuple(HookCall, CallStub, TimesTen<CallStub>, 7),
        std::make_tuple(HookJump, JumpStub, TimesTen<JumpStub>, 3)}) {
    const std::vector<BYTE> original = Snapshot(target);
    PBYTE destination = nullptr;
    CopyInstruction(nullptr, Bytes(target), &destination);

    ASSERT_TRUE(AttachApiHook(stub, detour));
    PBYTE moved_destination = nullptr;
    CopyInstruction(nullptr, Bytes(stub), &moved_destination);
    EXPECT_EQ(destination, moved_destination);
    EXPECT_NE(0, memcmp(Bytes(stub) + 1, original.data() + 1, 4)) << "displacement re-targeted";
    EXPECT_EQ(5 + added, stub(5));
    EXPECT_EQ((5 + added) * 10, target(5));

    // The trampoline now starts with a jump itself; removal must not mistake it for a jump stub.
    EXPECT_TRUE(RemoveApiHook(stub, detour));
    EXPECT_EQ(original, Snapshot(target));
  }
}

TEST(ApiHook, TargetBehindAnImportJumpIsPatchedInsteadOfTheJump) {
  const std::vector<BYTE> import_jump = Snapshot(HookImportStub, 6);
  PVOID target = nullptr;
  ASSERT_TRUE(AttachApiHookEx(reinterpret_cast<PVOID>(ImportStub),
                              reinterpret_cast<PVOID>(TimesTen<ImportStub>), nullptr, &target));
  EXPECT_EQ(Bytes(HookImported), target);
  EXPECT_EQ(import_jump, Snapshot(HookImportStub, 6));
  EXPECT_EQ(90, HookImportStub(5));
  EXPECT_EQ(9, ImportStub(5));
  EXPECT_TRUE(RemoveApiHook(ImportStub, TimesTen<ImportStub>));
  EXPECT_EQ(9, HookImportStub(5));
}

TEST(ApiHook, TrampolineBehindALinkerJumpIsFollowed) {
  PVOID stub = nullptr;
  ASSERT_TRUE(AttachApiHookEx(reinterpret_cast<PVOID>(LinkedStubJump),
                              reinterpret_cast<PVOID>(TimesTen<LinkedStub>), &stub, nullptr));
  EXPECT_EQ(Bytes(LinkedStub), stub);
  EXPECT_EQ(100, HookLinked(5));

  SetLastError(0);
  EXPECT_FALSE(RemoveApiHook(LinkedStubJump, OtherDetour));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_ACCESS), GetLastError());
  EXPECT_EQ(100, HookLinked(5)) << "a refused removal leaves the patch";
  EXPECT_TRUE(RemoveApiHook(LinkedStubJump, TimesTen<LinkedStub>));
  EXPECT_EQ(10, HookLinked(5));
}

TEST(ApiHook, TargetsThatCannotBeMovedAreLeftUntouched) {
  struct Case {
    int (*target)(int);
    int (*stub)(int);
    const char* why;
  };
  for (const Case& c : {Case{HookShort, ShortStub, "returns within two bytes"},
                        Case{HookRel8, Rel8Stub, "short branch out of reach"},
                        Case{HookLoop, LoopStub, "branch back into the moved bytes"},
                        Case{HookInvalid, InvalidStub, "invalid opcode"}}) {
    SCOPED_TRACE(c.why);
    const std::vector<BYTE> target = Snapshot(c.target);
    const std::vector<BYTE> stub = Snapshot(c.stub);
    EXPECT_FALSE(AttachApiHook(c.stub, OtherDetour));
    EXPECT_EQ(target, Snapshot(c.target));
    EXPECT_EQ(stub, Snapshot(c.stub)) << "the trampoline still reaches the real function";
  }
  EXPECT_EQ(0, ShortStub(5));
  EXPECT_EQ(0, Rel8Stub(5));
}

TEST(ApiHook, BadArgumentsAreRefused) {
  EXPECT_FALSE(AttachApiHook(nullptr, reinterpret_cast<PVOID>(OtherDetour)));
  EXPECT_FALSE(AttachApiHook(reinterpret_cast<PVOID>(UnusedStub), nullptr));
  EXPECT_FALSE(AttachApiHook(HookShort, OtherDetour)) << "not a trampoline";

  SetLastError(0);
  EXPECT_FALSE(RemoveApiHook(UnusedStub, OtherDetour)) << "never attached";
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
  SetLastError(0);
  EXPECT_FALSE(RemoveApiHook(nullptr, reinterpret_cast<PVOID>(OtherDetour)));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
}

TEST(ApiHook, HeapTrampolineForAnExplicitTarget) {
  auto trampoline = reinterpret_cast<int (*)(int)>(CreateApiHookTrampoline(
      reinterpret_cast<PVOID>(HookHeap), reinterpret_cast<PVOID>(OtherDetour)));
  ASSERT_NE(nullptr, trampoline);
  EXPECT_EQ(-5, HookHeap(5));
  EXPECT_EQ(11, trampoline(5));
  EXPECT_TRUE(RemoveApiHook(trampoline, OtherDetour));
  EXPECT_EQ(11, HookHeap(5));
  EXPECT_EQ(nullptr, CreateApiHookTrampoline(reinterpret_cast<PVOID>(HookShort),
                                             reinterpret_cast<PVOID>(OtherDetour)));
}

TEST(ApiHook, ResolverLooksThroughJumpStubs) {
  EXPECT_EQ(nullptr, ResolveCodeAddress(nullptr, true));
  EXPECT_EQ(Bytes(HookImported),
            ResolveCodeAddress(reinterpret_cast<PVOID>(HookImportStub), false));
  EXPECT_EQ(Bytes(LinkedStubJump),
            ResolveCodeAddress(reinterpret_cast<PVOID>(LinkedStubJump), false));
  EXPECT_EQ(Bytes(LinkedStub), ResolveCodeAddress(reinterpret_cast<PVOID>(LinkedStubJump), true));
  EXPECT_EQ(Bytes(HookPlain), ResolveCodeAddress(reinterpret_cast<PVOID>(HookPlain), true));
}

}  // namespace
