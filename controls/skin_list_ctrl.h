// CSkinListCtrlEx: the owner-painted report list of the skinned windows, from which the song
// list and the radio library list derive. It is the layer's sortable list view with:
// - every cell painted through custom draw by the virtual DrawSubItem (the list's own painting
//   is skipped), rows in the dark palette, and the space below the last row filled with blank
//   rows of the row colour (DrawBlankRows);
// - the list's header subclassed into a flat CLirakHeaderCtrl, 27 px high;
// - rows 75 px high (the list's font is made that tall) and columns the user cannot resize.
//
// The custom draw and item-change notifications arrive reflected: the list's parent must
// reflect notifications (REFLECT_NOTIFICATIONS; a dialog returns the result through
// DWLP_MSGRESULT, which the layer's dialog procedure does). A parent that handles some of the
// list's notifications itself (NM_RCLICK, NM_DBLCLK) must still reflect NM_CUSTOMDRAW and
// LVN_ITEMCHANGED.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "controls/lirak_header_ctrl.h"
#include "winlayer/controls_sortlist.h"
#include "winlayer/cstring.h"
#include "winlayer/gdi_objects.h"
#include "winlayer/image.h"

class CSkinListCtrlEx : public CSortListViewCtrlImpl<CSkinListCtrlEx> {
 public:
  static constexpr COLORREF kSelectedColour = 0x1966F4;
  static constexpr COLORREF kRowColour = 0x251F25;
  static constexpr COLORREF kTextColour = 0x4369C9;
  static constexpr int kPictureSize = 55;  // the pictures that derived lists show in a row

  CSkinListCtrlEx();
  ~CSkinListCtrlEx() override = default;

  // The derived list inserts its columns; its owner calls this after creating the list.
  virtual void InitColumns() = 0;
  // Paints one cell (rectangle in client coordinates); the base draws the stored text.
  virtual void DrawSubItem(HDC dc, int item, int subItem, RECT* cell, bool selected, bool focused);
  // After the list has painted: blank rows from the last row's bottom to the painted area's
  // bottom, column by column.
  virtual void DrawBlankRows(NMCUSTOMDRAW* draw);
  // A light cell: selected (blue when the list has the focus, grey without) or white, with a
  // line at its right edge and, when selected, one along its bottom.
  virtual void DrawCellBackground(HDC dc, RECT rect, bool selected, bool focused, bool fill);
  // Fills rect with selectedColour when selected, else with rowColour (even and odd items
  // alike); nothing for an empty rectangle.
  virtual void FillItemBackground(HDC dc, RECT rect, bool selected, int focused, int item,
                                  COLORREF selectedColour, COLORREF rowColour);
  // The clickable area of a row under point (client coordinates), or -1.
  virtual int HitTestItemButton(POINT* point) = 0;

  // Subclasses the list's header into m_header and makes the rows m_nItemHeight tall.
  void ApplyItemHeight();
  // Repaints the item's row over the whole client width, without erasing.
  void InvalidateItem(int item);
  // The rectangle DrawSubItem paints a cell in (the first column from the row's left edge).
  bool GetCellRect(int item, int subItem, RECT* cell) const;
  // Clears every item's data, then deletes every item.
  bool RemoveAllItems();
  // Gives the column what totalWidth leaves after the other columns and a margin of 20 px, not
  // below 0; column -1 does nothing.
  void FitColumnWidth(int column, int totalWidth);
  // Stretches the picture into rect, smoothly.
  static void DrawImage(CImage& image, HDC dc, RECT rect);
  // Texts longer than 100 characters cut to 100, then after the last end of a sentence in them.
  static CString TruncateText(CString text);

  BEGIN_MSG_MAP(CSkinListCtrlEx)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  CHAIN_MSG_MAP(CSortListViewCtrlImpl<CSkinListCtrlEx>)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
  MESSAGE_HANDLER(OCM_NOTIFY, OnReflectedNotify)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_NOTIFY, OnHeaderNotify)
  DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

 protected:
  // Whether the keyboard focus is in the list (the list or one of its children).
  bool HasFocus() const;

  int m_nItemHeight = 75;
  CLirakHeaderCtrl m_header;
  // "宋体", weight 400: cells 12 px, two small fonts of 12 px and a large one of 15 px.
  CFont m_fontCell;
  CFont m_fontSmallA;
  CFont m_fontLarge;
  CFont m_fontSmallB;
  int m_nImageTop;  // top margin of a picture inside a row: 12
  CBrush m_brushSelected;
  CBrush m_brushEven;
  CBrush m_brushOdd;

 private:
  LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnEraseBkgnd(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnReflectedNotify(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnHeaderNotify(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);
  // Makes the three brushes of FillItemBackground solid brushes of these colours.
  void UpdateRowBrushes(COLORREF selectedColour, COLORREF rowColour);

  CFont m_fontRows;  // the list's own font; its height makes the rows m_nItemHeight tall
  bool m_bPaintFocused = false;   // whether the list had the focus when this paint began
  bool m_bPaintSelected = false;  // whether the row being painted is selected
  int m_nPaintColumnsWidth = 0;   // all columns together, for this paint
  COLORREF m_clrBrushSelected = CLR_INVALID;
  COLORREF m_clrBrushRow = CLR_INVALID;
};
