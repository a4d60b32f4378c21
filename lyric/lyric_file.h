// Lyric files as the editor writes them: the bytes of a save, the line filter that drops empty
// and advertising lines, and the test that decides whether the editor can read a file back.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "winlayer/cstring.h"

// The bytes a save writes for the text of the lyric box: runs of CR shortened (three passes of
// "\r\r" to "\r"), UTF-8 without a byte-order mark, and each "\n" written as CR LF, so a line
// break of the box (CR LF) is stored as CR CR LF.
std::string EncodeLyricText(const CString& boxText);

// A line that advertises: a doubled Q (either case) with a digit after it before the next Q,
// or "www." in that case.
bool IsAdvertLine(const char* line, size_t length);

// The file's bytes read back as text (CR LF as "\n"), split at "\n", without the lines that are
// empty as read or advertise; every kept line ends in CR LF.
std::string FilterLyricBytes(const std::string& fileBytes);

// Rewrites the file at path through FilterLyricBytes. False when it cannot be read or written
// (a file that cannot be read is left as it is).
bool FilterLyricFile(const wchar_t* path);

// Creates or replaces path with the bytes. False with the system's error code when the file
// cannot be opened or not every byte reached it.
bool WriteLyricBytes(const wchar_t* path, const std::string& bytes, DWORD* error);

// How the editor can read a lyric file.
enum class LyricFileText {
  kReadable,  // UTF-8 (or ASCII), with or without a byte-order mark
  kUtf16,     // a UTF-16 byte-order mark: the reader gives no text
  kNotUtf8,   // bytes that are not UTF-8 (a file in a local code page): the reader garbles them
  kMissing,   // cannot be opened
};
LyricFileText ClassifyLyricFile(const wchar_t* path);
