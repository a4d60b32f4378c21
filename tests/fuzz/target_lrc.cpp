// The LRC reader, given its bytes through a file as the program gives them: CLrcDocument::Open
// on a path.
#include "fuzz/fuzz_harness.h"

#include "lyric/lrc_document.h"
#include "support/temp_dir.h"

namespace fuzz {

namespace {

const std::wstring& LyricPath() {
  static const std::wstring path = WorkFolder() + L"fuzz.lrc";
  return path;
}

void Run(const uint8_t* data, size_t size) {
  testsupport::WriteFileBytes(LyricPath(), std::string(reinterpret_cast<const char*>(data), size));
  CLrcDocument document;
  document.Open(LyricPath().c_str());
  // What the display and the editor read next.
  CString text;
  document.GetText(text);
  for (const LrcLine& line : document.m_vecLines) (void)line.nTime;
}

}  // namespace

// Lines are cut at 1023 bytes, so inputs a few times that long reach every cut.
extern const Target kLrcTarget = {"lrc", "lrc", 16 << 10, false, nullptr, &Run, nullptr};

}  // namespace fuzz
