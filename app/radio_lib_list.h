// The music station's library list: radio lists and albums with their cover, title, wrapped
// description and a "试听" button per row. The list keeps copies of the records it shows; each
// row's data points to its copy.
#pragma once

#include <set>
#include <vector>

#include "controls/skin_list_ctrl.h"
#include "webdata/radio_records.h"
#include "winlayer/window_thread.h"

class CRadioLibListCtrl : public CSkinListCtrlEx {
 public:
  // Hit areas of a row.
  enum { kHitNone = -1, kHitCover = 0, kHitListen = 1 };

  CRadioLibListCtrl() = default;
  ~CRadioLibListCtrl() override = default;

  // Shows the records of type typeFilter and sort sortFilter (-1: any), in the given order.
  void Refill(std::vector<RadioList> records, int typeFilter, int sortFilter);
  // Overwrites the shown copy of the same list (type id and list id) with record.
  void UpdateRecord(const RadioList& record);
  const std::vector<RadioList>& GetRecords() const { return m_records; }

  // The address a click on a row's cover opens: the radio page for "电台", the album's page for
  // "专辑", and none for anything else.
  static CString CoverClickAddress(const RadioList& record);
  // The description as drawn: line breaks and runs of three blanks removed.
  static CString DescriptionText(const CString& text);

  void InitColumns() override;
  void DrawSubItem(HDC dc, int item, int subItem, RECT* cell, bool selected,
                   bool focused) override;
  int HitTestItemButton(POINT* point) override;

  BEGIN_MSG_MAP(CRadioLibListCtrl)
  MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
  MESSAGE_HANDLER(kRunOnWindowThread, OnRunOnWindowThread)
  CHAIN_MSG_MAP(CSkinListCtrlEx)
  END_MSG_MAP()

 private:
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
  // Results of the request worker that change the list run here (RunOnWindowThread).
  LRESULT OnRunOnWindowThread(UINT, WPARAM wParam, LPARAM, BOOL&) { return RunSentWork(wParam); }
  const RadioList* RecordAt(int item) const;
  void DrawCover(HDC dc, const RadioList& record, const RECT& cell);
  void DrawListenButton(HDC dc, const RECT& cell, bool selected);
  // Repaints the covers of the shown rows that are still missing, so that they are asked for
  // again.
  void InvalidateMissingCovers();

  std::vector<RadioList> m_records;
  // List ids of the shown rows whose cover file could not be loaded when last painted.
  std::set<int> m_missingCovers;
};
