// Control wrappers on real controls: the members whose packing of the messages is easy to get
// wrong (rectangles passed in and out, texts of unknown length, 32-bit ranges, item data).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "support/gtest_cstring.h"
#include "winlayer/controls.h"
#include "winlayer/controls_list.h"
#include "winlayer/controls_tree.h"
#include "winlayer/geometry.h"

namespace {

// An invisible top-level window holding the controls of one test.
class ControlsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&init);
  }
  void SetUp() override {
    ASSERT_NE(nullptr, parent.Create(L"STATIC", nullptr, CRect(0, 0, 600, 400), L"",
                                     WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN));
  }
  void TearDown() override { parent.DestroyWindow(); }

  template <class Control>
  Control Make(DWORD style, const RECT& rect = CRect(0, 0, 400, 300)) {
    Control control;
    control.Create(parent, rect, L"", WS_CHILD | WS_VISIBLE | style);
    EXPECT_TRUE(control.IsWindow()) << "class " << control.GetWndClassName();
    return control;
  }

  CWindow parent;
};

}  // namespace

TEST_F(ControlsTest, ListViewTextsDataStatesAndRectangles) {
  auto list = Make<CListViewCtrl>(LVS_REPORT);
  list.InsertColumn(0, L"歌曲名", LVCFMT_LEFT, 120);
  list.InsertColumn(1, L"专辑");
  EXPECT_EQ(0, list.InsertItem(0, L"first"));
  EXPECT_EQ(1, list.InsertItem(1, L"second"));
  CString longText(L'x', 5000);  // far beyond any first guess of a buffer
  ASSERT_TRUE(list.SetItemText(1, 1, longText));
  CString text;
  EXPECT_EQ(5000, list.GetItemText(1, 1, text));
  EXPECT_EQ(longText, text);

  ASSERT_TRUE(list.SetItemData(1, 0xCAFE));
  EXPECT_EQ(0xCAFEu, list.GetItemData(1));
  EXPECT_EQ(0u, list.GetItemData(7));                   // no such item
  list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);  // every item
  EXPECT_EQ(2, list.GetSelectedCount());
  EXPECT_EQ(1, list.GetNextItem(0, LVNI_SELECTED));

  // The row below is lower, the second column starts where the first ends.
  CRect row0, row1, cell;
  ASSERT_TRUE(list.GetItemRect(0, &row0, LVIR_BOUNDS));
  ASSERT_TRUE(list.GetItemRect(1, &row1, LVIR_BOUNDS));
  EXPECT_EQ(row0.bottom, row1.top);
  ASSERT_TRUE(list.GetSubItemRect(1, 1, LVIR_BOUNDS, &cell));
  EXPECT_EQ(row1.left + 120, cell.left);
  EXPECT_EQ(row1.top, cell.top);
}

TEST_F(ControlsTest, TreeReadsTextsDataAndRectanglesOfItsItems) {
  auto tree = Make<CTreeViewCtrl>(TVS_FULLROWSELECT);
  HTREEITEM first = tree.InsertItem(L"流行", TVI_ROOT, TVI_LAST);
  HTREEITEM second =
      tree.InsertItem(TVIF_TEXT | TVIF_PARAM, L"摇滚", 0, 0, 0, 0, 42, TVI_ROOT, TVI_LAST);
  EXPECT_EQ(second, tree.GetNextSiblingItem(first));
  EXPECT_EQ(42u, tree.GetItemData(second));
  CString longText(L'y', 700), text;
  tree.SetItemText(first, longText);
  EXPECT_EQ(700, tree.GetItemText(first, text));
  EXPECT_EQ(longText, text);

  tree.SetItemHeight(30);
  CRect line;
  ASSERT_TRUE(tree.GetItemRect(second, &line, FALSE));
  EXPECT_EQ(30, line.top);
  EXPECT_EQ(second, tree.HitTest(CPoint(5, 45), nullptr));
}

TEST_F(ControlsTest, UpDownRangeOfTheSettingsDialog) {
  auto updown = Make<CUpDownCtrl>(0, CRect(0, 0, 20, 20));
  updown.SetRange(0, 16960);
  int lower = -1, upper = -1;
  updown.GetRange(lower, upper);
  EXPECT_EQ(16960, upper);
  updown.SetPos(16000);
  EXPECT_EQ(16000, updown.GetPos());
}
