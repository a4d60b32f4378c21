// Windows whose messages run through message maps: which handler gets a message, what happens
// to the ones no handler keeps, superclassed and subclassed system controls, and how a window
// object and its window part (also with someone else's ANSI subclass on top of ours).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "support/gtest_cstring.h"
#include "winlayer/window_impl.h"

namespace {

constexpr UINT kPing = WM_USER + 1;
constexpr UINT kOther = WM_USER + 2;

class TestWindow : public CWindowImpl<TestWindow, CWindow, CWinTraits<WS_POPUP>> {
 public:
  std::vector<std::string> calls;
  CString lastText;
  int finalMessages = 0;

  BEGIN_MSG_MAP(TestWindow)
  MESSAGE_HANDLER(kPing, OnPingPassOn)
  MESSAGE_HANDLER(kPing, OnPing)
  MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
  MESSAGE_RANGE_HANDLER(WM_USER + 10, WM_USER + 19, OnRange)
  COMMAND_HANDLER(7, BN_CLICKED, OnClicked7)
  COMMAND_ID_HANDLER(7, OnAnyCommand7)
  COMMAND_CODE_HANDLER(EN_CHANGE, OnAnyChange)
  NOTIFY_HANDLER(3, NM_CLICK, OnClick3)
  NOTIFY_ID_HANDLER(3, OnAnyNotify3)
  NOTIFY_CODE_HANDLER(NM_DBLCLK, OnAnyDoubleClick)
  END_MSG_MAP()

  LRESULT OnPingPassOn(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    calls.push_back("pass on");
    bHandled = FALSE;
    return 1;
  }
  LRESULT OnPing(UINT, WPARAM wParam, LPARAM, BOOL&) {
    calls.push_back("ping");
    return 40 + wParam;
  }
  // Sets the text through the default processing of the message being handled, then reads it.
  LRESULT OnSetText(UINT, WPARAM, LPARAM, BOOL&) {
    LRESULT result = DefWindowProc();
    GetWindowText(lastText);
    return result;
  }
  LRESULT OnRange(UINT uMsg, WPARAM, LPARAM, BOOL&) { return uMsg - WM_USER; }
  LRESULT OnClicked7(WORD, WORD, HWND, BOOL&) { return Record("clicked 7"); }
  LRESULT OnAnyCommand7(WORD code, WORD, HWND, BOOL&) {
    return Record("command 7 code " + std::to_string(code));
  }
  LRESULT OnAnyChange(WORD, WORD id, HWND, BOOL&) {
    return Record("change of " + std::to_string(id));
  }
  LRESULT OnClick3(int, LPNMHDR, BOOL&) { return Record("click 3"); }
  LRESULT OnAnyNotify3(int, LPNMHDR header, BOOL&) {
    return Record("notify 3 code " + std::to_string(static_cast<int>(header->code)));
  }
  LRESULT OnAnyDoubleClick(int id, LPNMHDR, BOOL&) {
    return Record("double click of " + std::to_string(id));
  }

  void OnFinalMessage(HWND) override { ++finalMessages; }

  LRESULT Command(WORD id, WORD code) { return SendMessage(WM_COMMAND, MAKEWPARAM(id, code), 0); }
  LRESULT Notify(UINT_PTR id, UINT code) {
    NMHDR header = {m_hWnd, id, code};
    return SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
  }

 private:
  LRESULT Record(const std::string& call) {
    calls.push_back(call);
    return 1;
  }
};

TEST(WindowImpl, HandlersPassOnWithBHandledAndTheRestGetsDefaultProcessing) {
  TestWindow w;
  ASSERT_NE(nullptr, w.Create(nullptr, nullptr, L"first"));
  CString title;
  w.GetWindowText(title);
  EXPECT_EQ(L"first", title);  // WM_NCCREATE went on to the default processing

  EXPECT_EQ(45, w.SendMessage(kPing, 5));
  EXPECT_EQ((std::vector<std::string>{"pass on", "ping"}), w.calls);

  EXPECT_EQ(0, w.SendMessage(kOther));  // nothing maps it: DefWindowProc
  ASSERT_TRUE(w.SetWindowText(L"歌词"));
  EXPECT_EQ(L"歌词", w.lastText);
  EXPECT_EQ(12, w.SendMessage(WM_USER + 12));
  EXPECT_EQ(0, w.SendMessage(WM_USER + 20));
  EXPECT_TRUE(w.DestroyWindow());
  EXPECT_EQ(1, w.finalMessages);
}

TEST(WindowImpl, CommandAndNotifyEntriesMatchIdAndCodeInMapOrder) {
  TestWindow w;
  ASSERT_NE(nullptr, w.Create(nullptr));
  w.Command(7, BN_CLICKED);
  w.Command(7, BN_DBLCLK);
  w.Command(9, EN_CHANGE);
  w.Command(9, EN_SETFOCUS);  // no entry
  w.Notify(3, NM_CLICK);
  w.Notify(3, NM_RCLICK);
  w.Notify(4, NM_DBLCLK);
  w.Notify(4, NM_CLICK);  // no entry
  EXPECT_EQ(
      (std::vector<std::string>{
          "clicked 7", "command 7 code " + std::to_string(BN_DBLCLK), "change of 9", "click 3",
          "notify 3 code " + std::to_string(static_cast<int>(NM_RCLICK)), "double click of 4"}),
      w.calls);
  w.DestroyWindow();
}

// ---- chaining

class PlainMap : public CMessageMap {
 public:
  int seen = 0;
  BEGIN_MSG_MAP(PlainMap)
  MESSAGE_HANDLER(kOther, OnOther)
  END_MSG_MAP()
  LRESULT OnOther(UINT, WPARAM, LPARAM, BOOL&) {
    ++seen;
    return 7;
  }
};

template <class T>
class ChainBase : public CWindowImpl<T, CWindow, CWinTraits<WS_POPUP>> {
 public:
  std::vector<std::string> calls;
  BEGIN_MSG_MAP(ChainBase)
  MESSAGE_HANDLER(kPing, OnBasePing)
  ALT_MSG_MAP(1)
  MESSAGE_HANDLER(kPing, OnAltPing)
  END_MSG_MAP()
  LRESULT OnBasePing(UINT, WPARAM, LPARAM, BOOL&) {
    calls.push_back("base");
    return 2;
  }
  LRESULT OnAltPing(UINT, WPARAM, LPARAM, BOOL&) {
    calls.push_back("alternative");
    return 3;
  }
};

class Chained : public ChainBase<Chained> {
 public:
  PlainMap member;
  bool passPing = true;
  bool useAlternative = false;
  BEGIN_MSG_MAP(Chained)
  MESSAGE_HANDLER(kPing, OnPing)
  CHAIN_MSG_MAP_MEMBER(member)
  if (useAlternative) {
    CHAIN_MSG_MAP_ALT(ChainBase<Chained>, 1)
  }
  CHAIN_MSG_MAP(ChainBase<Chained>)
  END_MSG_MAP()
  LRESULT OnPing(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    calls.push_back("derived");
    bHandled = !passPing;
    return 1;
  }
};

TEST(WindowImpl, ChainsToBaseMemberAndAlternativeMaps) {
  Chained w;
  ASSERT_NE(nullptr, w.Create(nullptr));
  EXPECT_EQ(2, w.SendMessage(kPing));
  w.useAlternative = true;
  EXPECT_EQ(3, w.SendMessage(kPing));
  w.passPing = false;
  EXPECT_EQ(1, w.SendMessage(kPing));
  EXPECT_EQ((std::vector<std::string>{"derived", "base", "derived", "alternative", "derived"}),
            w.calls);
  EXPECT_EQ(7, w.SendMessage(kOther));
  EXPECT_EQ(1, w.member.seen);
  w.DestroyWindow();
}

// ---- superclassed system controls

// Counts one message on its way to the control and otherwise leaves the control alone.
template <UINT t_counted>
class Counting {
 public:
  int counted = 0;
  BEGIN_MSG_MAP(Counting)
  MESSAGE_HANDLER(t_counted, OnCounted)
  END_MSG_MAP()
  LRESULT OnCounted(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    ++counted;
    bHandled = FALSE;
    return 0;
  }
};

class SuperList : public CWindowImpl<SuperList>, public Counting<LVM_INSERTITEMW> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, WC_LISTVIEWW)
  BEGIN_MSG_MAP(SuperList)
  CHAIN_MSG_MAP(Counting<LVM_INSERTITEMW>)
  END_MSG_MAP()
};

class SuperTree : public CWindowImpl<SuperTree>, public Counting<TVM_INSERTITEMW> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, WC_TREEVIEWW)
  BEGIN_MSG_MAP(SuperTree)
  CHAIN_MSG_MAP(Counting<TVM_INSERTITEMW>)
  END_MSG_MAP()
};

class SuperTab : public CWindowImpl<SuperTab>, public Counting<TCM_INSERTITEMW> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, WC_TABCONTROLW)
  BEGIN_MSG_MAP(SuperTab)
  CHAIN_MSG_MAP(Counting<TCM_INSERTITEMW>)
  END_MSG_MAP()
};

class SuperScrollBar : public CWindowImpl<SuperScrollBar>, public Counting<SBM_SETSCROLLINFO> {
 public:
  DECLARE_WND_SUPERCLASS(nullptr, L"SCROLLBAR")
  BEGIN_MSG_MAP(SuperScrollBar)
  CHAIN_MSG_MAP(Counting<SBM_SETSCROLLINFO>)
  END_MSG_MAP()
};

class ControlTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                                   ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&init);
  }
  void SetUp() override {
    RECT rect = {0, 0, 400, 300};
    ASSERT_NE(nullptr, parent.Create(L"STATIC", nullptr, rect, nullptr, WS_POPUP));
  }
  void TearDown() override { parent.DestroyWindow(); }
  CWindow parent;
  RECT rect = {0, 0, 300, 200};
};

TEST_F(ControlTest, SuperclassedControlsKeepTheirOwnBehaviour) {
  SuperList list;
  ASSERT_NE(nullptr, list.Create(parent, rect, nullptr, 0, 0, 100));
  EXPECT_EQ(100, list.GetDlgCtrlID());
  EXPECT_EQ(0x56000000u, list.GetStyle() & 0xFFFF0000u);  // the control traits
  wchar_t text[] = L"row";
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.pszText = text;
  list.SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  list.SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(2, list.counted);
  EXPECT_EQ(2, list.SendMessage(LVM_GETITEMCOUNT));

  SuperTree tree;
  ASSERT_NE(nullptr, tree.Create(parent, rect));
  TVINSERTSTRUCTW insert = {};
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = text;
  EXPECT_NE(0, tree.SendMessage(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  EXPECT_EQ(1, tree.counted);
  EXPECT_EQ(1, tree.SendMessage(TVM_GETCOUNT));

  SuperTab tabs;
  ASSERT_NE(nullptr, tabs.Create(parent, rect));
  TCITEMW tab = {};
  tab.mask = TCIF_TEXT;
  tab.pszText = text;
  EXPECT_EQ(0, tabs.SendMessage(TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&tab)));
  EXPECT_EQ(1, tabs.SendMessage(TCM_GETITEMCOUNT));
  EXPECT_EQ(1, tabs.counted);

  SuperScrollBar bar;
  ASSERT_NE(nullptr, bar.Create(parent, rect, nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT));
  SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_POS, 0, 50, 0, 20, 0};
  SetScrollInfo(bar, SB_CTL, &info, TRUE);
  EXPECT_EQ(20, GetScrollPos(bar, SB_CTL));
  EXPECT_EQ(1, bar.counted);
}

// The class of a superclass keeps the base's extra bytes and is registered once for all objects.
TEST_F(ControlTest, SuperclassIsRegisteredOnceWithTheBaseClassLayout) {
  SuperList a, b;
  ASSERT_NE(nullptr, a.Create(parent, rect));
  ASSERT_NE(nullptr, b.Create(parent, rect));
  wchar_t name[64];
  GetClassNameW(a, name, 64);
  EXPECT_STREQ(SuperList::GetWndClassInfo().GetWndClass().lpszClassName, name);
  WNDCLASSEXW base = {};
  base.cbSize = sizeof(base);
  ASSERT_TRUE(GetClassInfoExW(nullptr, WC_LISTVIEWW, &base));
  EXPECT_EQ(base.cbWndExtra, SuperList::GetWndClassInfo().GetWndClass().cbWndExtra);
  EXPECT_EQ(base.lpfnWndProc, a.m_pfnSuperWindowProc);
  EXPECT_EQ(a.m_pfnSuperWindowProc, b.m_pfnSuperWindowProc);
}

// ---- subclassing

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
  ASSERT_NE(nullptr, edit.Create(L"EDIT", parent, rect, nullptr, WS_CHILD | WS_VISIBLE));
  LONG_PTR original = GetWindowLongPtrW(edit, GWLP_WNDPROC);

  DigitFilter filter;
  ASSERT_TRUE(filter.SubclassWindow(edit));
  DigitFilter second;
  EXPECT_FALSE(second.SubclassWindow(edit));    // one object per window
  EXPECT_FALSE(filter.SubclassWindow(parent));  // one window per object

  for (wchar_t ch : std::wstring(L"a1b2")) edit.SendMessage(WM_CHAR, ch, 1);
  CString text;
  edit.GetWindowText(text);
  EXPECT_EQ(L"ab", text);

  EXPECT_EQ(edit.m_hWnd, filter.UnsubclassWindow());
  EXPECT_EQ(nullptr, filter.m_hWnd);
  EXPECT_EQ(original, GetWindowLongPtrW(edit, GWLP_WNDPROC));
  edit.SendMessage(WM_CHAR, L'3', 1);
  edit.GetWindowText(text);
  EXPECT_EQ(L"ab3", text);
}

// ---- an ANSI subclass on top of ours, as the scroll-bar skinning puts one

class AnsiSubclass {
 public:
  static void Install(HWND hWnd) {
    s_previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
    s_seen = 0;
  }
  static int s_seen;
  static bool s_removedAfterInner;
  static bool s_stillOnTop;

 private:
  // Passes everything on with CallWindowProcA and removes itself after the inner procedure has
  // seen WM_NCDESTROY.
  static LRESULT CALLBACK Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    ++s_seen;
    LRESULT result = CallWindowProcA(s_previous, hWnd, uMsg, wParam, lParam);
    if (uMsg == WM_NCDESTROY) {
      // The inner procedure must not have put its own predecessor over us.
      s_stillOnTop = GetWindowLongPtrA(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(Proc);
      SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s_previous));
      s_removedAfterInner = true;
    }
    return result;
  }
  static WNDPROC s_previous;
};
int AnsiSubclass::s_seen = 0;
bool AnsiSubclass::s_removedAfterInner = false;
bool AnsiSubclass::s_stillOnTop = false;
WNDPROC AnsiSubclass::s_previous = nullptr;

TEST_F(ControlTest, AnsiSubclassOnTopReachesOurMapAndTearsDownAfterUs) {
  TestWindow w;
  ASSERT_NE(nullptr, w.Create(nullptr));
  SetWindowLongPtrW(w, GWLP_USERDATA, 0x12345678);  // belongs to the program, not to us
  AnsiSubclass::Install(w);

  EXPECT_EQ(41, w.SendMessage(kPing, 1));
  ASSERT_TRUE(w.SetWindowText(L"歌词编辑器"));  // through the ANSI procedure and back
  EXPECT_EQ(L"歌词编辑器", w.lastText);
  EXPECT_GE(AnsiSubclass::s_seen, 2);
  EXPECT_EQ(nullptr, w.UnsubclassWindow());  // refused: it would cut the outer procedure off

  HWND hWnd = w.m_hWnd;
  AnsiSubclass::s_removedAfterInner = false;
  EXPECT_TRUE(DestroyWindow(hWnd));
  EXPECT_TRUE(AnsiSubclass::s_removedAfterInner);
  EXPECT_TRUE(AnsiSubclass::s_stillOnTop);
  EXPECT_EQ(1, w.finalMessages);
  EXPECT_EQ(nullptr, w.m_hWnd);
}

TEST_F(ControlTest, AnsiSubclassOverASuperclassedListKeepsTheListWorking) {
  SuperList list;
  ASSERT_NE(nullptr, list.Create(parent, rect));
  AnsiSubclass::Install(list);
  wchar_t text[] = L"行";
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.pszText = text;
  SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(1, list.counted);
  EXPECT_EQ(1, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  list.DestroyWindow();
  EXPECT_TRUE(AnsiSubclass::s_removedAfterInner);
  EXPECT_TRUE(AnsiSubclass::s_stillOnTop);
}

// ---- lifetime

class SelfDeleting : public CWindowImpl<SelfDeleting, CWindow, CWinTraits<WS_POPUP>> {
 public:
  explicit SelfDeleting(std::vector<std::string>* log) : m_log(log) {}
  BEGIN_MSG_MAP(SelfDeleting)
  MESSAGE_HANDLER(WM_CLOSE, OnClose)
  MESSAGE_HANDLER(WM_NCDESTROY, OnNcDestroy)
  END_MSG_MAP()
  LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&) {
    ::DestroyWindow(m_hWnd);  // the window dies inside this handler
    m_log->push_back("close handler ends");
    return 0;
  }
  LRESULT OnNcDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    m_log->push_back("nc destroy");
    bHandled = FALSE;
    return 0;
  }
  void OnFinalMessage(HWND) override {
    m_log->push_back("final");
    delete this;
  }

 private:
  std::vector<std::string>* m_log;
};

TEST(WindowImplLifetime, FinalMessageWaitsForTheOutermostHandler) {
  std::vector<std::string> log;
  auto* w = new SelfDeleting(&log);
  HWND hWnd = w->Create(nullptr);
  ASSERT_NE(nullptr, hWnd);
  SendMessageW(hWnd, WM_CLOSE, 0, 0);
  EXPECT_EQ((std::vector<std::string>{"nc destroy", "close handler ends", "final"}), log);
  EXPECT_FALSE(IsWindow(hWnd));
}

class FailingCreate : public CWindowImpl<FailingCreate, CWindow, CWinTraits<WS_POPUP>> {
 public:
  int finals = 0;
  BEGIN_MSG_MAP(FailingCreate)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  END_MSG_MAP()
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&) { return -1; }
  void OnFinalMessage(HWND) override { ++finals; }
};

TEST(WindowImplLifetime, RefusedCreationLeavesTheObjectReusable) {
  FailingCreate w;
  EXPECT_EQ(nullptr, w.Create(nullptr));
  EXPECT_EQ(nullptr, w.m_hWnd);
  EXPECT_EQ(1, w.finals);
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
    RECT rect = {0, 0, 10, 10};
    return child.Create(m_hWnd, rect, nullptr, WS_CHILD) ? 0 : -1;
  }
  LRESULT OnPing(UINT, WPARAM, LPARAM, BOOL&) { return 99; }
};

TEST(WindowImplLifetime, NestedCreationBindsEachWindowToItsObject) {
  Parent p;
  ASSERT_NE(nullptr, p.Create(nullptr));
  ASSERT_NE(nullptr, p.child.m_hWnd);
  EXPECT_EQ(p.m_hWnd, p.child.GetParent().m_hWnd);
  EXPECT_EQ(99, p.SendMessage(kPing));
  EXPECT_EQ(40, p.child.SendMessage(kPing));
  p.DestroyWindow();  // takes the child with it
  EXPECT_EQ(nullptr, p.child.m_hWnd);
  EXPECT_EQ(1, p.child.finalMessages);
}

TEST_F(ControlTest, ObjectGoingFirstLeavesAWorkingControl) {
  HWND hWnd;
  {
    SuperList list;
    hWnd = list.Create(parent, rect);
    ASSERT_NE(nullptr, hWnd);
  }
  ASSERT_TRUE(IsWindow(hWnd));
  EXPECT_EQ(0, SendMessageW(hWnd, LVM_GETITEMCOUNT, 0, 0));
  DestroyWindow(hWnd);

  // Same, while an outer subclass still calls our procedure: the list keeps its own procedure.
  {
    SuperList list;
    hWnd = list.Create(parent, rect);
    AnsiSubclass::Install(hWnd);
  }
  wchar_t text[] = L"row";
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.pszText = text;
  SendMessageW(hWnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(1, SendMessageW(hWnd, LVM_GETITEMCOUNT, 0, 0));
  DestroyWindow(hWnd);
}

}  // namespace
