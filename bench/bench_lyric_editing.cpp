// The lyric workspace's two heavy operations against yardsticks of the same work's floor:
// - one paint of the display window over a 200-line lyric, against DrawText of the lines that
//   are visible, into the same memory DC (goal: at most 3x);
// - shifting every time tag of a 2000-line lyric by half a second, against copying the text
//   once (goal: at most 20x).
#include <windows.h>

#include <cstdio>
#include <string>

#include "controls/skin_font.h"
#include "harness.h"
#include "support/canvas.h"
#include "lyric/lrc_displayer.h"
#include "lyric/time_tag.h"
#include "winlayer/cstring.h"
#include "winlayer/gdi_dc.h"
#include "winlayer/gdi_objects.h"

namespace {

// count lines "[mm:ss.xx]text", 2.7 s apart, in the editor's form (CR LF).
std::wstring MakeLyric(int count) {
  std::wstring text;
  wchar_t line[96];
  for (int i = 0; i < count; ++i) {
    int ms = i * 2700;
    swprintf(line, 96, L"[%02d:%02d.%02d]\u6545\u4E8B\u7684\u5C0F\u9EC4\u82B1 line %d\r\n",
             ms / 60000, ms / 1000 % 60, ms / 10 % 100, i);
    text += line;
  }
  return text;
}

void BenchDisplayPaint() {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  std::wstring path = std::wstring(folder) + L"bench_display.lrc";
  std::wstring lyric = MakeLyric(200);
  int bytes = WideCharToMultiByte(CP_UTF8, 0, lyric.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(bytes, '\0');
  WideCharToMultiByte(CP_UTF8, 0, lyric.c_str(), -1, &utf8[0], bytes, nullptr, nullptr);
  FILE* file = _wfopen(path.c_str(), L"wb");
  fwrite(utf8.data(), 1, utf8.size() - 1, file);
  fclose(file);

  CLrcDisplayer display;
  display.Init();
  display.SetStyle(5, true, 0x7D7D7D, 0x00FF00, 0x320000);
  display.OpenLyricFile(path.c_str());
  const CRect client(0, 0, 353, 520);
  testsupport::Canvas canvas(client.Width(), client.Height());
  CDCHandle dc = canvas.dc();
  // Mid-song: line 100 current, in the middle of a fade.
  const DWORD now = GetTickCount() + 100 * 2700 + 2400;
  display.Paint(dc, client, now);  // measures the line widths once

  double paint = bench::MedianSeconds([&] {
    for (int i = 0; i < 50; ++i) display.Paint(dc, client, now);
  });

  CFont font;
  CreateSkinFont(font, 12, FW_NORMAL, GB2312_CHARSET, DEFAULT_PITCH | FF_DONTCARE,
                 CLEARTYPE_QUALITY);
  const int visible = client.Height() / 14 + 2;
  double yardstick = bench::MedianSeconds([&] {
    for (int i = 0; i < 50; ++i) {
      HFONT previous = dc.SelectFont(font);
      dc.SetBkMode(TRANSPARENT);
      for (int line = 0; line < visible; ++line) {
        const LrcLine& text = display.m_doc.m_vecLines[100 - visible / 2 + line];
        CRect rect(5, line * 14, client.right - 5, line * 14 + 20);
        dc.DrawText(text.strText, text.strText.GetLength(), &rect, DT_CENTER | DT_SINGLELINE);
      }
      dc.SelectFont(previous);
    }
  });
  bench::PrintRatio("display paint, 200 lines", paint / 50, "DrawText visible lines",
                    yardstick / 50);
  DeleteFileW(path.c_str());
}

void BenchShift() {
  CString text = MakeLyric(2000).c_str();
  size_t sink = 0;
  const int kRepeats = 20;  // a single copy is too short to time alone
  double shift = bench::MedianSeconds(
      [&] {
        for (int i = 0; i < kRepeats; ++i) sink += ShiftTimeTagsText(text, 500).GetLength();
      },
      15);
  double copy = bench::MedianSeconds(
      [&] {
        for (int i = 0; i < kRepeats; ++i) {
          CString copied(text.GetString(), text.GetLength());
          sink += copied.GetLength();
        }
      },
      15);
  bench::KeepAlive(sink);
  bench::PrintRatio("shift 2000 tags", shift / kRepeats, "copy the text once", copy / kRepeats);
}

}  // namespace

int main() {
  BenchDisplayPaint();
  BenchShift();
  return 0;
}
