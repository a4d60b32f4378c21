// Length decoding and relocation of 32-bit x86 instructions. The API hook engine moves the first
// instructions of a function into a trampoline and back; a moved relative branch must still
// reach its old destination, so every instruction is copied whole and re-targeted.
#pragma once

#include <windows.h>

// Reported as the target of instructions whose destination is only known at run time: far
// calls, jumps and returns, interrupts, calls and jumps through registers or memory.
inline const PBYTE kDynamicTarget = reinterpret_cast<PBYTE>(-1);

// What copying one instruction found.
struct InstructionCopy {
  PBYTE next = nullptr;    // the next source instruction; null on failure (see the last error)
  PBYTE target = nullptr;  // branch destination, kDynamicTarget, or null when it does not branch
  LONG extra = 0;   // bytes a wider form of the branch needs (3 for rel8, 2 for rel16), negated
                    // when there is no wider form (LOOP, LOOPE, LOOPNE)
  UINT copied = 0;  // bytes written (or measured); fewer than consumed for an invalid opcode
};

// Copies the instruction at src to `write` as though the copy were to run at `runs_at`, with a
// relative displacement re-targeted to reach the same destination from there. A null `write`
// only measures. A null source fails with ERROR_INVALID_DATA; a re-targeted displacement that
// does not fit its 1- or 2-byte field fails with ERROR_ARITHMETIC_OVERFLOW and writes nothing.
InstructionCopy CopyInstructionAt(PBYTE write, PBYTE runs_at, PBYTE src);

// The engine's classic form: copies to dst (null: length only) and returns the next source
// instruction, or null on failure; target and extra as in InstructionCopy.
PBYTE CopyInstruction(PBYTE dst, PBYTE src, PBYTE* target = nullptr, LONG* extra = nullptr);

// True when entry i of both opcode tables describes opcode i (the tables are written by hand).
bool CheckOpcodeTables();
