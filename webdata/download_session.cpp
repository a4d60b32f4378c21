#include "webdata/download_session.h"

#include <string>

#include "foundation/logger.h"
#include "foundation/site_addresses.h"
#include "webdata/reply_limits.h"

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

// Opened in its steps, not through InternetOpenUrlW: the waits must be set on the request itself
// (WinINet under Wine takes them from nowhere else, and otherwise waits for ever).
DownloadRequest OpenDownloadUrl(HINTERNET session, const wchar_t* url, DWORD flags) {
  URL_COMPONENTSW parts = {};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = 1;  // non-zero: the parts are pointed at in url
  parts.dwUrlPathLength = 1;
  parts.dwExtraInfoLength = 1;
  if (!url || !InternetCrackUrlW(url, 0, 0, &parts) ||
      (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)) {
    return DownloadRequest();
  }
  auto part = [](const wchar_t* text, DWORD length) {
    return text ? std::wstring(text, length) : std::wstring();
  };
  std::wstring host = part(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring object = part(parts.lpszUrlPath, parts.dwUrlPathLength) +
                        part(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (parts.nScheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;

  DownloadRequest opened;
  opened.connection.reset(InternetConnectW(session, host.c_str(), parts.nPort, nullptr, nullptr,
                                           INTERNET_SERVICE_HTTP, 0, 0));
  if (!opened.connection) return DownloadRequest();
  opened.request.reset(HttpOpenRequestW(opened.connection.get(), L"GET",
                                        object.empty() ? L"/" : object.c_str(), nullptr, nullptr,
                                        nullptr, flags, 0));
  if (!opened.request) return DownloadRequest();
  // Windows gives each send and each read this long by default.
  DWORD wait = reply_limits::kDownloadWaitMilliseconds;
  for (DWORD option : {INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    InternetSetOptionW(opened.request.get(), option, &wait, sizeof wait);
  }
  std::wstring home(site::HomeHost().begin(), site::HomeHost().end());
  std::wstring headers = L"Accept:   */*\r\nReferer: http://" + home + L"/\r\n";
  if (!HttpSendRequestW(opened.request.get(), headers.c_str(), static_cast<DWORD>(headers.size()),
                        nullptr, 0)) {
    return DownloadRequest();
  }
  return opened;
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
