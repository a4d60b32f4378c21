#include "lyric/lrc_document.h"

#include <windows.h>
#include <io.h>

#include <algorithm>
#include <cstdint>
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

// Sorts the lines by time; lines of equal time keep their order in the file. The times are
// sorted a byte at a time from the lowest (each pass keeps equal bytes in order, so the whole is
// stable): four passes over the keys where a comparison sort takes a score; then each record
// moves once.
void SortByTime(std::vector<LrcLine>& lines) {
  if (std::is_sorted(lines.begin(), lines.end(), LrcLineLess)) return;
  const size_t n = lines.size();
  struct Key {
    std::uint32_t time;  // the signed time with its sign bit flipped: unsigned order
    std::uint32_t index;
  };
  std::vector<Key> keys(n), spare(n);
  for (size_t i = 0; i < n; ++i) {
    keys[i] = {static_cast<std::uint32_t>(lines[i].nTime) ^ 0x80000000u,
               static_cast<std::uint32_t>(i)};
  }
  for (int shift = 0; shift < 32; shift += 8) {
    size_t start[257] = {};
    for (const Key& key : keys) ++start[((key.time >> shift) & 255) + 1];
    if (start[((keys[0].time >> shift) & 255) + 1] == n) continue;  // one byte value for all
    for (int b = 0; b < 256; ++b) start[b + 1] += start[b];
    for (const Key& key : keys) spare[start[(key.time >> shift) & 255]++] = key;
    keys.swap(spare);
  }
  std::vector<LrcLine> sorted;
  sorted.reserve(n);
  for (const Key& key : keys) sorted.push_back(std::move(lines[key.index]));
  lines.swap(sorted);
}

// The rest of the stream as the C library's text mode hands it out (line ends as "\n", reading
// ends where the stream ends or fails): never more bytes than the file holds from here, so one
// read of that size (and one more byte, to see the end) takes it all.
std::string ReadRest(FILE* file) {
  const long long size = _filelengthi64(_fileno(file));
  const long long at = _ftelli64(file);
  std::string bytes(size > at ? static_cast<size_t>(size - at) + 1 : 4096, '\0');
  size_t got = 0;
  while ((got += fread(&bytes[got], 1, bytes.size() - got, file)) == bytes.size()) {
    bytes.resize(2 * bytes.size());  // the file grew while it was read
  }
  bytes.resize(got);
  return bytes;
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


// The file is taken in one read and cut into the pieces a line reader with a buffer of
// kPieceBytes would hand out: up to and including a "\n", at most kPieceBytes - 1 bytes, the
// piece's text ending at a NUL byte. After a last piece ending in "\n" (or cut at the limit)
// such a reader reads once more and gets an empty line. Every piece is converted straight into
// the whole text, which cannot be longer in characters than the file is in bytes.
void CLrcDocument::ReadFile(FILE* file) {
  LrcEncoding encoding = GetFileEncoding(file);
  m_strText.Empty();
  if (encoding != LrcEncodingUtf8) return;

  const std::string bytes = ReadRest(file);
  const char* const begin = bytes.data();
  const char* const end = begin + bytes.size();
  wchar_t* const text = m_strText.GetBuffer(static_cast<int>(bytes.size()));
  int length = 0;
  std::string joined;  // a cut character's start and the next piece
  size_t carried = 0;  // bytes of that start
  const char* next = begin;
  bool ended = false;  // the reader has met the end of the file
  for (bool first = true; !ended; first = false) {
    const char* piece = next;
    const char* limit = end - next < kPieceBytes - 1 ? end : next + (kPieceBytes - 1);
    const char* newline = static_cast<const char*>(std::memchr(next, '\n', limit - next));
    next = newline ? newline + 1 : limit;
    // Only a piece that stopped at neither a line end nor the byte limit has met the end.
    ended = next == piece || (!newline && next == end && next - piece < kPieceBytes - 1);
    const char* nul = static_cast<const char*>(std::memchr(piece, '\0', next - piece));
    size_t size = (nul ? nul : next) - piece;
    // A character cut by the piece limit is decoded whole with the next piece instead of
    // turning into two broken halves. Only the limit cuts characters: a NUL byte ends the
    // piece's text where it stands.
    const bool cutByLimit = !newline && size == static_cast<size_t>(kPieceBytes - 1);
    if (carried) {
      joined.resize(carried);
      joined.append(piece, size);
      piece = joined.data();
      size = joined.size();
    }
    const size_t tail = cutByLimit ? IncompleteUtf8Tail(piece, size) : 0;
    const int converted =
        size > tail ? MultiByteToWideChar(CP_UTF8, 0, piece, static_cast<int>(size - tail),
                                          text + length, static_cast<int>(bytes.size()) - length)
                    : 0;
    if (tail) joined = std::string(piece + size - tail, tail);
    carried = tail;

    // A UTF-8 byte-order mark is text of the file, but no text of the first line.
    const wchar_t* line = text + length;
    const int skip = first && converted > 0 && line[0] == kByteOrderMark ? 1 : 0;
    ParseLine(line + skip, converted - skip);
    length += converted;
  }
  m_strText.ReleaseBuffer(length);
  SortByTime(m_vecLines);
}

void CLrcDocument::ParseLine(const CString& line) {
  ParseLine(line.GetString(), line.GetLength());
}

void CLrcDocument::ParseLine(const wchar_t* chars, int length) {
  enum Delimiter { kNone, kOpen, kColon, kClose };
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
      for (size_t i = firstRecord; i + 1 < m_vecLines.size(); ++i) m_vecLines[i].strText = text;
      m_vecLines.back().strText = std::move(text);
    }
    if (pos < length && (chars[pos] == L'\n' || chars[pos] == L'\r')) ++pos;
    textStart = pos;
  } while (length - pos > kMinSegmentRest);
}

void CLrcDocument::ApplyTag(const wchar_t* key, const wchar_t* keyEnd, const wchar_t* value,
                            const wchar_t* valueEnd) {
  // Header tags have keys of two letters, and "offset"; time tags are by far the most.
  const ptrdiff_t size = keyEnd - key;
  auto is = [&](const wchar_t (&name)[3]) { return key[0] == name[0] && key[1] == name[1]; };
  CString* header = size != 2      ? nullptr
                    : is(L"ar") ? &m_strArtist
                    : is(L"ti") ? &m_strTitle
                    : is(L"al") ? &m_strAlbum
                    : is(L"by") ? &m_strBy
                                : nullptr;
  if (header) {
    *header = CString(value, static_cast<int>(valueEnd - value));
  } else if (size == 6 && wmemcmp(key, L"offset", 6) == 0) {
    m_nOffset = ReadTagInt(value, valueEnd);
  } else {
    m_vecLines.push_back(LrcLine{TagTimeMs(key, keyEnd, value, valueEnd), CString(), 0});
  }
}
