// CSkinMenu: gives a popup menu the program's flat look. AttachMenu turns every item of a menu
// (and of its sub-menus) into an owner-drawn item carrying a MenuItemRecord; the owner window
// of the tracked menu hands its WM_MEASUREITEM and WM_DRAWITEM for menu items to MeasureItem
// and DrawItem. Images beside the texts come from an image list made from a bitmap resource.
//
// The object holds the menu it was given and destroys it when it goes or when another menu is
// attached, but only while that handle still names the menu it converted: callers destroy
// tracked menus themselves, and a handle once freed may come back naming another menu.
#pragma once

#include <windows.h>

#include <vector>

#include "winlayer/cstring.h"
#include "winlayer/gdi_objects.h"
#include "winlayer/imagelist.h"
#include "winlayer/menu.h"

struct MenuItemRecord {
  // The item's command id; 0 for a separator, -1 or -2 for an item that opens a sub-menu, -3
  // before it is filled.
  int nID = -3;
  int nImage = -1;  // index in the image list, -1 for none
  CString strText;
};

class CSkinMenu : public CMenu {
 public:
  static constexpr int kMaxItemText = 64;
  static constexpr int kCharWidth = 14;  // pixels per character when measuring

  CSkinMenu();
  virtual ~CSkinMenu();
  CSkinMenu(const CSkinMenu&) = delete;
  CSkinMenu& operator=(const CSkinMenu&) = delete;

  // Holds menu and converts its items; flag marks the items that open a sub-menu with -2
  // instead of -1. Then loads the images (LoadImages).
  void AttachMenu(HMENU menu, BOOL flag, UINT bitmapId, int cx, int cy);
  // An image list of cx x cy images from a bitmap resource, red being transparent; false for
  // bitmap id 0 or when the resource cannot be loaded.
  bool LoadImages(UINT bitmapId, int cx, int cy);
  // Gives the last item with command id id the image; false for an image that does not exist
  // or an id no item has.
  bool SetItemImage(UINT id, int image);
  virtual void DrawItem(const DRAWITEMSTRUCT& draw);
  virtual void MeasureItem(MEASUREITEMSTRUCT& measure);
  // Frees every record and the image list.
  void ClearItems();

  int GetExtraWidth() const { return m_nExtraWidth; }
  const std::vector<MenuItemRecord*>& GetItems() const { return m_items; }

 private:
  // Converts the items of menu and of its sub-menus.
  void ConvertItems(HMENU menu, BOOL flag);
  // Whether m_hMenu still names the menu whose items this object converted.
  bool HoldsConvertedMenu() const;
  // Lets go of the menu held, destroying it only while it is still the converted one.
  void ReleaseHeldMenu();
  // The record an item's data names, or null when it is not one of this object's.
  MenuItemRecord* FindRecord(ULONG_PTR itemData) const;

  int m_nItemHeight = 24;
  int m_nSeparatorHeight = 1;
  int m_nExtraWidth;  // 10, or 18 on Windows XP: added to the text width, the image column
  COLORREF m_clrText = 0x000000;
  COLORREF m_clrGrayText = 0x787878;
  COLORREF m_clrFace = 0xFFFFFF;
  COLORREF m_clrSelectedFace = 0xC8C8C8;
  COLORREF m_clrSeparator = 0x302B31;
  COLORREF m_clrMask = 0x0000FF;
  CImageListManaged m_images;
  CFont m_font;
  std::vector<MenuItemRecord*> m_items;
};
