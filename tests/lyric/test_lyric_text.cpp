// The editor's text rules without windows: time tags inserted and shifted, the bytes of a save
// and the line filter, the upload result codes and the pasted page addresses.
#include <gtest/gtest.h>

#include <string>

#include "lyric/lyric_file.h"
#include "lyric/song_address.h"
#include "lyric/time_tag.h"
#include "lyric/upload_result.h"
#include "support/gtest_cstring.h"
#include "support/temp_dir.h"

TEST(TimeTag, InsertTagTruncatesToHundredths) {
  struct {
    double seconds;
    const wchar_t* tag;
  } cases[] = {{65.437, L"[01:05.43]"}, {0.0, L"[00:00.00]"},     {59.999, L"[00:59.99]"},
               {600.5, L"[10:00.50]"},  {6000.0, L"[100:00.00]"}, {3.5, L"[00:03.50]"}};
  for (const auto& c : cases) EXPECT_EQ(CString(c.tag), FormatInsertTag(c.seconds)) << c.seconds;
}

TEST(TimeTag, TaggedLineNeedsBracketDigitColonAndClose) {
  struct {
    const wchar_t* prefix;
    bool tagged;
  } cases[] = {{L"[01:00.00]", true}, {L"[1:00]abcd", true}, {L"[0:1]", true},
               {L"[0:1", false},      {L"[ar:x]", false},    {L"01:00.00]x", false},
               {L"[01]", false},      {L"", false},          {L"[01:00.000]", false}};
  for (const auto& c : cases) EXPECT_EQ(c.tagged, IsTimeTagLine(c.prefix)) << c.prefix;
}

// F5 inserts in front; F6 replaces the line's own tag, and nothing after that tag's "]".
TEST(TimeTag, F6ReplacesOnlyTheLeadingTag) {
  const CString tag = L"[01:05.43]";
  struct {
    const wchar_t* prefix;
    bool keep;
    int replaced;
    bool down;
  } cases[] = {
      {L"[01:00.00]", true, 0, true},   {L"[01:00.00]", false, 10, false},
      {L"[01:00]abc", false, 7, false}, {L"[1:00.00]x", false, 9, false},
      {L"abc", false, 0, true},         {L"", false, 0, true},
  };
  for (const auto& c : cases) {
    TagInsertion plan = PlanTagInsertion(c.prefix, tag, c.keep);
    EXPECT_EQ(c.replaced, plan.replaceCount) << c.prefix << " keep " << c.keep;
    EXPECT_EQ(tag, plan.text);
    EXPECT_EQ(c.down, plan.moveToNextLine) << c.prefix;
  }
}

TEST(TimeTag, ShiftMovesEveryTagOnce) {
  struct {
    const wchar_t* text;
    int delta;
    const wchar_t* shifted;
  } cases[] = {
      {L"[00:01.00]a\r\n[00:01.00]b", 500, L"[00:01.50]a\r\n[00:01.50]b"},
      {L"[00:59.80]x", 500, L"[01:00.30]x"},
      {L"[01:00.30]x", -500, L"[00:59.80]x"},
      {L"[00:01.00][00:02.00]ab", -500, L"[00:00.50][00:01.50]ab"},
      {L"[ar:someone]\r\n[00:01.234]x [100:00.00]y", 500,
       L"[ar:someone]\r\n[00:01.234]x [100:00.00]y"},
      {L"no tags [ here", 500, L"no tags [ here"},
      {L"[abc [00:01.00]x", 500, L"[abc [00:01.50]x"},
  };
  for (const auto& c : cases) EXPECT_EQ(CString(c.shifted), ShiftTimeTagsText(c.text, c.delta));
}

// One-digit minutes are read as minutes, times stop at zero, and no tag shows 60 seconds. The
// seconds are read in single precision and truncated to the millisecond, so a longer fraction is
// rounded once, when the tag is written (59.495 reads as 59.494; 1.2345 as 1.234).
TEST(TimeTag, ShiftSplitsAtTheColonFloorsAtZeroAndCarries) {
  struct {
    const wchar_t* text;
    int delta;
    const wchar_t* shifted;
  } cases[] = {
      {L"[1:23.45]", 500, L"[01:23.95]"},   {L"[00:00.20]", -500, L"[00:00.00]"},
      {L"[00:-0.30]", 500, L"[00:00.20]"},  {L"[00:59.495]", 500, L"[00:59.495]"},
      {L"[0:59.495]", 500, L"[00:59.99]"},  {L"[0:59.496]", 500, L"[01:00.00]"},
      {L"[59:59.80]", 500, L"[60:00.30]"},  {L"[0:1.2345]", 500, L"[00:01.73]"},
      {L"[0:1.2345]", -500, L"[00:00.73]"}, {L"[0:9e99]", 500, L"[1666666666:40.00]"},
  };
  for (const auto& c : cases) EXPECT_EQ(CString(c.shifted), ShiftTimeTagsText(c.text, c.delta));
  EXPECT_EQ(CString(L"[01:00.00]"), FormatShiftedTag(59995));
  EXPECT_EQ(CString(L"[00:59.99]"), FormatShiftedTag(59994));
}

TEST(LyricSave, BoxTextBecomesCrCrLfAndTheFilterEndsEveryLine) {
  std::string stored = EncodeLyricText(L"A\r\n\r\nB");
  EXPECT_EQ(std::string("A\r\r\n\r\r\nB"), stored);
  EXPECT_EQ(std::string("A\r\r\n\r\r\nB\r\n"), FilterLyricBytes(stored));
  // Saving what was loaded back (CR LF read as "\n", shown as CR LF again) changes nothing more.
  EXPECT_EQ(std::string("A\r\r\n\r\r\nB\r\n"), FilterLyricBytes(FilterLyricBytes(stored)));
  EXPECT_EQ(std::string("x\r\r\n"), EncodeLyricText(L"x\r\r\r\r\r\r\r\r\n"));
  EXPECT_EQ(std::string("\xE6\x99\xB4\r\n"), FilterLyricBytes(EncodeLyricText(L"晴\n\n")));
}

TEST(LyricSave, AdvertLinesAreDropped) {
  struct {
    const char* line;
    bool advert;
  } cases[] = {{"QQ 12345", true},      {"qq:8", true},
               {"Qq and 7", true},      {"Q1", false},
               {"QQ no digit", false},  {"QQq1", true},
               {"QQ x Q 9", false},     {"www.x.com", true},
               {"WWW.X.COM", false},    {"\xE6\x99\xB4QQ\xE5\x8F\xB7 3", true},
               {"[00:01.00]qq 5", true}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.advert, IsAdvertLine(c.line, strlen(c.line))) << c.line;
  }
  EXPECT_EQ(std::string("keep\r\n"), FilterLyricBytes("QQ 123\r\nkeep\r\nwww.a\r\n\r\n"));
}

// Which files the editor refuses to show (and so never saves over): both UTF-16 byte orders and
// bytes that are not UTF-8; a UTF-8 mark and an empty file are read.
TEST(LyricSave, ClassifiesWhatTheEditorCanRead) {
  testsupport::TempDir dir;
  struct {
    const char* bytes;
    LyricFileText kind;
  } cases[] = {{"[00:01.00]\xE6\x99\xB4\r\n", LyricFileText::kReadable},
               {"\xEF\xBB\xBFx", LyricFileText::kReadable},
               {"", LyricFileText::kReadable},
               {"\xFF\xFE[\0", LyricFileText::kUtf16},
               {"\xFE\xFF\0[", LyricFileText::kUtf16},
               {"[00:01.00]\xC7\xE7\xCC\xEC\r\n", LyricFileText::kNotUtf8}};
  for (const auto& c : cases) {
    std::wstring path = dir.file(L"a.lrc");
    std::string bytes(c.bytes, c.kind == LyricFileText::kUtf16 ? 4 : strlen(c.bytes));
    ASSERT_TRUE(testsupport::WriteFileBytes(path, bytes));
    EXPECT_EQ(c.kind, ClassifyLyricFile(path.c_str())) << c.bytes;
  }
  EXPECT_EQ(LyricFileText::kMissing, ClassifyLyricFile(dir.file(L"none.lrc").c_str()));
}

TEST(UploadResult, StatusAndErrGiveTheCode) {
  struct {
    const char* status;
    const char* err;
    int code;
    const char* errText;
  } cases[] = {
      {"ok", "", kUploadDone, ""},
      {"failed", "102 The lyric file is empty", kUploadLyricEmpty, "102 The lyric file is empty"},
      {"failed", "107", kUploadRefused107, "107"},
      {"failed", "101 105", kUploadLyricLocked, "101 105"},
      {"failed", "999 other", kUploadOtherError, "999 other"},
      {"weird", "101", kUploadOtherError, ""}};
  for (const auto& c : cases) {
    std::string errText = "stale";
    EXPECT_EQ(c.code, MapUploadResult(c.status, c.err, errText)) << c.status << " " << c.err;
    EXPECT_EQ(c.errText, errText);
  }
}

TEST(SongAddress, FindsSongAndAlbumIds) {
  struct {
    const wchar_t* text;
    bool isSong;
    int songId;
    bool isAlbum;
    int albumId;
  } cases[] = {
      {L"http://www.daruruvi.com/song/123?from=list", true, 123, false, 0},
      {L"http://www.daruruvi.com/album/456", false, 0, true, 456},
      {L"http://daruruvi.com/song/123", false, 0, false, 0},
      {L"song/77 at www.daruruvi.com", true, 77, false, 0},
      {L"http://www.daruruvi.com/album/9/song/12", true, 12, true, 9},
      {L"http://www.daruruvi.com/song", true, 0, false, 0},
      {L"http://www.other.com/song/5", false, 0, false, 0},
  };
  for (const auto& c : cases) {
    SongAddress address = ParseSongAddress(c.text, L"daruruvi");
    EXPECT_EQ(c.isSong, address.isSong) << c.text;
    EXPECT_EQ(c.songId, address.songId) << c.text;
    EXPECT_EQ(c.isAlbum, address.isAlbum) << c.text;
    EXPECT_EQ(c.albumId, address.albumId) << c.text;
  }
}
