// LRC parsing throughput: CLrcDocument::Open on a generated 1 MB lyric file, against a yardstick
// that only splits the same file into lines and converts them from UTF-8 (the least any reader
// of the file must do).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "harness.h"
#include "lyric/lrc_document.h"
#include "winlayer/cstring.h"

namespace {

// About 1 MB of lyrics: header tags, then lines with one to three time tags and mixed
// Chinese and Latin text, CR LF line ends.
std::string MakeLyrics(size_t target) {
  std::string text =
      "[ar:\xE6\xAD\x8C\xE6\x89\x8B]\r\n[ti:Title]\r\n[al:Album]\r\n[by:bench]\r\n"
      "[offset:-200]\r\n";
  unsigned seed = 12345;
  char tag[32];
  for (int line = 0; text.size() < target; ++line) {
    seed = seed * 1103515245u + 12345u;
    int tags = 1 + static_cast<int>((seed >> 16) % 3);
    for (int t = 0; t < tags; ++t) {
      int ms = (line * 2700 + t * 91000) % 3600000;
      std::snprintf(tag, sizeof tag, "[%02d:%02d.%02d]", ms / 60000, ms / 1000 % 60, ms / 10 % 100);
      text += tag;
    }
    text += "\xE4\xBD\xA0\xE5\xA5\xBD\xE4\xB8\x96\xE7\x95\x8C hello world ";  // 你好世界
    text += std::to_string(seed % 100000);
    text += "\r\n";
  }
  return text;
}

void Utf8Line(const char* bytes, CString& out) {
  int n = MultiByteToWideChar(CP_UTF8, 0, bytes, -1, nullptr, 0);
  wchar_t* buffer = out.GetBuffer(n);
  MultiByteToWideChar(CP_UTF8, 0, bytes, -1, buffer, n);
  out.ReleaseBuffer(n - 1);
}

// Line split and UTF-8 conversion of the whole file, nothing else.
size_t SplitAndConvert(const wchar_t* path) {
  FILE* file = _wfopen(path, L"rt");
  if (!file) return 0;
  char buffer[1024];
  CString line;
  CString all;
  while (fgets(buffer, sizeof buffer, file)) {
    Utf8Line(buffer, line);
    all += line;
  }
  fclose(file);
  return static_cast<size_t>(all.GetLength());
}

}  // namespace

int main() {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  std::wstring path = std::wstring(folder) + L"bench_lrc.lrc";
  std::string lyrics = MakeLyrics(1 << 20);
  FILE* out = _wfopen(path.c_str(), L"wb");
  if (!out || fwrite(lyrics.data(), 1, lyrics.size(), out) != lyrics.size()) {
    std::printf("cannot write %ls\n", path.c_str());
    return 1;
  }
  fclose(out);

  CLrcDocument doc;
  const bench::PairedRatio pair = bench::InTurn(
      [&] {
        doc.Open(path.c_str());
        bench::KeepAlive(doc.m_vecLines.size());
      },
      [&] { bench::KeepAlive(SplitAndConvert(path.c_str())); });
  DeleteFileW(path.c_str());

  double megabytes = static_cast<double>(lyrics.size()) / (1 << 20);
  std::printf("LRC file: %.2f MB, %u timed lines\n", megabytes,
              static_cast<unsigned>(doc.m_vecLines.size()));
  std::printf("CLrcDocument::Open: %.1f MB/s; line split + UTF-8: %.1f MB/s\n",
              megabytes / pair.ours, megabytes / pair.theirs);
  bench::PrintPaired("CLrcDocument::Open (1 MB)", pair, "line split + UTF-8");
  return 0;
}
