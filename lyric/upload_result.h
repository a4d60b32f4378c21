// The editor's result code of a lyric upload, from the status and err texts of the site's reply.
#pragma once

#include <string>

// The results of CEditDlg::UploadLyric.
enum UploadResult {
  kUploadDone = 0,
  // From the site's err text (101, 102, 103, 105, 107); also 1 for "nothing to upload".
  kUploadSongNotFound = 1,
  kUploadLyricEmpty = 2,
  kUploadNoLyricPart = 3,
  kUploadLyricLocked = 4,
  kUploadRefused107 = 5,
  kUploadNotSent = 6,     // the sign-in or the transfer failed
  kUploadOtherError = 7,  // "failed" with another err, or a status that is neither
  kUploadSaveFailed = 8,  // the file could not be saved, so the stale one was not sent
};

// "ok" anywhere in status gives kUploadDone; "failed" gives the code of the last of "101",
// "102", "103", "105", "107" that err contains (else kUploadOtherError) and errText = err;
// anything else gives kUploadOtherError with errText empty.
int MapUploadResult(const std::string& status, const std::string& err, std::string& errText);
