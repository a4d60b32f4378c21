// CBitmapButton: a push button drawn from an image list, one image per state (normal, pushed,
// hover or focus, disabled), with an optional tooltip.
//
// It paints itself (WM_PAINT, WM_PRINTCLIENT, and OCM_DRAWITEM when a parent reflects its
// notifications), so it looks right whether or not its parent reflects. It handles the mouse
// itself and never takes the keyboard focus: a click leaves the focus where it was (an edit box
// that reacts to losing the focus keeps it), and the parent gets BN_CLICKED as from any button.
//
// Transparent (masked) parts of the images show the background colour set by SetBkColor, or,
// without one, the brush the parent gives for WM_CTLCOLORBTN.
//
// The button destroys its image list when it goes, unless BMPBTN_SHAREIMAGELISTS is set.
#pragma once

#include <windows.h>

#include "winlayer/controls.h"
#include "winlayer/controls_tooltip.h"
#include "winlayer/cstring.h"
#include "winlayer/imagelist.h"
#include "winlayer/window_impl.h"

// Extended styles.
constexpr DWORD BMPBTN_HOVER = 0x00000001;     // the hover image while the pointer is over it
constexpr DWORD BMPBTN_AUTOSIZE = 0x00000008;  // sized to its images when it gets a window
constexpr DWORD BMPBTN_SHAREIMAGELISTS = 0x00000010;  // the image list belongs to someone else

class CBitmapButton : public CWindowImpl<CBitmapButton, CButton, CControlWinTraits> {
 public:
  DECLARE_WND_SUPERCLASS(L"WinLayer_BitmapButton", CButton::GetWndClassName())

  // Image slots of SetImages.
  enum { _nImageNormal = 0, _nImagePushed, _nImageFocusOrHover, _nImageDisabled, _nImageCount };

  explicit CBitmapButton(DWORD extendedStyle = BMPBTN_AUTOSIZE, HIMAGELIST imageList = nullptr);
  ~CBitmapButton() override;

  // A new owner-drawn button window (BS_OWNERDRAW is added to the style).
  HWND Create(HWND hWndParent, RectArg rect = RectArg(), LPCWSTR windowName = nullptr,
              DWORD style = 0, DWORD exStyle = 0, MenuOrIdArg menuOrId = MenuOrIdArg(),
              LPVOID createParam = nullptr);
  // Takes over an existing button (e.g. of a dialog), making it owner-drawn.
  BOOL SubclassWindow(HWND hWnd);

  DWORD GetBitmapButtonExtendedStyle() const { return m_dwExtendedStyle; }
  // mask 0 replaces every extended style; returns the previous ones.
  DWORD SetBitmapButtonExtendedStyle(DWORD extendedStyle, DWORD mask = 0);

  HIMAGELIST GetImageList() const { return m_ImageList; }
  // Returns the previous list, which the caller now looks after.
  HIMAGELIST SetImageList(HIMAGELIST imageList);
  // Indexes into the image list; -1 falls back to the normal image.
  void SetImages(int normal, int pushed = -1, int focusOrHover = -1, int disabled = -1);
  // Resizes the window to the image size.
  BOOL SizeToImage();

  // Colour behind the images' transparent parts; CLR_NONE asks the parent (WM_CTLCOLORBTN).
  void SetBkColor(COLORREF colour);
  COLORREF GetBkColor() const { return m_clrBk; }

  int GetToolTipTextLength() const { return m_strToolTip.GetLength(); }
  bool GetToolTipText(LPWSTR buffer, int length) const;
  // Sets (or, with null or empty text, removes) the tooltip; works before the window exists.
  bool SetToolTipText(LPCWSTR text);

  // Draws the current state's image into dc over the client area.
  void DoPaint(HDC dc);
  // The image slot the button shows now.
  int GetCurrentImageSlot() const;

  BEGIN_MSG_MAP(CBitmapButton)
  MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MOUSELAST, OnMouseMessage)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_PRINTCLIENT, OnPrintClient)
  MESSAGE_HANDLER(OCM_DRAWITEM, OnDrawItem)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
  MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDown)
  MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
  MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
  MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
  MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
  MESSAGE_HANDLER(WM_ENABLE, OnStateChanged)
  MESSAGE_HANDLER(WM_SETFOCUS, OnStateChanged)
  MESSAGE_HANDLER(WM_KILLFOCUS, OnStateChanged)
  MESSAGE_HANDLER(BM_SETSTATE, OnStateChanged)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  END_MSG_MAP()

 private:
  LRESULT OnMouseMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&);
  LRESULT OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&);
  LRESULT OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
  LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnStateChanged(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled);

  // Owner-drawn style, size and tooltip once the button has its window.
  void Init();
  void UpdateToolTip();
  bool IsInside(LPARAM point) const;
  void Repaint();

  CImageList m_ImageList;
  int m_nImage[_nImageCount] = {-1, -1, -1, -1};
  DWORD m_dwExtendedStyle;
  COLORREF m_clrBk = CLR_NONE;
  CString m_strToolTip;
  CToolTipCtrl m_tip;
  bool m_bPressed = false;    // left button down on the button and the pointer over it
  bool m_bCapturing = false;  // the button holds the mouse capture for a press
  bool m_bMouseOver = false;  // the pointer is over the button (hover style)
  bool m_bTracking = false;   // a WM_MOUSELEAVE has been asked for
};
