// The WinINet steps that every file download of the program shares (pictures, the update
// description, songs and lyrics): the session with the program's agent name, the request with
// its Accept and Referer lines, and the status code.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <memory>

struct InternetCloser {
  void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetCloser>;

// A session with the agent "liRAk_down_file_image", through the configured proxy when the
// connection has one. Null when offline or when no session can be made.
InternetHandle OpenDownloadSession();

// An open request and the connection it runs on (closed after it).
struct DownloadRequest {
  InternetHandle connection;
  InternetHandle request;
  explicit operator bool() const { return static_cast<bool>(request); }
  HINTERNET get() const { return request.get(); }
};

// A GET of an http or https url, sent with the lines "Accept:   */*" and a Referer naming the
// site's home page; a send or a read that hears nothing for kDownloadWaitMilliseconds
// (reply_limits.h) fails. Empty when the address cannot be opened.
DownloadRequest OpenDownloadUrl(HINTERNET session, const wchar_t* url, DWORD flags);

// The reply's HTTP status code; 0 when there is none.
int QueryStatusCode(HINTERNET request);

// True, with a log line, when size bytes are more than a file from url may have (ceilings in
// reply_limits.h).
bool ExceedsDownloadCeiling(const wchar_t* url, unsigned long long size, unsigned ceiling);
