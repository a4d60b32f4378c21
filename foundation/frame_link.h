// The one place where foundation reaches the main frame, which lives above it (app/): the
// window that owns the helpers' message boxes and the queue of picture downloads.
//
// The frame installs its link when it is created. Before that, and in programs without a frame
// (the foundation tests), boxes have no owner and picture requests are dropped with a log line.
#pragma once

#include <windows.h>

class IFrameLink {
 public:
  // The frame's window, or null while it has none.
  virtual HWND GetOwnerWindow() = 0;
  // Queues a picture download; window (or rect of it, when given) is repainted once the file
  // is there.
  virtual void QueueImageDownload(const wchar_t* url, const wchar_t* localPath, HWND window,
                                  const RECT* rect) = 0;

 protected:
  ~IFrameLink() = default;
};

// Installs the frame's link (null removes it). Any thread may read it at any time: the link
// must live until the process ends.
void SetFrameLink(IFrameLink* link);

// The window that owns the helpers' message boxes: the frame's, or null without a frame.
HWND GetFrameOwnerWindow();
