// CLrcDocument: one LRC lyric file as read from disk, the only reader of lyric files.
//
// The display window paints straight from m_vecLines and m_nOffset while it holds m_lock; the
// lyric download thread reopens the document under the same lock, so a painter never sees a
// half-read file.
#pragma once

#include <cstdio>
#include <vector>

#include "foundation/lock.h"
#include "lyric/lrc_line.h"
#include "winlayer/cstring.h"

class CLrcDocument {
 public:
  CLrcDocument();
  CLrcDocument(const CLrcDocument&) = delete;
  CLrcDocument& operator=(const CLrcDocument&) = delete;

  // Replaces the content with the file's. false when the file cannot be opened: the document is
  // then cleared (m_strText stays as it was). A file that holds nothing usable still gives true.
  bool Open(const wchar_t* path);
  bool Open(const char* path);  // a path in the ANSI code page

  void GetText(CString& out);
  // Empties the tags, the offset and the lines; the whole text stays until the next read.
  void Clear();

  // Reads the open file: its whole text, tags and lines (sorted by time). A UTF-16 file gives
  // nothing, as its text cannot be read line by line as bytes.
  void ReadFile(FILE* file);
  // Takes the tags and timed lines of one line of text into the document.
  void ParseLine(const CString& line);
  // The encoding the first two bytes announce; the file is left at its start.
  static LrcEncoding GetFileEncoding(FILE* file);

  CString m_strArtist;  // [ar:]
  CString m_strTitle;   // [ti:]
  CString m_strAlbum;   // [al:]
  CString m_strBy;      // [by:]
  int m_nOffset;        // [offset:], milliseconds
  std::vector<LrcLine> m_vecLines;
  CLock m_lock;
  CString m_strText;  // the file as read, line ends as "\n"

 private:
  bool OpenStream(FILE* file);
  void ParseLine(const wchar_t* chars, int length);
  // A tag [key:value] just read: a header tag sets its field, any other key is a time tag and
  // adds a record (without its text yet).
  void ApplyTag(const wchar_t* key, const wchar_t* keyEnd, const wchar_t* value,
                const wchar_t* valueEnd);
};
