// The self-sorting list view: header clicks sort by a column's texts, rows keep their item data,
// the direction toggles and the header shows it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "support/gtest_cstring.h"
#include "winlayer/controls_sortlist.h"
#include "winlayer/geometry.h"

namespace {

// Counts the column clicks the list view reports to its parent.
class Parent : public CWindowImpl<Parent, CWindow, CWinTraits<WS_OVERLAPPEDWINDOW>> {
 public:
  int columnClicks = 0;

  BEGIN_MSG_MAP(Parent)
  NOTIFY_CODE_HANDLER(LVN_COLUMNCLICK, OnColumnClick)
  END_MSG_MAP()

  LRESULT OnColumnClick(int, LPNMHDR, BOOL&) {
    ++columnClicks;
    return 0;
  }
};

class SortListTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&init);
  }
  void SetUp() override {
    ASSERT_NE(nullptr, parent.Create(nullptr, CRect(0, 0, 500, 300)));
    ASSERT_NE(nullptr, list.Create(parent, CRect(0, 0, 480, 280), nullptr,
                                   WS_CHILD | WS_VISIBLE | LVS_REPORT));
    list.InsertColumn(0, L"歌曲名", LVCFMT_LEFT, 150);
    list.InsertColumn(1, L"进度", LVCFMT_LEFT, 60);
  }
  void TearDown() override { parent.DestroyWindow(); }

  void AddRow(const wchar_t* name, const wchar_t* progress, LPARAM data) {
    int row = list.InsertItem(list.GetItemCount(), name);
    list.SetItemText(row, 1, progress);
    list.SetItemData(row, static_cast<DWORD_PTR>(data));
  }
  // A left (button 0) or right (1) click on a header item, as the header reports it.
  void ClickHeader(int column, int button = 0) {
    NMHEADERW click = {};
    click.hdr.hwndFrom = list.GetHeader();
    click.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(click.hdr.hwndFrom));
    click.hdr.code = HDN_ITEMCLICKW;
    click.iItem = column;
    click.iButton = button;
    list.SendMessage(WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
  }
  // "text:data" for every row, top to bottom, of the given column.
  std::string Rows(int column = 0) {
    std::string rows;
    for (int i = 0; i < list.GetItemCount(); ++i) {
      CString text;
      list.GetItemText(i, column, text);
      char line[64];
      snprintf(line, sizeof(line), "%s%ls:%u", i ? " " : "", text.GetString(),
               static_cast<unsigned>(list.GetItemData(i)));
      rows += line;
    }
    return rows;
  }
  int HeaderFormat(int column) {
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    list.GetHeader().GetItem(column, &item);
    return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
  }

  Parent parent;
  CSortListViewCtrl list;
};

}  // namespace

TEST_F(SortListTest, HeaderClicksSortKeepDataAndToggleTheDirection) {
  AddRow(L"c", L"10", 3);
  AddRow(L"a", L"9", 1);
  AddRow(L"b", L"100", 2);

  ClickHeader(0);
  EXPECT_EQ("a:1 b:2 c:3", Rows());
  EXPECT_EQ(0, list.GetSortColumn());
  EXPECT_FALSE(list.IsSortDescending());
  EXPECT_EQ(HDF_SORTUP, HeaderFormat(0));
  // The click still reaches the parent as the list view's own notification.
  EXPECT_EQ(1, parent.columnClicks);

  ClickHeader(0);
  EXPECT_EQ("c:3 b:2 a:1", Rows());
  EXPECT_TRUE(list.IsSortDescending());
  EXPECT_EQ(HDF_SORTDOWN, HeaderFormat(0));

  // Another column starts ascending; texts compare as texts.
  ClickHeader(1);
  EXPECT_EQ("10:3 100:2 9:1", Rows(1));
  EXPECT_EQ(0, HeaderFormat(0));
  EXPECT_EQ(HDF_SORTUP, HeaderFormat(1));

  // The right button sorts nothing.
  ClickHeader(0, 1);
  EXPECT_EQ("10:3 100:2 9:1", Rows(1));
  EXPECT_EQ(1, list.GetSortColumn());
}

TEST_F(SortListTest, RowsSharingItemDataGetTheirOwnBackAndEqualKeysKeepTheirOrder) {
  // Three rows with item data 0 (as rows whose data is set later) and two equal names.
  AddRow(L"b", L"", 0);
  AddRow(L"a", L"", 0);
  AddRow(L"b", L"", 7);
  AddRow(L"a", L"", 0);
  list.SetItemText(0, 1, L"first b");
  list.SetItemText(2, 1, L"second b");
  ASSERT_TRUE(list.SortItems(0));
  EXPECT_EQ("a:0 a:0 b:0 b:7", Rows());
  EXPECT_EQ(":0 :0 first b:0 second b:7", Rows(1));
  ASSERT_TRUE(list.SortItems(0, true));
  EXPECT_EQ("first b:0 second b:7 :0 :0", Rows(1));
}

TEST_F(SortListTest, AMouseClickOnTheHeaderSorts) {
  AddRow(L"b", L"", 2);
  AddRow(L"a", L"", 1);
  CHeaderCtrl header = list.GetHeader();
  CRect item;
  ASSERT_TRUE(header.GetItemRect(0, &item));
  LPARAM at = MAKELPARAM(item.CenterPoint().x, item.CenterPoint().y);
  header.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
  header.SendMessage(WM_LBUTTONUP, 0, at);
  EXPECT_EQ("a:1 b:2", Rows());
  EXPECT_EQ(0, list.GetSortColumn());
}
