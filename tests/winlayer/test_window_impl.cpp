// Windows whose messages run through message maps: which handler gets a message, what happens
// to the ones no handler keeps, superclassed and subclassed system controls, and how a window
// object and its window part (also with an ANSI subclass on top of ours, or deleted in its final
// message).
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/gtest_cstring.h"
#include "winlayer/controls_list.h"
#include "winlayer/window_impl.h"

namespace {

constexpr UINT kPing = WM_USER + 1;
using Log = std::vector<std::string>;

class TestWindow : public CWindowImpl<TestWindow, CWindow, CWinTraits<WS_POPUP>> {
 public:
  Log log;
  CString lastText;
  int finals = 0;

  BEGIN_MSG_MAP(TestWindow)
  MESSAGE_HANDLER(kPing, OnPingPassOn)
  MESSAGE_HANDLER(kPing, OnPing)
  MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
  MESSAGE_RANGE_HANDLER(WM_USER + 10, WM_USER + 19, OnRange)
  COMMAND_HANDLER(7, BN_CLICKED, OnCommand)
  COMMAND_ID_HANDLER(8, OnCommand)
  NOTIFY_HANDLER(3, NM_CLICK, OnNotify)
  NOTIFY_CODE_HANDLER(NM_DBLCLK, OnNotify)
  END_MSG_MAP()

  LRESULT OnPingPassOn(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    log.push_back("pass on");
    bHandled = FALSE;
    return 1;
  }
  LRESULT OnPing(UINT, WPARAM wParam, LPARAM, BOOL&) { return 40 + wParam; }
  // Sets the text through the default processing of the message being handled, then reads it.
  LRESULT OnSetText(UINT, WPARAM, LPARAM, BOOL&) {
    LRESULT result = DefWindowProc();
    GetWindowText(lastText);
    return result;
  }
  LRESULT OnRange(UINT uMsg, WPARAM, LPARAM, BOOL&) { return uMsg - WM_USER; }
  LRESULT OnCommand(WORD code, WORD id, HWND, BOOL&) {
    log.push_back("command " + std::to_string(id) + "/" + std::to_string(code));
    return 0;
  }
  LRESULT OnNotify(int id, LPNMHDR header, BOOL&) {
    log.push_back("notify " + std::to_string(id) + "/" + std::to_string(int(header->code)));
    return 0;
  }
  void OnFinalMessage(HWND) override { ++finals; }
};

TEST(WindowImpl, MapEntriesMatchInOrderAndUnhandledMessagesGetTheDefault) {
  TestWindow w;
  ASSERT_NE(nullptr, w.Create(nullptr, nullptr, L"first"));
  CString title;
  w.GetWindowText(title);
  EXPECT_EQ(L"first", title);  // WM_NCCREATE went on to the default processing

  EXPECT_EQ(45, w.SendMessage(kPing, 5));  // the first entry passed it on
  EXPECT_EQ(0, w.SendMessage(WM_USER + 2));
  ASSERT_TRUE(w.SetWindowText(L"歌词"));
  EXPECT_EQ(L"歌词", w.lastText);
  EXPECT_EQ(12, w.SendMessage(WM_USER + 12));
  for (auto [id, code] : {std::pair{7, BN_CLICKED}, {7, BN_DBLCLK}, {8, BN_DBLCLK}}) {
    w.SendMessage(WM_COMMAND, MAKEWPARAM(id, code));
  }
  for (auto [id, code] : {std::pair<UINT, UINT>{3, NM_CLICK}, {3, NM_RCLICK}, {4, NM_DBLCLK}}) {
    NMHDR header = {w, id, code};
    w.SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
  }
  EXPECT_EQ((Log{"pass on", "command 7/0", "command 8/5", "notify 3/-2", "notify 4/-3"}), w.log);
  EXPECT_TRUE(w.DestroyWindow());
  EXPECT_EQ(1, w.finals);
}

// ---- chaining

class PlainMap : public CMessageMap {
 public:
  BEGIN_MSG_MAP(PlainMap)
  MESSAGE_HANDLER(kPing + 1, OnOther)
  END_MSG_MAP()
  LRESULT OnOther(UINT, WPARAM, LPARAM, BOOL&) { return 7; }
};

template <class T>
class ChainBase : public CWindowImpl<T, CWindow, CWinTraits<WS_POPUP>> {
 public:
  BEGIN_MSG_MAP(ChainBase)
  MESSAGE_HANDLER(kPing, OnBasePing)
  END_MSG_MAP()
  LRESULT OnBasePing(UINT, WPARAM, LPARAM, BOOL&) { return 2; }
};

class Chained : public ChainBase<Chained> {
 public:
  PlainMap member;
  bool keepPing = false;
  BEGIN_MSG_MAP(Chained)
  MESSAGE_HANDLER(kPing, OnPing)
  CHAIN_MSG_MAP_MEMBER(member)
  CHAIN_MSG_MAP(ChainBase<Chained>)
  END_MSG_MAP()
  LRESULT OnPing(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = keepPing;
    return 1;
  }
};

TEST(WindowImpl, ChainsToBaseAndMemberMaps) {
  Chained w;
  ASSERT_NE(nullptr, w.Create(nullptr));
  EXPECT_EQ(2, w.SendMessage(kPing));
  w.keepPing = true;
  EXPECT_EQ(1, w.SendMessage(kPing));
  EXPECT_EQ(7, w.SendMessage(kPing + 1));
  w.DestroyWindow();
}

// ---- system controls, superclassed and subclassed

// A superclassed list view that counts the control's own messages on their way to it.
class SuperList : public CWindowImpl<SuperList> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, WC_LISTVIEWW)
  int counted = 0;
  BEGIN_MSG_MAP(SuperList)
  MESSAGE_RANGE_HANDLER(WM_USER, 0x7FFF, OnControlMessage)
  END_MSG_MAP()
  LRESULT OnControlMessage(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    ++counted;
    bHandled = FALSE;
    return 0;
  }
};

// Passes everything on with CallWindowProcA and takes itself out after the inner procedure has
// seen WM_NCDESTROY, as the scroll-bar skinning does.
class AnsiSubclass {
 public:
  static void Install(HWND hWnd) {
    s_previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
    s_seen = 0;
    s_stillOnTopAtTheEnd = false;
  }
  static inline int s_seen = 0;
  // The inner procedure must not have put its own predecessor over us at WM_NCDESTROY.
  static inline bool s_stillOnTopAtTheEnd = false;

 private:
  static LRESULT CALLBACK Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    ++s_seen;
    LRESULT result = CallWindowProcA(s_previous, hWnd, uMsg, wParam, lParam);
    if (uMsg == WM_NCDESTROY) {
      s_stillOnTopAtTheEnd =
          GetWindowLongPtrA(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(Proc);
      SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s_previous));
    }
    return result;
  }
  static inline WNDPROC s_previous = nullptr;
};

int InsertListRow(HWND list) {
  return CListViewCtrl(list).InsertItem(0, L"行");
}

class ControlTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&init);
  }
  void SetUp() override {
    ASSERT_NE(nullptr, parent.Create(L"STATIC", nullptr, rect, nullptr, WS_POPUP));
  }
  void TearDown() override { parent.DestroyWindow(); }
  RECT rect = {0, 0, 300, 200};
  CWindow parent;
};

TEST_F(ControlTest, ASuperclassedControlKeepsItsOwnBehaviour) {
  SuperList list;
  ASSERT_NE(nullptr, list.Create(parent, rect, nullptr, 0, 0, 100));
  EXPECT_EQ(100, list.GetDlgCtrlID());
  EXPECT_EQ(0x56000000u, list.GetStyle() & 0xFFFF0000u);  // the control traits
  InsertListRow(list);
  InsertListRow(list);
  EXPECT_EQ(2, list.SendMessage(LVM_GETITEMCOUNT));
  EXPECT_EQ(3, list.counted);
}

class DigitFilter : public CWindowImpl<DigitFilter> {
 public:
  BEGIN_MSG_MAP(DigitFilter)
  MESSAGE_HANDLER(WM_CHAR, OnChar)
  END_MSG_MAP()
  LRESULT OnChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    bHandled = wParam >= L'0' && wParam <= L'9';  // swallow digits, pass the rest
    return 0;
  }
};

TEST_F(ControlTest, SubclassedEditSeesMessagesFirstAndCanBeGivenBack) {
  CWindow edit;
  ASSERT_NE(nullptr, edit.Create(L"EDIT", parent, rect, nullptr, WS_CHILD));
  LONG_PTR original = GetWindowLongPtrW(edit, GWLP_WNDPROC);
  DigitFilter filter, second;
  ASSERT_TRUE(filter.SubclassWindow(edit));
  EXPECT_FALSE(second.SubclassWindow(edit));    // one object per window
  EXPECT_FALSE(filter.SubclassWindow(parent));  // one window per object

  for (wchar_t ch : std::wstring(L"a1b2")) edit.SendMessage(WM_CHAR, ch, 1);
  CString text;
  edit.GetWindowText(text);
  EXPECT_EQ(L"ab", text);

  EXPECT_EQ(edit.m_hWnd, filter.UnsubclassWindow());
  EXPECT_EQ(original, GetWindowLongPtrW(edit, GWLP_WNDPROC));
  edit.SendMessage(WM_CHAR, L'3', 1);
  edit.GetWindowText(text);
  EXPECT_EQ(L"ab3", text);
}

TEST_F(ControlTest, AnsiSubclassOnTopReachesOurMapAndTearsDownAfterUs) {
  TestWindow w;
  ASSERT_NE(nullptr, w.Create(nullptr));
  SetWindowLongPtrW(w, GWLP_USERDATA, 0x12345678);  // the program's, not ours
  AnsiSubclass::Install(w);
  EXPECT_EQ(41, w.SendMessage(kPing, 1));
  ASSERT_TRUE(w.SetWindowText(L"歌词编辑器"));  // to ANSI and back to wide on the way
  EXPECT_EQ(L"歌词编辑器", w.lastText);
  EXPECT_GE(AnsiSubclass::s_seen, 2);
  EXPECT_EQ(nullptr, w.UnsubclassWindow());  // refused: it would cut the outer procedure off

  EXPECT_TRUE(DestroyWindow(w));
  EXPECT_TRUE(AnsiSubclass::s_stillOnTopAtTheEnd);
  EXPECT_EQ(1, w.finals);
  EXPECT_EQ(nullptr, w.m_hWnd);

  SuperList list;
  ASSERT_NE(nullptr, list.Create(parent, rect));
  AnsiSubclass::Install(list);
  InsertListRow(list);
  EXPECT_EQ(1, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  EXPECT_EQ(2, list.counted);
  list.DestroyWindow();
  EXPECT_TRUE(AnsiSubclass::s_stillOnTopAtTheEnd);
}

TEST_F(ControlTest, ObjectGoingFirstLeavesAWorkingControl) {
  for (bool outerSubclass : {false, true}) {
    HWND hWnd;
    {
      SuperList list;
      hWnd = list.Create(parent, rect);
      ASSERT_NE(nullptr, hWnd);
      if (outerSubclass) AnsiSubclass::Install(hWnd);  // still calls our procedure afterwards
    }
    InsertListRow(hWnd);
    EXPECT_EQ(1, SendMessageW(hWnd, LVM_GETITEMCOUNT, 0, 0)) << outerSubclass;
    DestroyWindow(hWnd);
  }
}

// ---- lifetime

constexpr unsigned char kFreed = 0xDD;

// Lives in a buffer of its own that its deletion fills with kFreed, so that a write after the
// deletion shows; notes the end of its close handler and its final message.
class SelfDeleting : public CWindowImpl<SelfDeleting, CWindow, CWinTraits<WS_POPUP>> {
 public:
  alignas(16) static unsigned char s_storage[];
  static inline Log* s_log = nullptr;
  static void* operator new(size_t) { return s_storage; }
  static void operator delete(void* p) { std::memset(p, kFreed, sizeof(SelfDeleting)); }

  BEGIN_MSG_MAP(SelfDeleting)
  MESSAGE_HANDLER(WM_CLOSE, OnClose)
  END_MSG_MAP()
  // Destroys its own window from inside one of its messages: the object lives on until the
  // message returns, its handle forgotten at once.
  LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&) {
    EXPECT_TRUE(DestroyWindow());
    s_log->push_back(m_hWnd ? "close handler ends, handle kept" : "close handler ends");
    return 0;
  }
  void OnFinalMessage(HWND) override {
    s_log->push_back("final");
    delete this;
  }
};
alignas(16) unsigned char SelfDeleting::s_storage[sizeof(SelfDeleting)];

bool AllFreed() {
  for (unsigned char byte : SelfDeleting::s_storage) {
    if (byte != kFreed) return false;
  }
  return true;
}

TEST(WindowImplLifetime, AnObjectDeletedInItsFinalMessageIsNeverTouchedAgain) {
  Log log;
  SelfDeleting::s_log = &log;
  SelfDeleting* window = new SelfDeleting;
  ASSERT_NE(nullptr, window->Create(nullptr));
  EXPECT_TRUE(window->DestroyWindow());
  EXPECT_TRUE(AllFreed());

  // From inside a handler the final message waits for the outermost handler.
  HWND hWnd = (new SelfDeleting)->Create(nullptr);
  ASSERT_NE(nullptr, hWnd);
  SendMessageW(hWnd, WM_CLOSE, 0, 0);
  EXPECT_EQ((Log{"final", "close handler ends", "final"}), log);
  EXPECT_TRUE(AllFreed());
  EXPECT_FALSE(IsWindow(hWnd));
}

// A parent whose creation handler creates a child of another class: each window gets its object.
class Parent : public CWindowImpl<Parent, CWindow, CWinTraits<WS_POPUP>> {
 public:
  TestWindow child;
  BEGIN_MSG_MAP(Parent)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(kPing, OnPing)
  END_MSG_MAP()
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    return child.Create(m_hWnd, nullptr, nullptr, WS_CHILD) ? 0 : -1;
  }
  LRESULT OnPing(UINT, WPARAM, LPARAM, BOOL&) { return 99; }
};

TEST(WindowImplLifetime, NestedCreationBindsEachWindowToItsObject) {
  Parent p;
  ASSERT_NE(nullptr, p.Create(nullptr));
  EXPECT_EQ(p.m_hWnd, p.child.GetParent().m_hWnd);
  EXPECT_EQ(99, p.SendMessage(kPing));
  EXPECT_EQ(40, p.child.SendMessage(kPing));
  p.DestroyWindow();  // takes the child with it
  EXPECT_EQ(nullptr, p.child.m_hWnd);
  EXPECT_EQ(1, p.child.finals);
}

}  // namespace
