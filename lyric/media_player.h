// The embedded media player as the lyric workspace uses it: open a file, play, pause, stop,
// the position in seconds, the play state and the duration text. The workspace knows nothing
// else of the player, so the control on the dialog and its substitute look the same to it.
#pragma once

#include "winlayer/cstring.h"

// Play states, numbered as the media player control numbers them.
enum MediaPlayState : int {
  kPlayStateUndefined = 0,
  kPlayStateStopped = 1,
  kPlayStatePaused = 2,
  kPlayStatePlaying = 3,
};

class IMediaPlayer {
 public:
  virtual ~IMediaPlayer() = default;
  // Hands a file to the player, which starts playing it; false when it cannot be played.
  virtual bool Open(const wchar_t* path) = 0;
  virtual void Play() = 0;
  virtual void Pause() = 0;
  virtual void Stop() = 0;
  // Lets go of the file.
  virtual void Close() = 0;
  // Seconds from the start of the media; 0 without media.
  virtual double GetPosition() = 0;
  virtual void SetPosition(double seconds) = 0;
  virtual MediaPlayState GetPlayState() = 0;
  // "mm:ss" (or "h:mm:ss"); empty without media.
  virtual CString GetDurationText() = 0;
};
