// CMyButton: the flat push button of the dialogs. The button itself keeps the system's
// procedure; its owner gives it the owner-draw style, attaches the handle and hands each
// WM_DRAWITEM of the button to DrawItem.
#pragma once

#include <windows.h>

#include "winlayer/controls.h"

class CMyButton : public CButton {
 public:
  CMyButton() = default;
  virtual ~CMyButton() = default;
  CMyButton& operator=(HWND hWnd) {
    m_hWnd = hWnd;
    return *this;
  }

  // The face while the button is drawn pressed, and otherwise.
  void SetPressedBkColor(COLORREF colour) { m_crPressedBk = colour; }
  void SetNormalBkColor(COLORREF colour) { m_crNormalBk = colour; }

  // The face in the colour of the state, the text (its first 512 characters) centred in white,
  // and a grey frame while pressed.
  virtual void DrawItem(const DRAWITEMSTRUCT& dis);

  // Clips the button to its client rectangle with rounded corners.
  BOOL SetRoundRegion();

 private:
  COLORREF m_crPressedBk = 0;
  COLORREF m_crNormalBk = 0;
};
