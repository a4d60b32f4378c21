// The media player's interface ids are not in mingw's uuid library: this file defines them.
#include <initguid.h>

#include "lyric/hosted_player.h"

#include <oleauto.h>

namespace {

// A BSTR that frees itself.
class Bstr {
 public:
  explicit Bstr(const wchar_t* text = nullptr) : m_text(text ? ::SysAllocString(text) : nullptr) {}
  ~Bstr() { ::SysFreeString(m_text); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR* out() { return &m_text; }
  BSTR get() const { return m_text; }

 private:
  BSTR m_text;
};

}  // namespace

CHostedPlayer::~CHostedPlayer() {
  Detach();
}

bool CHostedPlayer::Attach(IWMPPlayer* player) {
  Detach();
  if (!player) return false;
  IWMPControls* controls = nullptr;
  // The control's own object answers for its transport on Windows; Wine's hands it out only
  // through get_controls.
  if (FAILED(player->QueryInterface(IID_IWMPControls, reinterpret_cast<void**>(&controls))) &&
      (FAILED(player->get_controls(&controls)) || !controls)) {
    return false;
  }
  player->AddRef();
  m_pPlayer = player;
  m_pControls = controls;
  WMPPlayState state = wmppsUndefined;
  m_bSubstitute = m_pPlayer->get_playState(&state) == E_NOTIMPL || m_pPlayer->close() == E_NOTIMPL;
  return true;
}

void CHostedPlayer::Detach() {
  m_substitute.Close();
  if (m_pPlayer && !m_bSubstitute) m_pPlayer->close();
  if (m_pControls) m_pControls->Release();
  if (m_pPlayer) m_pPlayer->Release();
  m_pControls = nullptr;
  m_pPlayer = nullptr;
  m_bSubstitute = false;
}

bool CHostedPlayer::Open(const wchar_t* path) {
  if (!m_pPlayer) return false;
  if (m_bSubstitute) return m_substitute.Open(path);
  Bstr url(path);
  return SUCCEEDED(m_pPlayer->put_URL(url.get()));
}

void CHostedPlayer::Play() {
  if (m_bSubstitute) {
    m_substitute.Play();
  } else if (m_pControls) {
    m_pControls->play();
  }
}

void CHostedPlayer::Pause() {
  if (m_bSubstitute) {
    m_substitute.Pause();
  } else if (m_pControls) {
    m_pControls->pause();
  }
}

void CHostedPlayer::Stop() {
  if (m_bSubstitute) {
    m_substitute.Stop();
  } else if (m_pControls) {
    m_pControls->stop();
  }
}

void CHostedPlayer::Close() {
  if (m_bSubstitute) {
    m_substitute.Close();
  } else if (m_pPlayer) {
    m_pPlayer->close();
  }
}

double CHostedPlayer::GetPosition() {
  if (m_bSubstitute) return m_substitute.GetPosition();
  double position = 0;  // left unset by a control without media
  if (!m_pControls || FAILED(m_pControls->get_currentPosition(&position))) return 0;
  return position;
}

void CHostedPlayer::SetPosition(double seconds) {
  if (m_bSubstitute) {
    m_substitute.SetPosition(seconds);
  } else if (m_pControls) {
    m_pControls->put_currentPosition(seconds);
  }
}

MediaPlayState CHostedPlayer::GetPlayState() {
  if (m_bSubstitute) return m_substitute.GetPlayState();
  WMPPlayState state = wmppsUndefined;
  if (!m_pPlayer || FAILED(m_pPlayer->get_playState(&state))) return kPlayStateUndefined;
  return static_cast<MediaPlayState>(state);
}

CString CHostedPlayer::GetDurationText() {
  if (m_bSubstitute) return m_substitute.GetDurationText();
  IWMPMedia* media = nullptr;
  if (!m_pPlayer || FAILED(m_pPlayer->get_currentMedia(&media)) || !media) return CString();
  Bstr duration;
  HRESULT hr = media->get_durationString(duration.out());
  media->Release();
  return SUCCEEDED(hr) && duration.get() ? CString(duration.get()) : CString();
}
