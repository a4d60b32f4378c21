// Menus: CMenu owns its menu and destroys it when it goes (or when another menu is attached);
// CMenuHandle only borrows one, as GetSubMenu returns. CMenuT<bool> is the template behind both,
// for classes that derive from either form.
#pragma once

#include <windows.h>

#include "winlayer/cstring.h"
#include "winlayer/gdi_ownership.h"

template <bool t_bManaged>
class CMenuT : public winlayer_detail::HandleWrapper<CMenuT<t_bManaged>, HMENU, t_bManaged> {
 public:
  HMENU m_hMenu;

  CMenuT(HMENU menu = nullptr) : m_hMenu(menu) {}  // NOLINT: implicit, as the handle form is used
  ~CMenuT() { this->ReleaseOwned(); }
  CMenuT& operator=(HMENU menu) {
    this->Attach(menu);
    return *this;
  }

  BOOL IsMenu() const { return ::IsMenu(m_hMenu); }

  // Creation replaces the menu held; each returns whether it worked.
  BOOL CreateMenu() { return this->Keep(::CreateMenu()) != nullptr; }
  BOOL CreatePopupMenu() { return this->Keep(::CreatePopupMenu()) != nullptr; }
  // A menu resource of the program (the resources live in the executable).
  BOOL LoadMenu(UINT id) { return LoadMenu(MAKEINTRESOURCEW(id)); }
  BOOL LoadMenu(LPCWSTR name) {
    return this->Keep(::LoadMenuW(::GetModuleHandleW(nullptr), name)) != nullptr;
  }
  // Destroys the menu, whichever the form (it is how borrowed menus are freed on purpose).
  BOOL DestroyMenu() { return this->FreeHeld(); }

  int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
  // The command id of the item at a position; -1 for a sub-menu item, 0 for a separator.
  UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
  UINT GetMenuState(UINT item, UINT flags) const { return ::GetMenuState(m_hMenu, item, flags); }
  int GetMenuString(UINT item, LPWSTR text, int maxCount, UINT flags) const {
    return ::GetMenuStringW(m_hMenu, item, text, maxCount, flags);
  }
  // The whole text, however long; returns its length (0 and an empty text when there is none).
  int GetMenuString(UINT item, CString& text, UINT flags) const {
    text.Empty();
    int length = ::GetMenuStringW(m_hMenu, item, nullptr, 0, flags);
    if (length <= 0) return 0;
    length = ::GetMenuStringW(m_hMenu, item, text.GetBuffer(length), length + 1, flags);
    text.ReleaseBuffer(length);
    return length;
  }
  CMenuT<false> GetSubMenu(int position) const {
    return CMenuT<false>(::GetSubMenu(m_hMenu, position));
  }
  BOOL GetMenuItemInfo(UINT item, BOOL byPosition, MENUITEMINFOW* info) const {
    return ::GetMenuItemInfoW(m_hMenu, item, byPosition, info);
  }

  BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCWSTR text = nullptr) {
    return ::AppendMenuW(m_hMenu, flags, id, text);
  }
  BOOL AppendMenu(UINT flags, HMENU popup, LPCWSTR text) {
    return ::AppendMenuW(m_hMenu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(popup), text);
  }
  BOOL InsertMenu(UINT item, UINT flags, UINT_PTR id = 0, LPCWSTR text = nullptr) {
    return ::InsertMenuW(m_hMenu, item, flags, id, text);
  }
  BOOL InsertMenu(UINT item, UINT flags, HMENU popup, LPCWSTR text) {
    return ::InsertMenuW(m_hMenu, item, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(popup), text);
  }
  // text is the item's text, or with MF_OWNERDRAW the item's data (any pointer).
  BOOL ModifyMenu(UINT item, UINT flags, UINT_PTR id = 0, LPCWSTR text = nullptr) {
    return ::ModifyMenuW(m_hMenu, item, flags, id, text);
  }
  BOOL ModifyMenu(UINT item, UINT flags, HMENU popup, LPCWSTR text) {
    return ::ModifyMenuW(m_hMenu, item, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(popup), text);
  }
  BOOL SetMenuItemInfo(UINT item, BOOL byPosition, const MENUITEMINFOW* info) {
    return ::SetMenuItemInfoW(m_hMenu, item, byPosition, info);
  }
  BOOL InsertMenuItem(UINT item, BOOL byPosition, const MENUITEMINFOW* info) {
    return ::InsertMenuItemW(m_hMenu, item, byPosition, info);
  }
  BOOL DeleteMenu(UINT item, UINT flags) { return ::DeleteMenu(m_hMenu, item, flags); }
  BOOL RemoveMenu(UINT item, UINT flags) { return ::RemoveMenu(m_hMenu, item, flags); }
  // Returns the previous state, or (DWORD)-1 when there is no such item.
  DWORD CheckMenuItem(UINT item, UINT check) { return ::CheckMenuItem(m_hMenu, item, check); }
  // Returns the previous state, or (UINT)-1 when there is no such item.
  UINT EnableMenuItem(UINT item, UINT enable) { return ::EnableMenuItem(m_hMenu, item, enable); }

  // With TPM_RETURNCMD the chosen command id (0 for none); otherwise whether it worked, and the
  // command arrives at the owner as WM_COMMAND.
  BOOL TrackPopupMenu(UINT flags, int x, int y, HWND owner, const RECT* unused = nullptr) {
    return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner, unused);
  }
  BOOL TrackPopupMenuEx(UINT flags, int x, int y, HWND owner, TPMPARAMS* params = nullptr) {
    return ::TrackPopupMenuEx(m_hMenu, flags, x, y, owner, params);
  }

 private:
  friend class winlayer_detail::HandleWrapper<CMenuT, HMENU, t_bManaged>;
  static HMENU& Slot(CMenuT& object) { return object.m_hMenu; }
  // A menu that is already gone (its user destroyed it, as callers of TrackPopupMenu often
  // do) is left alone: by now its handle may belong to another menu.
  static BOOL Free(HMENU menu) { return ::IsMenu(menu) && ::DestroyMenu(menu); }
};
using CMenu = CMenuT<true>;
using CMenuHandle = CMenuT<false>;
