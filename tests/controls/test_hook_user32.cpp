#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "controls/api_hook.h"

// The eight user32 scroll-bar functions, each with a static trampoline and a detour that counts
// its calls and passes them on unchanged.
#define COUNTING_HOOK(name, ret, params, args)                               \
  extern "C" ret WINAPI name##Trampoline params asm(#name "Trampoline");     \
  extern "C" __attribute__((used)) PVOID name##Getter() asm(#name "Getter"); \
  PVOID name##Getter() {                                                     \
    return reinterpret_cast<PVOID>(&::name);                                 \
  }                                                                          \
  DEFINE_API_HOOK_TRAMPOLINE(name##Trampoline, name##Getter)                 \
  int name##Calls = 0;                                                       \
  ret WINAPI name##Detour params {                                           \
    ++name##Calls;                                                           \
    return name##Trampoline args;                                            \
  }

COUNTING_HOOK(SetScrollInfo, int, (HWND w, int bar, LPCSCROLLINFO si, BOOL redraw),
              (w, bar, si, redraw))
COUNTING_HOOK(GetScrollInfo, BOOL, (HWND w, int bar, LPSCROLLINFO si), (w, bar, si))
COUNTING_HOOK(SetScrollPos, int, (HWND w, int bar, int pos, BOOL redraw), (w, bar, pos, redraw))
COUNTING_HOOK(GetScrollPos, int, (HWND w, int bar), (w, bar))
COUNTING_HOOK(SetScrollRange, BOOL, (HWND w, int bar, int lo, int hi, BOOL redraw),
              (w, bar, lo, hi, redraw))
COUNTING_HOOK(GetScrollRange, BOOL, (HWND w, int bar, LPINT lo, LPINT hi), (w, bar, lo, hi))
COUNTING_HOOK(ShowScrollBar, BOOL, (HWND w, int bar, BOOL show), (w, bar, show))
COUNTING_HOOK(EnableScrollBar, BOOL, (HWND w, UINT bar, UINT arrows), (w, bar, arrows))

namespace {

struct Hook {
  const char* name;
  PVOID trampoline;
  PVOID detour;
  PVOID (*getter)();
  int* calls;
};

#define HOOK_ROW(name)                                                                           \
  Hook {                                                                                         \
#name, reinterpret_cast < PVOID>(name##Trampoline), reinterpret_cast < PVOID>(name##Detour), \
        name##Getter, &name##Calls                                                               \
  }

const Hook kHooks[] = {HOOK_ROW(SetScrollInfo), HOOK_ROW(GetScrollInfo),  HOOK_ROW(SetScrollPos),
                       HOOK_ROW(GetScrollPos),  HOOK_ROW(SetScrollRange), HOOK_ROW(GetScrollRange),
                       HOOK_ROW(ShowScrollBar), HOOK_ROW(EnableScrollBar)};

HWND CreateScrolledWindow() {
  return CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_HSCROLL | WS_VSCROLL, 0, 0, 200, 200,
                         nullptr, nullptr, nullptr, nullptr);
}

// Every function once, in an order whose results depend on the earlier calls.
std::vector<int> ScrollSequence(HWND window) {
  std::vector<int> results;
  results.push_back(SetScrollRange(window, SB_VERT, 0, 100, FALSE));
  int low = -1, high = -1;
  results.push_back(GetScrollRange(window, SB_VERT, &low, &high));
  results.insert(results.end(), {low, high});
  results.push_back(SetScrollPos(window, SB_VERT, 30, FALSE));
  results.push_back(GetScrollPos(window, SB_VERT));
  SCROLLINFO set = {sizeof set, SIF_PAGE, 0, 0, 10, 0, 0};
  results.push_back(SetScrollInfo(window, SB_VERT, &set, FALSE));
  SCROLLINFO got = {sizeof got, SIF_ALL, 0, 0, 0, 0, 0};
  results.push_back(GetScrollInfo(window, SB_VERT, &got));
  results.insert(results.end(), {got.nMin, got.nMax, static_cast<int>(got.nPage), got.nPos});
  results.push_back(ShowScrollBar(window, SB_HORZ, FALSE));
  results.push_back((GetWindowLongW(window, GWL_STYLE) & WS_HSCROLL) != 0);
  results.push_back(EnableScrollBar(window, SB_VERT, ESB_DISABLE_BOTH));
  return results;
}

TEST(ApiHookUser32, ScrollBarFunctionsAreRedirectedAndRestored) {
  HWND before = CreateScrolledWindow();
  ASSERT_NE(nullptr, before);
  const std::vector<int> expected = ScrollSequence(before);
  DestroyWindow(before);

  std::vector<std::vector<BYTE>> originals;
  for (const Hook& hook : kHooks) {
    PBYTE code = ResolveCodeAddress(hook.getter(), false);
    originals.emplace_back(code, code + 16);
  }

  for (size_t i = 0; i < std::size(kHooks); ++i) {
    const Hook& hook = kHooks[i];
    PVOID target = nullptr;
    ASSERT_TRUE(AttachApiHookEx(hook.trampoline, hook.detour, nullptr, &target)) << hook.name;
    EXPECT_EQ(ResolveCodeAddress(hook.getter(), false), target) << hook.name;
    std::printf("%s: %u bytes moved\n", hook.name, static_cast<PBYTE>(hook.trampoline)[31]);
  }

  HWND hooked = CreateScrolledWindow();
  ASSERT_NE(nullptr, hooked);
  EXPECT_EQ(expected, ScrollSequence(hooked)) << "the detours change nothing";
  for (const Hook& hook : kHooks) EXPECT_GT(*hook.calls, 0) << hook.name << " never reached";
  DestroyWindow(hooked);

  for (size_t i = 0; i < std::size(kHooks); ++i) {
    const Hook& hook = kHooks[i];
    EXPECT_TRUE(RemoveApiHook(hook.trampoline, hook.detour)) << hook.name;
    PBYTE code = ResolveCodeAddress(hook.getter(), false);
    EXPECT_EQ(originals[i], std::vector<BYTE>(code, code + 16)) << hook.name;
    *hook.calls = 0;
  }

  HWND after = CreateScrolledWindow();
  EXPECT_EQ(expected, ScrollSequence(after));
  for (const Hook& hook : kHooks) EXPECT_EQ(0, *hook.calls) << hook.name << " still redirected";
  DestroyWindow(after);
}

}  // namespace
