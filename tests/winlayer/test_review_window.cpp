// A window object that deletes itself when its window goes must not be written to afterwards,
// one that goes before its window leaves nothing of its own behind, and a child's text of any
// length can be read through its dialog id.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <new>

#include "support/gtest_cstring.h"
#include "winlayer/bitmap_button.h"
#include "winlayer/window_impl.h"

namespace {

constexpr unsigned char kFreed = 0xDD;

// Lives in a buffer of its own that its deletion fills with kFreed, so a write after the
// deletion shows.
class SelfDeleting : public CWindowImpl<SelfDeleting, CWindow, CWinTraits<WS_POPUP>> {
 public:
  alignas(16) static unsigned char s_storage[];
  static void* operator new(size_t) { return s_storage; }
  static void operator delete(void* p) { std::memset(p, kFreed, sizeof(SelfDeleting)); }

  BEGIN_MSG_MAP(SelfDeleting)
  MESSAGE_HANDLER(WM_CLOSE, OnClose)
  END_MSG_MAP()
  // Destroys its own window from inside one of its messages.
  LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&) {
    EXPECT_TRUE(DestroyWindow());
    s_handleAfterDestroy = m_hWnd;  // the object lives on until the message returns
    return 0;
  }
  void OnFinalMessage(HWND) override { delete this; }

  static HWND s_handleAfterDestroy;
};
alignas(16) unsigned char SelfDeleting::s_storage[sizeof(SelfDeleting)];
HWND SelfDeleting::s_handleAfterDestroy = nullptr;

bool AllFreed() {
  for (unsigned char byte : SelfDeleting::s_storage) {
    if (byte != kFreed) return false;
  }
  return true;
}

TEST(ReviewWindow, DestroyWindowLeavesADeletedObjectAlone) {
  SelfDeleting* window = new SelfDeleting;
  ASSERT_NE(nullptr, window->Create(nullptr));
  EXPECT_TRUE(window->DestroyWindow());
  EXPECT_TRUE(AllFreed());

  // From inside a handler the final message waits, and the handle is forgotten at once.
  HWND hWnd = (new SelfDeleting)->Create(nullptr);
  ASSERT_NE(nullptr, hWnd);
  SelfDeleting::s_handleAfterDestroy = hWnd;
  SendMessageW(hWnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(nullptr, SelfDeleting::s_handleAfterDestroy);
  EXPECT_TRUE(AllFreed());
  EXPECT_FALSE(IsWindow(hWnd));
}

BOOL CALLBACK CountToolTip(HWND hWnd, LPARAM counter) {
  wchar_t name[32] = {};
  GetClassNameW(hWnd, name, 32);
  if (lstrcmpiW(name, L"tooltips_class32") == 0) ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

int ThreadToolTips() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountToolTip, reinterpret_cast<LPARAM>(&count));
  return count;
}

TEST(ReviewWindow, BitmapButtonGoingFirstTakesItsTipAlong) {
  CWindow parent;
  ASSERT_NE(nullptr, parent.Create(L"STATIC", nullptr, RectArg(), nullptr, WS_POPUP));
  const int before = ThreadToolTips();
  HWND hWnd;
  {
    CBitmapButton button;
    hWnd = button.Create(parent, RectArg(), nullptr, WS_CHILD);
    ASSERT_NE(nullptr, hWnd);
    button.SetToolTipText(L"关闭");
    EXPECT_EQ(before + 1, ThreadToolTips());
  }
  EXPECT_TRUE(IsWindow(hWnd));
  EXPECT_EQ(before, ThreadToolTips());
  parent.DestroyWindow();
}

TEST(ReviewWindow, DialogItemTextOfAnyLength) {
  CWindow parent;
  ASSERT_NE(nullptr, parent.Create(L"STATIC", nullptr, RectArg(), nullptr, WS_POPUP));
  CWindow child;
  ASSERT_NE(nullptr, child.Create(L"EDIT", parent, RectArg(), nullptr, WS_CHILD, 0, 12));
  CString longText(L'\x8bcd', 2000);
  child.SetWindowText(longText);
  CString text(L"old");
  EXPECT_EQ(2000, parent.GetDlgItemText(12, text));
  EXPECT_EQ(longText, text);
  EXPECT_EQ(0, parent.GetDlgItemText(13, text));  // no such child
  EXPECT_TRUE(text.IsEmpty());
  parent.DestroyWindow();
}

}  // namespace
