// A player over a DirectShow filter graph: the system renders the file (MP3 and every other
// format it has filters for) to the default sound device.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "lyric/media_player.h"

class CDirectShowPlayer : public IMediaPlayer {
 public:
  CDirectShowPlayer() = default;
  ~CDirectShowPlayer() override;
  CDirectShowPlayer(const CDirectShowPlayer&) = delete;
  CDirectShowPlayer& operator=(const CDirectShowPlayer&) = delete;

  bool Open(const wchar_t* path) override;
  void Play() override;
  void Pause() override;
  void Stop() override;
  void Close() override;
  double GetPosition() override;
  void SetPosition(double seconds) override;
  MediaPlayState GetPlayState() override;
  CString GetDurationText() override;
  // Seconds of the media; 0 without media.
  double GetDuration();

 private:
  // At the end of the media the graph keeps running on the last sample; like the control, the
  // player then stops and goes back to the start.
  void StopAtEnd();

  IGraphBuilder* m_pGraph = nullptr;
  IMediaControl* m_pControl = nullptr;
  IMediaSeeking* m_pSeeking = nullptr;
  IMediaEvent* m_pEvents = nullptr;
};

// "mm:ss", or "h:mm:ss" from an hour on, of whole seconds.
CString FormatDurationText(double seconds);
