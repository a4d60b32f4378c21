#include "lyric/lyric_file.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "foundation/scoped_handle.h"
#include "foundation/text_convert.h"

std::string EncodeLyricText(const CString& boxText) {
  CString text = boxText;
  for (int pass = 0; pass < 3; ++pass) text.Replace(L"\r\r", L"\r");
  std::string utf8 = em_utility::wide_to_utf8(text.GetString());
  std::string bytes;
  bytes.reserve(utf8.size() + utf8.size() / 16);
  for (char c : utf8) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return bytes;
}

bool IsAdvertLine(const char* line, size_t length) {
  auto isQ = [](char c) { return c == 'q' || c == 'Q'; };
  size_t previous = length;  // no Q seen yet
  for (size_t i = 0; i < length; ++i) {
    if (!isQ(line[i])) continue;
    if (previous != length && previous + 1 == i) {
      for (size_t j = i + 1; j < length && !isQ(line[j]); ++j) {
        if (line[j] >= '0' && line[j] <= '9') return true;
      }
    }
    previous = i;
  }
  static const char kWeb[] = "www.";
  const size_t webLength = sizeof kWeb - 1;
  for (size_t i = 0; i + webLength <= length; ++i) {
    if (std::memcmp(line + i, kWeb, webLength) == 0) return true;
  }
  return false;
}

std::string FilterLyricBytes(const std::string& fileBytes) {
  std::string kept;
  size_t start = 0;
  while (start < fileBytes.size()) {
    size_t end = fileBytes.find('\n', start);
    if (end == std::string::npos) end = fileBytes.size();
    // Text-mode reading turns CR LF into "\n": the CR before the line feed is no part of the line.
    size_t lineEnd =
        end < fileBytes.size() && end > start && fileBytes[end - 1] == '\r' ? end - 1 : end;
    const char* line = fileBytes.data() + start;
    size_t length = lineEnd - start;
    if (length > 0 && !IsAdvertLine(line, length)) {
      kept.append(line, length);
      kept += "\r\n";
    }
    start = end + 1;
  }
  return kept;
}

namespace {

bool ReadFileBytes(const wchar_t* path, std::string* bytes) {
  UniqueFile file(_wfopen(path, L"rb"));
  if (!file) return false;
  bytes->clear();
  char buffer[16384];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes->append(buffer, got);
  return !ferror(file.get());
}

}  // namespace

bool WriteLyricBytes(const wchar_t* path, const std::string& bytes, DWORD* error) {
  FILE* file = _wfopen(path, L"wb");
  if (!file) {
    if (error) *error = ::GetLastError();
    return false;
  }
  bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  DWORD writeError = ::GetLastError();
  bool closed = fclose(file) == 0;
  if (error && !(written && closed)) *error = written ? ::GetLastError() : writeError;
  return written && closed;
}

bool FilterLyricFile(const wchar_t* path) {
  std::string bytes;
  if (!ReadFileBytes(path, &bytes)) return false;
  return WriteLyricBytes(path, FilterLyricBytes(bytes), nullptr);
}

LyricFileText ClassifyLyricFile(const wchar_t* path) {
  std::string bytes;
  if (!ReadFileBytes(path, &bytes)) return LyricFileText::kMissing;
  if (bytes.size() >= 2 &&
      ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
    return LyricFileText::kUtf16;
  }
  if (!bytes.empty() && ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                              static_cast<int>(bytes.size()), nullptr, 0) == 0) {
    return LyricFileText::kNotUtf8;
  }
  return LyricFileText::kReadable;
}
