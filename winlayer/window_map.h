// The window-to-object lookup of the window layer: which object's message map serves a window.
//
// A process-wide table from window handle to object, guarded by a reader-writer lock. It is
// deliberately not kept in the window itself: GWLP_USERDATA belongs to the program's own code,
// and a table keeps working whichever procedure (ours, or an ANSI subclass on top of ours through
// CallWindowProcA) passes the message on.
//
// A window is bound to its object on the first message it sends to our procedure: the creating
// code names the object as this thread's "pending" object just before CreateWindowEx or
// CreateDialogParam, and the first message for a window the table does not know takes it.
#pragma once

#include <windows.h>

class CWindowImplCore;

namespace window_map {

struct Entry {
  CWindowImplCore* object = nullptr;
  bool newlyBound = false;  // object was this thread's pending object, bound just now
  // Set instead of object when the object went away before its window while someone else's
  // subclass still calls our procedure: the procedure our object had replaced.
  WNDPROC orphanSuper = nullptr;
};

// The object serving hWnd, binding this thread's pending object to hWnd when hWnd is new.
Entry Lookup(HWND hWnd);

// False when hWnd already has an object.
bool Bind(HWND hWnd, CWindowImplCore* object);
// Removes the entry only when it still names object; true when it did.
bool Unbind(HWND hWnd, CWindowImplCore* object);
// Records that hWnd's messages, still reaching our procedure, go straight to superProc.
void Orphan(HWND hWnd, WNDPROC superProc);
void ForgetOrphan(HWND hWnd);

// Names the object that the next new window of this thread belongs to, for the length of one
// creation call; restores the previous pending object when it ends.
class PendingCreation {
 public:
  explicit PendingCreation(CWindowImplCore* object);
  ~PendingCreation();
  PendingCreation(const PendingCreation&) = delete;
  PendingCreation& operator=(const PendingCreation&) = delete;

 private:
  CWindowImplCore* m_previous;
};

// Clears this thread's pending object when it is object (an object that goes away).
void ForgetPending(CWindowImplCore* object);

}  // namespace window_map
