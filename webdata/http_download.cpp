#include "webdata/http_download.h"

#include <windows.h>

#include <memory>
#include <vector>

#include "foundation/io_base.h"
#include "webdata/download_session.h"

namespace {

constexpr DWORD kPieceSize = 204800;

}  // namespace

int HttpDownloadFile(const wchar_t* url, const wchar_t* localPath, unsigned reserved1,
                     unsigned reserved2) {
  InternetHandle session = OpenDownloadSession();
  if (!session) return kDownloadNotAvailable;
  InternetHandle request = OpenDownloadUrl(
      session.get(), url,
      INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE);
  if (!request) return kDownloadCannotOpenUrl;
  if (QueryStatusCode(request.get()) != 200) return kDownloadNotAvailable;

  std::unique_ptr<em_utility::io_base> file(em_utility::create_io(0));
  if (!file || file->create(localPath, reserved1, reserved2) != 0) return kDownloadCannotCreateFile;

  std::vector<char> piece(kPieceSize);
  for (;;) {
    DWORD got = 0;
    if (!InternetReadFile(request.get(), piece.data(), kPieceSize, &got)) {
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
