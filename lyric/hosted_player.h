// The media player control of the workspace's dialog, behind IMediaPlayer.
//
// The control may lack some of the operations the workspace needs (Wine's implements neither the
// play state, nor pause, close or the duration text). Attach asks the control once; a control
// that lacks them is left idle and every song is played by a DirectShow graph instead, so one
// song is never played by both. On Windows the control does everything itself.
#pragma once

#include <windows.h>
#include <wmp.h>

#include "lyric/directshow_player.h"
#include "lyric/media_player.h"

class CHostedPlayer : public IMediaPlayer {
 public:
  CHostedPlayer() = default;
  ~CHostedPlayer() override;
  CHostedPlayer(const CHostedPlayer&) = delete;
  CHostedPlayer& operator=(const CHostedPlayer&) = delete;

  // Takes the control's player (a reference of its own) and its transport. False when the
  // control offers no transport; the player then stays detached.
  bool Attach(IWMPPlayer* player);
  // Closes the media and releases the control's interfaces.
  void Detach();
  bool IsAttached() const { return m_pPlayer != nullptr; }
  // Whether songs play through DirectShow because the control lacks operations.
  bool UsesSubstitute() const { return m_bSubstitute; }
  IWMPPlayer* GetControlPlayer() const { return m_pPlayer; }
  CDirectShowPlayer& GetSubstitute() { return m_substitute; }

  bool Open(const wchar_t* path) override;
  void Play() override;
  void Pause() override;
  void Stop() override;
  void Close() override;
  double GetPosition() override;
  void SetPosition(double seconds) override;
  MediaPlayState GetPlayState() override;
  CString GetDurationText() override;

 private:
  IWMPPlayer* m_pPlayer = nullptr;
  IWMPControls* m_pControls = nullptr;
  bool m_bSubstitute = false;
  CDirectShowPlayer m_substitute;
};
