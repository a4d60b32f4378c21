// Finding code to hook in the loaded modules. The program hooks through static trampolines and
// calls none of these; they serve hooks whose target is only known by name.
#pragma once

#include <windows.h>

// The function `function` of `module` (loaded if need be): the export, or else the symbol
// "module!function" from the module's debug information through imagehlp.dll, which is loaded
// only for this. Null when neither knows it.
PVOID FindApiFunction(LPCSTR module, LPCSTR function);

// The next executable image mapped above `last` (null: the first), found by walking the address
// space in 64 KB steps; null after the last one.
HMODULE EnumerateModules(HMODULE last);

// The entry point of a mapped image; null with ERROR_BAD_EXE_FORMAT (no MZ header) or
// ERROR_INVALID_EXE_SIGNATURE (no PE signature).
PVOID GetModuleEntryPoint(HMODULE module);

// The contents of the image's ".detour" section and their size; null with the errors of
// GetModuleEntryPoint, or ERROR_EXE_MARKED_INVALID when the image has no such section.
PVOID FindModulePayload(HMODULE module, DWORD* size);
