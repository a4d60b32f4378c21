#include "lyric/upload_result.h"

int MapUploadResult(const std::string& status, const std::string& err, std::string& errText) {
  errText.clear();
  if (status.find("ok") != std::string::npos) return kUploadDone;
  if (status.find("failed") == std::string::npos) return kUploadOtherError;
  errText = err;
  static const struct {
    const char* code;
    int result;
  } kCodes[] = {{"101", kUploadSongNotFound},
                {"102", kUploadLyricEmpty},
                {"103", kUploadNoLyricPart},
                {"105", kUploadLyricLocked},
                {"107", kUploadRefused107}};
  int result = kUploadOtherError;
  for (const auto& code : kCodes) {
    if (err.find(code.code) != std::string::npos) result = code.result;
  }
  return result;
}
