#include "controls/module_lookup.h"

#include <imagehlp.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr DWORD kAllocationStep = 0x10000;

// The image's NT headers, or null with the reason as the last error.
PIMAGE_NT_HEADERS NtHeaders(HMODULE module) {
  auto base = reinterpret_cast<PBYTE>(module);
  auto dos = reinterpret_cast<PIMAGE_DOS_HEADER>(base);
  if (!base || dos->e_magic != IMAGE_DOS_SIGNATURE) {
    SetLastError(ERROR_BAD_EXE_FORMAT);
    return nullptr;
  }
  auto nt = reinterpret_cast<PIMAGE_NT_HEADERS>(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE) {
    SetLastError(ERROR_INVALID_EXE_SIGNATURE);
    return nullptr;
  }
  return nt;
}

// True when a committed, readable region starts at address with an MZ header whose PE
// signature lies inside the same region.
bool IsImageStart(PBYTE address) {
  MEMORY_BASIC_INFORMATION info;
  if (!VirtualQuery(address, &info, sizeof info)) return false;
  if (info.State != MEM_COMMIT || (info.Protect & (PAGE_GUARD | PAGE_NOACCESS))) return false;
  if (info.BaseAddress != address || info.RegionSize < sizeof(IMAGE_DOS_HEADER)) return false;
  auto dos = reinterpret_cast<PIMAGE_DOS_HEADER>(address);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew <= 0) return false;
  if (static_cast<SIZE_T>(dos->e_lfanew) + sizeof(DWORD) > info.RegionSize) return false;
  return reinterpret_cast<PIMAGE_NT_HEADERS>(address + dos->e_lfanew)->Signature ==
         IMAGE_NT_SIGNATURE;
}

struct LibraryCloser {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
using Library = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryCloser>;

template <typename F>
F Proc(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Symbol lookup through imagehlp.dll, loaded for the one query and released after it.
PVOID FindSymbol(LPCSTR module, LPCSTR function) {
  Library imagehlp(LoadLibraryA("imagehlp.dll"));
  if (!imagehlp) return nullptr;
  HMODULE dll = imagehlp.get();
  auto api_version = Proc<LPAPI_VERSION(WINAPI*)(LPAPI_VERSION)>(dll, "ImagehlpApiVersionEx");
  auto initialize = Proc<BOOL(WINAPI*)(HANDLE, PCSTR, BOOL)>(dll, "SymInitialize");
  auto cleanup = Proc<BOOL(WINAPI*)(HANDLE)>(dll, "SymCleanup");
  auto get_options = Proc<DWORD(WINAPI*)()>(dll, "SymGetOptions");
  auto set_options = Proc<DWORD(WINAPI*)(DWORD)>(dll, "SymSetOptions");
  auto load_module =
      Proc<DWORD(WINAPI*)(HANDLE, HANDLE, PCSTR, PCSTR, DWORD, DWORD)>(dll, "SymLoadModule");
  auto module_info = Proc<BOOL(WINAPI*)(HANDLE, DWORD, PIMAGEHLP_MODULE)>(dll, "SymGetModuleInfo");
  auto from_name = Proc<BOOL(WINAPI*)(HANDLE, PCSTR, PIMAGEHLP_SYMBOL)>(dll, "SymGetSymFromName");
  if (!api_version || !initialize || !cleanup || !get_options || !set_options || !load_module ||
      !module_info || !from_name) {
    return nullptr;
  }
  API_VERSION wanted = {4, 0, API_VERSION_NUMBER, 0};
  api_version(&wanted);

  HANDLE process = GetCurrentProcess();
  if (!initialize(process, nullptr, FALSE)) return nullptr;
  set_options(get_options() | SYMOPT_DEFERRED_LOADS);
  PVOID found = nullptr;
  HMODULE base = GetModuleHandleA(module);
  IMAGEHLP_MODULE info = {};
  info.SizeOfStruct = sizeof info;
  const DWORD loaded_at =
      load_module(process, nullptr, module, nullptr, reinterpret_cast<DWORD>(base), 0);
  if (loaded_at && module_info(process, loaded_at, &info)) {
    constexpr DWORD kNameLength = 128;
    alignas(IMAGEHLP_SYMBOL) BYTE buffer[sizeof(IMAGEHLP_SYMBOL) + kNameLength];
    memset(buffer, 0, sizeof buffer);
    auto symbol = reinterpret_cast<PIMAGEHLP_SYMBOL>(buffer);
    symbol->SizeOfStruct = sizeof(IMAGEHLP_SYMBOL);
    symbol->MaxNameLength = kNameLength;
    const std::string name = std::string(info.ModuleName) + "!" + function;
    if (from_name(process, name.c_str(), symbol)) found = reinterpret_cast<PVOID>(symbol->Address);
  }
  cleanup(process);
  return found;
}

}  // namespace

PVOID FindApiFunction(LPCSTR module, LPCSTR function) {
  if (!module || !function) return nullptr;
  // Stays loaded on purpose: the caller is about to patch code inside it.
  HMODULE loaded = LoadLibraryA(module);
  if (!loaded) return nullptr;
  if (FARPROC address = GetProcAddress(loaded, function)) return reinterpret_cast<PVOID>(address);
  return FindSymbol(module, function);
}

HMODULE EnumerateModules(HMODULE last) {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const auto end = reinterpret_cast<uintptr_t>(system.lpMaximumApplicationAddress);
  uintptr_t address = last ? reinterpret_cast<uintptr_t>(last) + kAllocationStep : kAllocationStep;
  for (; address && address < end; address += kAllocationStep) {
    if (IsImageStart(reinterpret_cast<PBYTE>(address))) return reinterpret_cast<HMODULE>(address);
  }
  return nullptr;
}

PVOID GetModuleEntryPoint(HMODULE module) {
  PIMAGE_NT_HEADERS nt = NtHeaders(module);
  if (!nt) return nullptr;
  return reinterpret_cast<PBYTE>(module) + nt->OptionalHeader.AddressOfEntryPoint;
}

PVOID FindModulePayload(HMODULE module, DWORD* size) {
  if (size) *size = 0;
  PIMAGE_NT_HEADERS nt = NtHeaders(module);
  if (!nt) return nullptr;
  PIMAGE_SECTION_HEADER section = IMAGE_FIRST_SECTION(nt);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    if (strncmp(reinterpret_cast<const char*>(section->Name), ".detour", IMAGE_SIZEOF_SHORT_NAME))
      continue;
    if (size) *size = section->Misc.VirtualSize;
    return reinterpret_cast<PBYTE>(module) + section->VirtualAddress;
  }
  SetLastError(ERROR_EXE_MARKED_INVALID);
  return nullptr;
}
