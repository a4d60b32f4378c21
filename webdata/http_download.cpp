#include "webdata/http_download.h"

#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "foundation/io_base.h"
#include "foundation/logger.h"
#include "webdata/download_session.h"
#include "webdata/reply_limits.h"

namespace {

constexpr DWORD kPieceSize = 204800;

// True, with a log line, when size bytes are more than a downloaded file may have.
bool PassesCeiling(const wchar_t* url, unsigned long long size) {
  return ExceedsDownloadCeiling(url, size, reply_limits::kDownloadFileBytes);
}

int DownloadFile(const wchar_t* url, const wchar_t* localPath, unsigned reserved1,
                 unsigned reserved2) {
  InternetHandle session = OpenDownloadSession();
  if (!session) return kDownloadNotAvailable;
  DownloadRequest request = OpenDownloadUrl(
      session.get(), url,
      INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE);
  if (!request) return kDownloadCannotOpenUrl;
  if (QueryStatusCode(request.get()) != 200) return kDownloadNotAvailable;
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
