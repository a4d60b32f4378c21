#include "winlayer/controls_sortlist.h"

#include <cwchar>
#include <unordered_map>

namespace {

// One row's sort key, read before the sort starts.
struct RowKey {
  CString text;
  long number = 0;
  double real = 0.0;
  LPARAM param = 0;
};

struct SortContext {
  std::vector<RowKey> rows;
  // lParam -> row, when every row's lParam is different; otherwise the rows carry their row
  // number as lParam while the sort runs.
  std::unordered_map<LPARAM, int> rowOfParam;
  bool byParam = false;
  WORD type = LVCOLSORT_TEXT;
  bool descending = false;
};

int CompareKeys(const SortContext& context, const RowKey& a, const RowKey& b) {
  switch (context.type) {
    case LVCOLSORT_TEXTNOCASE:
      return ::lstrcmpiW(a.text, b.text);
    case LVCOLSORT_LONG:
      return a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
    case LVCOLSORT_DOUBLE:
      return a.real < b.real ? -1 : a.real > b.real ? 1 : 0;
    default:
      return ::lstrcmpW(a.text, b.text);
  }
}

int RowOf(const SortContext& context, LPARAM param) {
  if (!context.byParam) return static_cast<int>(param);
  auto found = context.rowOfParam.find(param);
  return found != context.rowOfParam.end() ? found->second : 0;
}

int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM data) {
  const auto& context = *reinterpret_cast<const SortContext*>(data);
  int a = RowOf(context, first);
  int b = RowOf(context, second);
  int order = CompareKeys(context, context.rows[a], context.rows[b]);
  if (context.descending) order = -order;
  // Equal keys keep the rows' previous order.
  return order != 0 ? order : (a < b ? -1 : a > b ? 1 : 0);
}

}  // namespace

namespace winlayer_detail {

bool SortListViewRows(HWND list, int column, WORD sortType, bool descending) {
  CListViewCtrl view(list);
  if (sortType == LVCOLSORT_NONE || sortType > LVCOLSORT_LAST) return false;
  if (column < 0 || column >= view.GetColumnCount()) return false;

  // The list must not be asked for its texts while it sorts (under Wine the rows move during the
  // comparisons), so every key is read first.
  SortContext context;
  context.type = sortType;
  context.descending = descending;
  int count = view.GetItemCount();
  context.rows.resize(count);
  for (int i = 0; i < count; ++i) {
    RowKey& row = context.rows[i];
    view.GetItemText(i, column, row.text);
    row.number = std::wcstol(row.text, nullptr, 10);
    row.real = std::wcstod(row.text, nullptr);
    row.param = static_cast<LPARAM>(view.GetItemData(i));
    context.rowOfParam.emplace(row.param, i);
  }

  // The comparison gets the rows' lParams. Distinct lParams lead to the row directly; otherwise
  // each row carries its row number for the length of the sort and gets its own lParam back
  // after it.
  context.byParam = static_cast<int>(context.rowOfParam.size()) == count;
  if (!context.byParam) {
    for (int i = 0; i < count; ++i) view.SetItemData(i, static_cast<DWORD_PTR>(i));
  }
  BOOL sorted = view.SortItems(CompareRows, reinterpret_cast<LPARAM>(&context));
  if (!context.byParam) {
    for (int i = 0; i < count; ++i) {
      auto row = static_cast<size_t>(view.GetItemData(i));
      if (row < context.rows.size()) view.SetItemData(i, context.rows[row].param);
    }
  }
  return sorted != FALSE;
}

void SetHeaderSortMark(HWND header, int column, bool descending) {
  CHeaderCtrl control(header);
  if (!control.IsWindow()) return;
  int count = control.GetItemCount();
  for (int i = 0; i < count; ++i) {
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    if (!control.GetItem(i, &item)) continue;
    int format = item.fmt & ~(HDF_SORTUP | HDF_SORTDOWN);
    if (i == column) format |= descending ? HDF_SORTDOWN : HDF_SORTUP;
    if (format == item.fmt) continue;
    item.fmt = format;
    control.SetItem(i, &item);
  }
}

}  // namespace winlayer_detail
