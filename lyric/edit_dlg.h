// CEditDlg: the lyric editor, a child dialog of the workspace (template 267) with the lyric box
// and seven buttons. It opens a lyric file into the box, inserts the play position as a time
// tag (F5 in front of the line, F6 in place of the line's tag), shifts every tag by half a
// second (F7, F8), saves the box as an LRC file through the advert filter, and uploads it (F11).
//
// The box's text is never replaced while it holds unsaved work without asking first
// (ConfirmDiscard), and a save that failed is never followed by an upload of the older file.
#pragma once

#include <windows.h>

#include <string>

#include "controls/my_button.h"
#include "controls/my_tip.h"
#include "resources/lyric_ids.h"
#include "webdata/song.h"
#include "winlayer/controls.h"
#include "winlayer/dialog.h"
#include "winlayer/gdi_objects.h"
#include "winlayer/geometry.h"
#include "winlayer/msg_crackers.h"

class CEditDlg : public CDialogImpl<CEditDlg> {
 public:
  enum { IDD = IDD_EDIT_DLG };

  CEditDlg() = default;
  ~CEditDlg() override = default;

  BEGIN_MSG_MAP_EX(CEditDlg)
  MSG_WM_INITDIALOG(OnInitDialog)
  MSG_WM_ERASEBKGND(OnEraseBkgnd)
  MSG_WM_SIZE(OnSize)
  MSG_WM_COMMAND(OnCommand)
  MSG_WM_KEYDOWN(OnKeyDown)
  MSG_WM_PAINT(OnPaint)
  MSG_WM_CTLCOLOREDIT(OnCtlColorEdit)
  MSG_WM_DRAWITEM(OnDrawItem)
  END_MSG_MAP()

  // The keys the main frame hands over: F5, F6, F7, F8, F11 and Ctrl+A.
  void OnKeyDown(UINT vk, UINT repeat = 1, UINT flags = 0);
  void OnCommand(UINT code, int id, HWND control);

  // Opens an LRC file into the box (asking first about unsaved work). A file the reader cannot
  // read back (UTF-16, or not UTF-8) is refused with a message rather than shown garbled.
  bool LoadLyric(CString path);
  // Writes the box to the open file and filters it; the modified state is cleared on success.
  bool SaveLyric();
  // Saves and uploads; 0 on success, else a code of upload_result.h with errText for the user.
  int UploadLyric(std::string& errText);
  // Opens the song's own lyric file; on success the editor holds the song.
  bool OpenSong(const SongPtr& song);

  CString GetFilePath() const { return m_strFilePath; }
  bool IsModified() const { return m_bModified; }
  CEdit GetLrcEdit() const { return m_wndLrcEdit; }
  void SetModified(bool modified);
  SongPtr GetSong() const { return m_spSong; }
  CString GetLoadedText() const { return m_strLoadedText; }

  // A file is open and the box or the editor counts as changed since it was loaded or saved.
  bool HasUnsavedWork() const;
  // What becomes of unsaved work that the user lets go: it no longer counts as unsaved (the
  // box's text is replaced next), or it still does (the caller may yet keep it: an exit that
  // the user can still decline).
  enum class LetGo { kForget, kStayUnsaved };
  // Before the box's text is replaced, or the program ends: with unsaved work, asks whether to
  // save it. True when the text may go (nothing unsaved, the user let it go, or it was saved);
  // false when its save failed.
  bool ConfirmDiscard(LetGo letGo = LetGo::kForget);

  // F5 (keep) and F6 at the caret's line, with the player's position.
  void InsertTimeTag(bool keep);
  void ShiftTimeTags(bool forward);

 private:
  BOOL OnInitDialog(HWND focus, LPARAM param);
  BOOL OnEraseBkgnd(HDC) { return TRUE; }
  void OnSize(UINT type, CSize size);
  void OnPaint(HDC dc);
  HBRUSH OnCtlColorEdit(HDC dc, HWND edit);
  void OnDrawItem(int id, LPDRAWITEMSTRUCT item);

  void OnOpen();
  void OnSaveAs();
  void OnUpload();
  // Writes the box, encoded and filtered as a save, to path; a message on failure.
  bool SaveLyricTo(const CString& path);
  CMyButton* FindButton(int id);

  CFont m_font;
  CEdit m_wndLrcEdit;
  CString m_strFilePath;
  bool m_bModified = false;
  SongPtr m_spSong;
  CMyTip m_tips[5];
  CMyButton m_buttons[7];
  CString m_strLoadedText;
  CBrush m_brushEdit;
};
