#include "webdata/http_download.h"

#include <windows.h>
#include <wininet.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "foundation/io_base.h"
#include "foundation/logger.h"
#include "foundation/site_addresses.h"
#include "webdata/reply_limits.h"

namespace {

struct InternetCloser {
  void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetCloser>;

const wchar_t kAgent[] = L"liRAk_down_file_image";
constexpr DWORD kPieceSize = 204800;

std::wstring RequestHeaders() {
  std::wstring home(site::HomeHost().begin(), site::HomeHost().end());
  return L"Accept:   */*\r\nReferer: http://" + home + L"/\r\n";
}

// True, with a log line, when size bytes are more than a downloaded file may have.
bool PassesCeiling(const wchar_t* url, unsigned long long size) {
  if (size <= reply_limits::kDownloadFileBytes) return false;
  GetLogger()->log(em_utility::log_level::error, L"download of %s dropped: %I64u bytes, ceiling %u",
                   url, size, reply_limits::kDownloadFileBytes);
  return true;
}

int DownloadFile(const wchar_t* url, const wchar_t* localPath, unsigned reserved1,
                 unsigned reserved2) {
  DWORD state = 0;
  if (!InternetGetConnectedState(&state, 0)) return kDownloadNotAvailable;
  DWORD access = (state & INTERNET_CONNECTION_PROXY)
                     ? INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY
                     : INTERNET_OPEN_TYPE_DIRECT;
  InternetHandle session(InternetOpenW(kAgent, access, nullptr, nullptr, 0));
  if (!session) return kDownloadNotAvailable;

  std::wstring headers = RequestHeaders();
  InternetHandle request(InternetOpenUrlW(
      session.get(), url, headers.c_str(), static_cast<DWORD>(headers.size()),
      INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE, 0));
  if (!request) return kDownloadCannotOpenUrl;

  wchar_t status[10] = {};
  DWORD statusSize = sizeof status;
  if (!HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE, status, &statusSize, nullptr) ||
      _wtoi(status) != 200) {
    return kDownloadNotAvailable;
  }
  // A length beyond the ceiling is refused before any of it is written.
  DWORD announced = 0;
  DWORD announcedSize = sizeof announced;
  if (HttpQueryInfoW(request.get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &announced,
                     &announcedSize, nullptr) &&
      PassesCeiling(url, announced)) {
    return kDownloadReadFailed;
  }

  std::unique_ptr<em_utility::io_base> file(em_utility::create_io(0));
  if (!file || file->create(localPath, reserved1, reserved2) != 0) return kDownloadCannotCreateFile;

  std::vector<char> piece(kPieceSize);
  unsigned long long total = 0;
  for (;;) {
    DWORD got = 0;
    // A body past the ceiling is as lost as one whose read failed.
    if (!InternetReadFile(request.get(), piece.data(), kPieceSize, &got) ||
        PassesCeiling(url, total += got)) {
      file->remove();
      return kDownloadReadFailed;
    }
    if (got == 0) break;
    unsigned written = 0;
    if (file->write(piece.data(), got, &written) != 0) {
      // A full disk: the picture is as lost as after a failed read.
      file->remove();
      return kDownloadReadFailed;
    }
  }
  file->flush();
  file->close();
  return kDownloadDone;
}

}  // namespace

int HttpDownloadFile(const wchar_t* url, const wchar_t* localPath, unsigned reserved1,
                     unsigned reserved2) {
  // Only the allocations before the file exists can throw; nothing is left behind then.
  try {
    return DownloadFile(url, localPath, reserved1, reserved2);
  } catch (const std::exception&) {
    GetLogger()->log(em_utility::log_level::error, L"download of %s failed: no memory", url);
    return kDownloadReadFailed;
  }
}
