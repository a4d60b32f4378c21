// The time left of one exchange with a server, on the tick counter (safe across its wrap). Every
// wait of the exchange is cut to what is left, so the exchange as a whole ends on time however
// the server spaces its bytes.
#pragma once

#include <windows.h>

class CExchangeDeadline {
 public:
  // Until Start, there is no deadline.
  void Start(DWORD milliseconds) {
    m_dwStart = GetTickCount();
    m_dwLength = milliseconds;
  }
  DWORD Remaining() const {
    if (m_dwLength == INFINITE) return INFINITE;
    DWORD elapsed = GetTickCount() - m_dwStart;
    return elapsed >= m_dwLength ? 0 : m_dwLength - elapsed;
  }
  bool IsPast() const { return Remaining() == 0; }
  // A wait of at most milliseconds, shortened to what is left.
  DWORD Cap(DWORD milliseconds) const {
    DWORD left = Remaining();
    return milliseconds < left ? milliseconds : left;
  }

 private:
  DWORD m_dwStart = 0;
  DWORD m_dwLength = INFINITE;
};
