#include <gtest/gtest.h>

#include <cstring>

#include "controls/module_lookup.h"

extern "C" void mainCRTStartup();

namespace {

__attribute__((section(".detour"), used)) const char kPayload[] = "payload of the test program";

TEST(ModuleLookup, FindsExportsAndRejectsUnknownNames) {
  EXPECT_EQ(reinterpret_cast<PVOID>(&::SetScrollInfo),
            FindApiFunction("user32.dll", "SetScrollInfo"));
  EXPECT_EQ(nullptr, FindApiFunction("user32.dll", "NoSuchFunctionAnywhere"));
  EXPECT_EQ(nullptr, FindApiFunction("no_such_module.dll", "Anything"));
  EXPECT_EQ(nullptr, FindApiFunction(nullptr, "SetScrollInfo"));
}

TEST(ModuleLookup, WalkFindsTheProgramAndSystemModules) {
  HMODULE program = GetModuleHandleW(nullptr);
  HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  bool saw_program = false, saw_kernel32 = false;
  HMODULE previous = nullptr;
  for (HMODULE m = EnumerateModules(nullptr); m; m = EnumerateModules(m)) {
    EXPECT_GT(m, previous) << "the walk moves upwards";
    previous = m;
    saw_program |= m == program;
    saw_kernel32 |= m == kernel32;
  }
  EXPECT_TRUE(saw_program);
  EXPECT_TRUE(saw_kernel32);
}

TEST(ModuleLookup, EntryPointAndPayloadOfTheProgram) {
  HMODULE program = GetModuleHandleW(nullptr);
  EXPECT_EQ(reinterpret_cast<PVOID>(&mainCRTStartup), GetModuleEntryPoint(program));

  DWORD size = 0;
  const char* payload = static_cast<const char*>(FindModulePayload(program, &size));
  ASSERT_NE(nullptr, payload);
  EXPECT_GE(size, sizeof kPayload);
  EXPECT_STREQ(kPayload, payload);

  SetLastError(0);
  EXPECT_EQ(nullptr, FindModulePayload(GetModuleHandleW(L"kernel32.dll"), &size));
  EXPECT_EQ(static_cast<DWORD>(ERROR_EXE_MARKED_INVALID), GetLastError());
  EXPECT_EQ(0u, size);

  static const BYTE kNotAnImage[64] = {'M', 'Z'};
  SetLastError(0);
  EXPECT_EQ(nullptr,
            GetModuleEntryPoint(reinterpret_cast<HMODULE>(const_cast<BYTE*>(kNotAnImage + 2))));
  EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_EXE_FORMAT), GetLastError());
  SetLastError(0);
  EXPECT_EQ(nullptr,
            GetModuleEntryPoint(reinterpret_cast<HMODULE>(const_cast<BYTE*>(kNotAnImage))));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_EXE_SIGNATURE), GetLastError());
}

}  // namespace
