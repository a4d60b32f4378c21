#include "webdata/download_session.h"

#include <string>

#include "foundation/logger.h"
#include "foundation/site_addresses.h"

InternetHandle OpenDownloadSession() {
  DWORD state = 0;
  if (!InternetGetConnectedState(&state, 0) || (state & INTERNET_CONNECTION_OFFLINE)) {
    return InternetHandle();
  }
  DWORD access = (state & INTERNET_CONNECTION_PROXY)
                     ? INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY
                     : INTERNET_OPEN_TYPE_DIRECT;
  return InternetHandle(InternetOpenW(L"liRAk_down_file_image", access, nullptr, nullptr, 0));
}

InternetHandle OpenDownloadUrl(HINTERNET session, const wchar_t* url, DWORD flags) {
  std::wstring home(site::HomeHost().begin(), site::HomeHost().end());
  std::wstring headers = L"Accept:   */*\r\nReferer: http://" + home + L"/\r\n";
  return InternetHandle(InternetOpenUrlW(session, url, headers.c_str(),
                                         static_cast<DWORD>(headers.size()), flags, 0));
}

int QueryStatusCode(HINTERNET request) {
  wchar_t status[32] = {};  // 64 bytes, as the status text has always been read
  DWORD size = sizeof status;
  if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE, status, &size, nullptr)) return 0;
  return _wtoi(status);
}

bool ExceedsDownloadCeiling(const wchar_t* url, unsigned long long size, unsigned ceiling) {
  if (size <= ceiling) return false;
  GetLogger()->log(em_utility::log_level::error, L"download of %s dropped: %I64u bytes, ceiling %u",
                   url, size, ceiling);
  return true;
}
