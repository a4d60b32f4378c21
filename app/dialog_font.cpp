#include "app/dialog_font.h"

#include "controls/skin_font.h"

void ApplyDialogFont(HWND dialog, CFont& font) {
  CreateSkinFont(font, 12);
  ::SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(font)), FALSE);
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(font)), TRUE);
  }
}
