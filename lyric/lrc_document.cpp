#include "lyric/lrc_document.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>
#include <utility>

#include "foundation/text_convert.h"
#include "lyric/lrc_tag_number.h"

namespace {

// Lines are read in pieces of at most this many bytes (a longer line arrives as several pieces,
// each parsed as a line of its own).
const int kPieceBytes = 1024;

// A segment of a line is parsed only while more than this many characters are left of it.
const int kMinSegmentRest = 5;

const wchar_t kByteOrderMark = 0xFEFF;

// How many bytes at the end of text begin a UTF-8 character that the next piece completes.
size_t IncompleteUtf8Tail(const char* text, size_t size) {
  for (size_t back = 1; back <= 3 && back <= size; ++back) {
    unsigned char c = static_cast<unsigned char>(text[size - back]);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    if (c < 0xC0) return 0;
    size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
    return length > back ? back : 0;
  }
  return 0;
}

// Sorts the lines by time. Sorting keys and then moving each record once is much cheaper than
// moving records with their strings around inside the sort; lines of equal time keep their
// order in the file.
void SortByTime(std::vector<LrcLine>& lines) {
  if (std::is_sorted(lines.begin(), lines.end(), LrcLineLess)) return;
  std::vector<std::pair<int, size_t>> order;
  order.reserve(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) order.emplace_back(lines[i].nTime, i);
  std::sort(order.begin(), order.end());
  std::vector<LrcLine> sorted;
  sorted.reserve(lines.size());
  for (const auto& key : order) sorted.push_back(std::move(lines[key.second]));
  lines.swap(sorted);
}

}  // namespace

CLrcDocument::CLrcDocument() : m_nOffset(0) {}

bool CLrcDocument::Open(const wchar_t* path) {
  CLockGuard guard(m_lock);
  Clear();
  return OpenStream(path ? _wfopen(path, L"rt") : nullptr);
}

bool CLrcDocument::Open(const char* path) {
  CLockGuard guard(m_lock);
  Clear();
  return OpenStream(path ? fopen(path, "rt") : nullptr);
}

bool CLrcDocument::OpenStream(FILE* file) {
  if (!file) return false;
  ReadFile(file);
  fclose(file);
  return true;
}

void CLrcDocument::GetText(CString& out) {
  CLockGuard guard(m_lock);
  out = m_strText;
}

void CLrcDocument::Clear() {
  CLockGuard guard(m_lock);
  m_strArtist.Empty();
  m_strTitle.Empty();
  m_strAlbum.Empty();
  m_strBy.Empty();
  m_nOffset = 0;
  m_vecLines.clear();
}

LrcEncoding CLrcDocument::GetFileEncoding(FILE* file) {
  unsigned char mark[2] = {0, 0};
  size_t got = fread(mark, 1, 2, file);
  rewind(file);
  if (got == 2 && mark[0] == 0xFF && mark[1] == 0xFE) return LrcEncodingUtf16LE;
  if (got == 2 && mark[0] == 0xFE && mark[1] == 0xFF) return LrcEncodingUtf16BE;
  return LrcEncodingUtf8;
}

void CLrcDocument::ReadFile(FILE* file) {
  LrcEncoding encoding = GetFileEncoding(file);
  m_strText.Empty();
  if (encoding != LrcEncodingUtf8) return;

  char buffer[kPieceBytes];
  std::string carry;   // the start of a character that the last piece cut off
  std::string joined;  // carry and piece together
  bool first = true;
  while (!feof(file)) {
    // An empty buffer makes a read at the end of the file an empty line.
    buffer[0] = '\0';
    // A failed read would never reach the end of the file: stop there too.
    bool got = fgets(buffer, kPieceBytes, file) != nullptr;
    const char* piece = buffer;
    size_t size = got ? strlen(buffer) : 0;
    if (!carry.empty()) {
      joined.assign(carry).append(buffer, size);
      piece = joined.data();
      size = joined.size();
    }
    // A character cut by the piece limit is decoded whole with the next piece instead of
    // turning into two broken halves.
    size_t tail = got && !feof(file) ? IncompleteUtf8Tail(piece, size) : 0;
    carry.assign(piece + size - tail, tail);
    CString line = em_utility::detail::to_wide(CP_UTF8, piece, static_cast<int>(size - tail));

    // A UTF-8 byte-order mark is text of the file, but no text of the first line.
    if (first && !line.IsEmpty() && line[0] == kByteOrderMark) {
      ParseLine(line.Mid(1));
    } else {
      ParseLine(line);
    }
    m_strText += line;
    first = false;
    if (!got) break;
  }
  SortByTime(m_vecLines);
}

void CLrcDocument::ParseLine(const CString& line) {
  enum Delimiter { kNone, kOpen, kColon, kClose };
  const wchar_t* chars = line.GetString();
  const int length = line.GetLength();
  Delimiter last = kNone;
  // The key, and the pending text, as ranges of the line. The pending text always runs from
  // textStart up to pos: every character since the last tag delimiter belongs to it.
  int keyStart = 0;
  int keyEnd = 0;
  int textStart = 0;
  int pos = 0;
  do {
    // Each time tag of the segment gets its record at once; the text follows at its end.
    size_t firstRecord = m_vecLines.size();
    for (; pos < length; ++pos) {
      wchar_t c = chars[pos];
      if (c == L'\n' || c == L'\r') break;
      if (c == L':') {
        if (last == kOpen) {
          keyStart = textStart;
          keyEnd = pos;
          textStart = pos + 1;
          last = kColon;
        }
      } else if (c == L'[') {
        if (pos > textStart) break;  // text stands before this tag: the segment ends here
        last = kOpen;
        keyStart = keyEnd = 0;
        textStart = pos + 1;
      } else if (c == L']') {
        last = kClose;
        ApplyTag(chars + keyStart, chars + keyEnd, chars + textStart, chars + pos);
        keyStart = keyEnd = 0;
        textStart = pos + 1;
      }
    }
    if (m_vecLines.size() > firstRecord) {
      CString text(chars + textStart, pos - textStart);
      for (size_t i = firstRecord; i < m_vecLines.size(); ++i) m_vecLines[i].strText = text;
    }
    if (pos < length && (chars[pos] == L'\n' || chars[pos] == L'\r')) ++pos;
    textStart = pos;
  } while (length - pos > kMinSegmentRest);
}

void CLrcDocument::ApplyTag(const wchar_t* key, const wchar_t* keyEnd, const wchar_t* value,
                            const wchar_t* valueEnd) {
  auto is = [&](const wchar_t* name) {
    size_t n = wcslen(name);
    return static_cast<size_t>(keyEnd - key) == n && wmemcmp(key, name, n) == 0;
  };
  CString* header = is(L"ar")   ? &m_strArtist
                    : is(L"ti") ? &m_strTitle
                    : is(L"al") ? &m_strAlbum
                    : is(L"by") ? &m_strBy
                                : nullptr;
  if (header) {
    *header = CString(value, static_cast<int>(valueEnd - value));
  } else if (is(L"offset")) {
    m_nOffset = ReadTagInt(value, valueEnd);
  } else {
    m_vecLines.push_back(LrcLine{TagTimeMs(key, keyEnd, value, valueEnd), CString(), 0});
  }
}
