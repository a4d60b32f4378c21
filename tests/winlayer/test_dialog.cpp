// Dialogs from templates: modal runs ended by the program (a posted message, a timer), modeless
// dialogs, results that travel through DWLP_MSGRESULT (custom draw), and a dialog hosting the
// media player control through the system's ActiveX host.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <wmp.h>

#include "support/canvas.h"
#include "test_dialogs.h"
#include "winlayer/ax_dialog.h"
#include "winlayer/controls_list.h"
#include "winlayer/dialog.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/msg_crackers.h"

namespace {

constexpr UINT kEndWith = WM_APP + 1;
constexpr UINT kAsk = WM_APP + 2;

class PlainDialog : public CDialogImpl<PlainDialog> {
 public:
  enum { IDD = IDD_TEST_PLAIN };
  LPARAM initParam = 0;
  bool endByTimer = false;
  int finals = 0;
  HBRUSH labelBrush = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));

  BEGIN_MSG_MAP_EX(PlainDialog)
  MSG_WM_INITDIALOG(OnInitDialog)
  MSG_WM_TIMER(OnTimer)
  MSG_WM_CTLCOLORSTATIC(OnCtlColorStatic)
  MESSAGE_HANDLER(kEndWith, OnEndWith)
  MESSAGE_HANDLER(kAsk, OnAsk)
  END_MSG_MAP()

  BOOL OnInitDialog(CWindow, LPARAM param) {
    initParam = param;
    if (endByTimer) {
      SetTimer(1, 10);
    } else {
      PostMessage(kEndWith, 42);
    }
    return TRUE;
  }
  void OnTimer(UINT_PTR id) {
    KillTimer(id);
    EndDialog(IDCANCEL);
  }
  HBRUSH OnCtlColorStatic(CDCHandle, CWindow) { return labelBrush; }
  LRESULT OnEndWith(UINT, WPARAM wParam, LPARAM, BOOL&) {
    EndDialog(static_cast<int>(wParam));
    return 0;
  }
  LRESULT OnAsk(UINT, WPARAM wParam, LPARAM, BOOL&) { return wParam * 2; }
  void OnFinalMessage(HWND) override { ++finals; }
};

// Dialogs have an owner, as in the program. (Ending a dialog that was shown costs about two
// seconds under Wine on a display without a window manager: Wine waits for a withdrawal that only
// a window manager would confirm. Only the timer test pays it.)
class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(nullptr, owner.Create(L"STATIC", nullptr, nullptr, nullptr, WS_POPUP));
  }
  void TearDown() override { owner.DestroyWindow(); }
  CWindow owner;
};

TEST_F(DialogTest, ModalRunsEndFromAPostedMessageOrATimerAndCanRunAgain) {
  PlainDialog dialog;
  EXPECT_EQ(42, dialog.DoModal(owner, 7));
  EXPECT_EQ(7, dialog.initParam);
  EXPECT_EQ(nullptr, dialog.m_hWnd);
  EXPECT_EQ(1, dialog.finals);
  dialog.endByTimer = true;  // shown, then ended from the modal loop
  EXPECT_EQ(IDCANCEL, dialog.DoModal(owner));
  EXPECT_EQ(2, dialog.finals);
}

TEST_F(DialogTest, ModelessDialogAnswersThroughItsMap) {
  PlainDialog dialog;
  dialog.endByTimer = true;  // the timer's EndDialog only hides a modeless dialog
  ASSERT_NE(nullptr, dialog.Create(owner, 3));
  EXPECT_EQ(3, dialog.initParam);
  EXPECT_TRUE(dialog.IsWindow());

  // A handled message answers through DWLP_MSGRESULT ...
  EXPECT_EQ(10, dialog.SendMessage(kAsk, 5));
  // ... a colour message through the dialog procedure's own return value.
  HWND label = dialog.GetDlgItem(IDC_TEST_LABEL);
  HDC dc = GetDC(label);
  EXPECT_EQ(reinterpret_cast<LRESULT>(dialog.labelBrush),
            dialog.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(label)));
  ReleaseDC(label, dc);

  EXPECT_TRUE(dialog.DestroyWindow());
  EXPECT_EQ(nullptr, dialog.m_hWnd);
  EXPECT_EQ(1, dialog.finals);
}

// ---- custom draw: the dialog's WM_NOTIFY result must reach the list

// Fills a report list with rows and paints it into a memory DC: the custom-draw notifications
// then flow without a visible window.
void FillAndPaintList(HWND list, int rows) {
  CListViewCtrl view(list);
  view.InsertColumn(0, L"", LVCFMT_LEFT, 100);
  for (int i = 0; i < rows; ++i) view.InsertItem(i, L"row");
  testsupport::Canvas canvas(300, 200);
  view.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.hdc()), PRF_CLIENT);
}

// Answers a list's custom draw so that item stages follow, and counts them.
class CustomDrawCounter {
 public:
  int itemPrePaints = 0;
  LRESULT Answer(LPNMHDR header) {
    DWORD stage = reinterpret_cast<NMLVCUSTOMDRAW*>(header)->nmcd.dwDrawStage;
    if (stage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (stage == CDDS_ITEMPREPAINT) ++itemPrePaints;
    return CDRF_DODEFAULT;
  }
};

// A subclassed list that draws through the custom draw its parent reflects to it.
class ReflectedList : public CWindowImpl<ReflectedList>, public CustomDrawCounter {
 public:
  BEGIN_MSG_MAP(ReflectedList)
  REFLECTED_NOTIFY_CODE_HANDLER(NM_CUSTOMDRAW, OnCustomDraw)
  DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()
  LRESULT OnCustomDraw(int, LPNMHDR header, BOOL&) { return Answer(header); }
};

class ListsDialog : public CDialogImpl<ListsDialog>, public CustomDrawCounter {
 public:
  enum { IDD = IDD_TEST_LISTS };
  ReflectedList reflected;
  BEGIN_MSG_MAP(ListsDialog)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  NOTIFY_HANDLER(IDC_TEST_DIRECT_LIST, NM_CUSTOMDRAW, OnCustomDraw)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    reflected.SubclassWindow(GetDlgItem(IDC_TEST_REFLECTED_LIST));
    return TRUE;
  }
  LRESULT OnCustomDraw(int, LPNMHDR header, BOOL&) { return Answer(header); }
};

class HostTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&init);
  }
  void SetUp() override {
    RECT rect = {0, 0, 700, 400};
    ASSERT_NE(nullptr, host.Create(L"STATIC", nullptr, rect, nullptr, WS_POPUP));
  }
  void TearDown() override { host.DestroyWindow(); }
  CWindow host;
};

TEST_F(HostTest, NotifyResultReachesTheListDirectlyAndThroughReflection) {
  ListsDialog dialog;
  ASSERT_NE(nullptr, dialog.Create(host));
  FillAndPaintList(dialog.GetDlgItem(IDC_TEST_DIRECT_LIST), 3);
  FillAndPaintList(dialog.GetDlgItem(IDC_TEST_REFLECTED_LIST), 2);
  EXPECT_EQ(3, dialog.itemPrePaints);
  EXPECT_EQ(2, dialog.reflected.itemPrePaints);
  dialog.DestroyWindow();
  EXPECT_EQ(nullptr, dialog.reflected.m_hWnd);  // the child went with the dialog
}

// ---- the media player control through the system's ActiveX host

class PlayerDialog : public CAxDialogImpl<PlayerDialog> {
 public:
  enum { IDD = IDD_TEST_PLAYER };
  bool initialised = false;
  BEGIN_MSG_MAP(PlayerDialog)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  END_MSG_MAP()
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    initialised = true;
    return TRUE;
  }
};

TEST_F(HostTest, HostsTheMediaPlayerControlOfTheTemplate) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  {
    PlayerDialog dialog;
    ASSERT_NE(nullptr, dialog.Create(host)) << "last error " << GetLastError();
    EXPECT_TRUE(dialog.initialised);
    CAxWindow player(dialog.GetDlgItem(IDC_TEST_PLAYER));
    ASSERT_NE(nullptr, player.m_hWnd);
    wchar_t className[32];
    GetClassNameW(player, className, 32);
    EXPECT_STREQ(CAxWindow::GetWndClassName(), className);

    IWMPPlayer* wmp = nullptr;
    ASSERT_EQ(S_OK, player.QueryControl(&wmp));
    IWMPControls* controls = nullptr;
    EXPECT_EQ(S_OK, wmp->get_controls(&controls));
    if (controls) controls->Release();
    wmp->Release();

    IWMPPlayer* none = reinterpret_cast<IWMPPlayer*>(1);
    EXPECT_TRUE(FAILED(CAxWindow(host).QueryControl(&none)));
    EXPECT_EQ(nullptr, none);
    dialog.DestroyWindow();
  }
  CoUninitialize();
}

}  // namespace
