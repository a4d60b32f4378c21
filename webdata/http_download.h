// One HTTP download into a local file, over WinINet.
#pragma once

// Result codes of HttpDownloadFile.
enum HttpDownloadResult {
  kDownloadDone = 0,
  kDownloadCannotOpenUrl = 1,
  kDownloadCannotCreateFile = 2,
  kDownloadReadFailed = 3,
  kDownloadNotAvailable = 4,  // offline, no internet session, or a status other than 200
};

// Downloads url into localPath (replacing it). The file is created only after a 200 status, and
// a partly written file is deleted when a read fails. A body longer than
// reply_limits::kDownloadFileBytes fails as a failed read (logged), before the file is created
// when its length says so at once. The two extra values are passed through to
// the file creation, which ignores them. Any thread may call it; it keeps no state.
int HttpDownloadFile(const wchar_t* url, const wchar_t* localPath, unsigned reserved1 = 0,
                     unsigned reserved2 = 0);
