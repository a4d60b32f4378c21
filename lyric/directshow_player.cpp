#include "lyric/directshow_player.h"

namespace {

// DirectShow counts media time in units of 100 ns.
constexpr double kUnitsPerSecond = 1e7;

template <class T>
void ReleaseInterface(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

}  // namespace

CString FormatDurationText(double seconds) {
  int whole = seconds > 0 ? static_cast<int>(seconds) : 0;
  CString text;
  if (whole >= 3600) {
    text.Format(L"%d:%02d:%02d", whole / 3600, whole / 60 % 60, whole % 60);
  } else {
    text.Format(L"%02d:%02d", whole / 60, whole % 60);
  }
  return text;
}

CDirectShowPlayer::~CDirectShowPlayer() {
  Close();
}

bool CDirectShowPlayer::Open(const wchar_t* path) {
  Close();
  HRESULT hr = ::CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IGraphBuilder, reinterpret_cast<void**>(&m_pGraph));
  if (FAILED(hr) || FAILED(m_pGraph->RenderFile(path, nullptr)) ||
      FAILED(m_pGraph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&m_pControl))) ||
      FAILED(m_pGraph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&m_pSeeking))) ||
      FAILED(m_pGraph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&m_pEvents)))) {
    Close();
    return false;
  }
  Play();
  return true;
}

void CDirectShowPlayer::Play() {
  if (m_pControl) m_pControl->Run();
}

void CDirectShowPlayer::Pause() {
  if (m_pControl) m_pControl->Pause();
}

void CDirectShowPlayer::Stop() {
  if (!m_pControl) return;
  m_pControl->Stop();
  SetPosition(0);
}

void CDirectShowPlayer::Close() {
  if (m_pControl) m_pControl->Stop();
  ReleaseInterface(m_pEvents);
  ReleaseInterface(m_pSeeking);
  ReleaseInterface(m_pControl);
  ReleaseInterface(m_pGraph);
}

double CDirectShowPlayer::GetPosition() {
  LONGLONG position = 0;
  if (!m_pSeeking || FAILED(m_pSeeking->GetCurrentPosition(&position))) return 0;
  return position / kUnitsPerSecond;
}

void CDirectShowPlayer::SetPosition(double seconds) {
  if (!m_pSeeking) return;
  LONGLONG position = static_cast<LONGLONG>((seconds > 0 ? seconds : 0) * kUnitsPerSecond);
  m_pSeeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr,
                           AM_SEEKING_NoPositioning);
}

void CDirectShowPlayer::StopAtEnd() {
  long code = 0;
  LONG_PTR first = 0;
  LONG_PTR second = 0;
  bool ended = false;
  while (m_pEvents->GetEvent(&code, &first, &second, 0) == S_OK) {
    m_pEvents->FreeEventParams(code, first, second);
    if (code == EC_COMPLETE) ended = true;
  }
  if (ended) Stop();
}

MediaPlayState CDirectShowPlayer::GetPlayState() {
  if (!m_pControl) return kPlayStateUndefined;
  StopAtEnd();
  OAFilterState state = State_Stopped;
  if (FAILED(m_pControl->GetState(0, &state))) return kPlayStateUndefined;
  switch (state) {
    case State_Running:
      return kPlayStatePlaying;
    case State_Paused:
      return kPlayStatePaused;
    default:
      return kPlayStateStopped;
  }
}

double CDirectShowPlayer::GetDuration() {
  LONGLONG duration = 0;
  if (!m_pSeeking || FAILED(m_pSeeking->GetDuration(&duration))) return 0;
  return duration / kUnitsPerSecond;
}

CString CDirectShowPlayer::GetDurationText() {
  return m_pSeeking ? FormatDurationText(GetDuration()) : CString();
}
