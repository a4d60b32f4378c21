// The music station's category tree: one flat entry per radio sort of the radio type 2, painted
// by itself. Each item's data points to its RadioSort inside the main frame's copy of the type
// table, which must outlive the items (Fill runs again whenever the table is replaced).
#pragma once

#include <vector>

#include "controls/skin_tree_ctrl.h"
#include "webdata/radio_records.h"
#include "winlayer/gdi_objects.h"

class CRadioTypeTreeCtrl : public CSkinTreeCtrl {
 public:
  CRadioTypeTreeCtrl();
  ~CRadioTypeTreeCtrl() override = default;

  // Empties the tree (zeroing each item's data first, so a selection change that the deletion
  // reports carries no record), then one item per sort of type 2, and selects the first.
  void Fill(const std::vector<RadioType>& types);
  // Empties the tree the same way.
  void Clear();
  // The selected item's record, or null.
  RadioSort* GetSelectedSort() const;
  static RadioSort* RecordOf(const CTreeViewCtrl& tree, HTREEITEM item);

  void DoPaint(HDC dc) override;

  BEGIN_MSG_MAP(CRadioTypeTreeCtrl)
  MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
  CHAIN_MSG_MAP(CSkinTreeCtrl)
  END_MSG_MAP()

 private:
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL& bHandled);

  CFont m_font;
};
