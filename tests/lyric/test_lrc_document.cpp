#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <windows.h>

#include "lyric/lrc_document.h"
#include "lyric/lrc_tag_number.h"
#include "support/gtest_cstring.h"
#include "support/temp_dir.h"

namespace {

using Records = std::vector<std::pair<int, std::wstring>>;

class LrcFile : public ::testing::Test {
 protected:
  // Writes bytes as the lyric file and opens it.
  bool Load(const std::string& bytes) {
    EXPECT_TRUE(testsupport::WriteFileBytes(m_path, bytes));
    return m_doc.Open(m_path.c_str());
  }
  // The (time, text) records of a file holding these bytes.
  Records Parse(const std::string& bytes) {
    EXPECT_TRUE(Load(bytes));
    Records records;
    for (const LrcLine& line : m_doc.m_vecLines) {
      records.emplace_back(line.nTime, line.strText.GetString());
      EXPECT_EQ(0, line.nWidth);
    }
    return records;
  }
  CString Text() {
    CString text;
    m_doc.GetText(text);
    return text;
  }

  testsupport::TempDir m_dir;
  std::wstring m_path = m_dir.file(L"song.lrc");
  CLrcDocument m_doc;
};

double Seconds(const wchar_t* text) {
  return ReadTagDouble(text, text + wcslen(text));
}

}  // namespace

TEST_F(LrcFile, TimeTagsReadMinutesAndSeconds) {
  struct {
    const char* tag;
    int ms;
  } cases[] = {
      {"[00:12.50]", 12500},
      {"[01:02.345]", 62345},
      {"[00:00.999]", 999},
      {"[00:00.03]", 30},    // 0.03 x 1000 must not come out as 29
      {"[12]", 12000},       // no ':': the seconds alone
      {"[00:01:02]", 1000},  // the second ':' stays in the seconds, which stop at it
      {"[AR:x]", 0},         // keys are case-sensitive: a time tag, not the artist
      {"[]", 0},
      {"[ 1: 2.5]", 62500},
      {"[-1:30]", -30000},
      {"[+2:1e1]", 130000},
      {"[00:1e]", 1000},
      {"[abc:def]", 0},
      {"[99999999:00]", INT_MAX},  // beyond the range: its end
      {"[-99999999:00]", INT_MIN},
  };
  for (const auto& c : cases) {
    EXPECT_EQ((Records{{c.ms, L"x"}}), Parse(std::string(c.tag) + "x\n")) << c.tag;
  }
  EXPECT_EQ(L"", m_doc.m_strArtist);
}

TEST_F(LrcFile, HeaderTagsKeepTheirValuesAsWritten) {
  EXPECT_EQ(Records{}, Parse("[ar:Singer]\n[ti: Title ]\n[al:Al:bum]\n[by:me]\n[offset:-200]\n"));
  EXPECT_EQ(L"Singer", m_doc.m_strArtist);
  EXPECT_EQ(L" Title ", m_doc.m_strTitle);
  EXPECT_EQ(L"Al:bum", m_doc.m_strAlbum);
  EXPECT_EQ(L"me", m_doc.m_strBy);
  EXPECT_EQ(-200, m_doc.m_nOffset);
  for (auto offset : {std::make_pair("+500", 500), {" 12ms", 12}, {"abc", 0}}) {
    Parse(std::string("[offset:") + offset.first + "]\n");
    EXPECT_EQ(offset.second, m_doc.m_nOffset) << offset.first;
  }
}

TEST_F(LrcFile, SegmentsOfALine) {
  EXPECT_EQ((Records{{1000, L"abc"}, {2000, L"abc"}}), Parse("[00:01.00][00:02.00]abc\n"));
  EXPECT_EQ((Records{{1000, L"a"}, {2000, L"b"}}), Parse("[00:01]a[00:02]b\n"));
  EXPECT_EQ((Records{{1000, L""}}), Parse("[00:01]\n"));
  // The ']' after a ends a tag with an empty key: a time tag of the value a, i.e. 0 ms.
  EXPECT_EQ((Records{{0, L"b"}, {1000, L"b"}}), Parse("[00:01]a]b\n"));
  // From the second '[' on only "[bc]\n" is left, too short to be read.
  EXPECT_EQ((Records{{1000, L"a"}}), Parse("[00:01]a[bc]\n"));
  EXPECT_EQ((Records{{5000, L"x"}}), Parse("intro[00:05]x\n"));  // text before a tag is dropped
  EXPECT_EQ((Records{{1000, L"a"}, {2000, L"b"}}), Parse("[00:01]a\r[00:02]b\n"));
  EXPECT_EQ((Records{{1000, L"a:b"}}), Parse("[00:01]a:b\n"));
}

TEST_F(LrcFile, KeepsTheWholeTextAsRead) {
  std::string file =
      "[ti:\xE6\xAD\x8C]\r\n"  // 歌
      "[00:02.00]second\r\n"
      "plain text\r\n"
      "\r\n"
      "[00:01.00]first";
  EXPECT_EQ((Records{{1000, L"first"}, {2000, L"second"}}), Parse(file));
  EXPECT_EQ(L"歌", m_doc.m_strTitle);
  EXPECT_EQ(CString(L"[ti:歌]\n[00:02.00]second\nplain text\n\n[00:01.00]first"), Text());

  // The editor stores each line break of its box as CR CR LF.
  EXPECT_EQ((Records{{1000, L"a"}, {2000, L"b"}}), Parse("[00:01]a\r\r\n[00:02]b\r\r\n"));
  EXPECT_EQ(CString(L"[00:01]a\r\n[00:02]b\r\n"), Text());
}

TEST_F(LrcFile, EmptyAndUtf16FilesGiveNothing) {
  EXPECT_TRUE(Load(""));
  EXPECT_TRUE(m_doc.m_vecLines.empty());
  EXPECT_EQ(CString(), Text());
  for (const char* mark : {"\xFF\xFE", "\xFE\xFF"}) {
    Parse("[ti:x]\n[00:01]a\n");
    EXPECT_TRUE(Load(mark + std::string("[\0t\0i\0:\0x\0]\0", 12)));
    EXPECT_TRUE(m_doc.m_vecLines.empty());
    EXPECT_EQ(L"", m_doc.m_strTitle);
    EXPECT_EQ(CString(), Text());
  }
}

TEST_F(LrcFile, AFailedOpenClearsAllButTheText) {
  Parse("[ar:A][ti:T][al:L][by:B][offset:7]\n[00:01]a\n");
  EXPECT_FALSE(m_doc.Open(m_dir.file(L"missing.lrc").c_str()));
  EXPECT_FALSE(m_doc.Open(static_cast<const char*>(nullptr)));
  EXPECT_EQ(CString(), m_doc.m_strArtist + m_doc.m_strTitle + m_doc.m_strAlbum + m_doc.m_strBy);
  EXPECT_EQ(0, m_doc.m_nOffset);
  EXPECT_TRUE(m_doc.m_vecLines.empty());
  EXPECT_EQ(CString(L"[ar:A][ti:T][al:L][by:B][offset:7]\n[00:01]a\n"), Text());

  char narrow[MAX_PATH];  // the same file by its ANSI path
  WideCharToMultiByte(CP_ACP, 0, m_path.c_str(), -1, narrow, MAX_PATH, nullptr, nullptr);
  EXPECT_TRUE(m_doc.Open(narrow));
  EXPECT_EQ(L"A", m_doc.m_strArtist);
}

TEST_F(LrcFile, AReadErrorEndsTheReading) {
  // A stream that cannot be read never reaches its end: reading must stop all the same.
  FILE* unreadable = _wfopen(m_path.c_str(), L"w");
  ASSERT_TRUE(unreadable);
  m_doc.ReadFile(unreadable);
  fclose(unreadable);
  EXPECT_TRUE(m_doc.m_vecLines.empty());
}

TEST_F(LrcFile, AUtf8MarkIsReadAsIfAbsent) {
  EXPECT_EQ((Records{{12000, L""}}), Parse("\xEF\xBB\xBF[12]\n[ti:T]\n"));
  EXPECT_EQ(L"T", m_doc.m_strTitle);
  EXPECT_EQ(CString(L"\xFEFF[12]\n[ti:T]\n"), Text());
}

TEST_F(LrcFile, LongLinesArriveInPiecesOf1023Bytes) {
  // 7 + 1016 bytes fill the first piece; "yy" is a line of its own, without a tag.
  std::string first = "[00:01]" + std::string(1016, 'x');
  EXPECT_EQ((Records{{1000, std::wstring(1016, L'x')}}), Parse(first + "yy\n"));

  // A character cut by the piece limit is neither broken nor lost.
  std::string cut = "[00:01]" + std::string(1015, 'x') + "\xE4\xB8\xAD" + "yy\n";  // 中
  EXPECT_EQ((Records{{1000, std::wstring(1015, L'x')}}), Parse(cut));
  EXPECT_EQ(CString(L"[00:01]") + CString(L'x', 1015) + L"中yy\n", Text());
}

TEST_F(LrcFile, TheEndOfTheFileAsTextModeReadsIt) {
  const std::string x(1014, 'x');
  const struct {
    std::string file;
    Records records;
    CString text;
  } cases[] = {
      // 1023 bytes, the last character cut by the piece limit and by the end of the file.
      {"[00:01]" + x + "\xE4\xB8", {{1000, std::wstring(1014, L'x')}},
       CString(L"[00:01]") + CString(L'x', 1014) + L"\xFFFD"},
      {"[00:01]a\x1A[00:02]b\n", {{1000, L"a"}}, L"[00:01]a"},  // Ctrl-Z ends a text file
      {"[00:01]a\r", {{1000, L"a"}}, L"[00:01]a\r"},
      {"[00:01]a\r\n\n", {{1000, L"a"}}, L"[00:01]a\n\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.records, Parse(c.file)) << c.file.size();
    EXPECT_EQ(c.text, Text()) << c.file.size();
  }
}

TEST_F(LrcFile, ANulByteEndsALinesTextWithoutCuttingACharacter) {
  // The line's text ends at the NUL; the lead byte before it is a broken character of this line
  // and moves nowhere, so the short tag on the next line is still read.
  const char file[] = "[00:01]a\xE4\0zz\n[12]\n";
  EXPECT_EQ((Records{{1000, L"a\xFFFD"}, {12000, L""}}), Parse(std::string(file, sizeof file - 1)));
  EXPECT_EQ(CString(L"[00:01]a\xFFFD[12]\n"), Text());
}

TEST_F(LrcFile, LinesComeSortedByTime) {
  Records records = Parse("[00:03]c\n[00:01]a\n[00:02]b1[00:02]b2\n[00:02]b3\n");
  ASSERT_EQ(5u, records.size());
  EXPECT_EQ(1000, records[0].first);
  EXPECT_EQ(3000, records[4].first);
  // Equal times come in no particular order.
  std::sort(records.begin() + 1, records.begin() + 4);
  EXPECT_EQ((Records{{2000, L"b1"}, {2000, L"b2"}, {2000, L"b3"}}),
            Records(records.begin() + 1, records.begin() + 4));
}

TEST_F(LrcFile, ReadersHoldingTheLockNeverSeeAHalfReadFile) {
  std::string file;
  for (int i = 0; i < 200; ++i) file += "[00:" + std::to_string(i % 60) + "]line\n";
  ASSERT_EQ(200u, Parse(file).size());
  std::thread reloader([this] {
    for (int i = 0; i < 30; ++i) m_doc.Open(m_path.c_str());
  });
  for (int i = 0; i < 300; ++i) {
    CLockGuard guard(m_doc.m_lock);
    ASSERT_EQ(200u, m_doc.m_vecLines.size());
    ASSERT_TRUE(std::is_sorted(m_doc.m_vecLines.begin(), m_doc.m_vecLines.end(), LrcLineLess));
  }
  reloader.join();
}

TEST(LrcTagNumber, SecondsRoundLikeTheCLibrary) {
  unsigned seed = 7;
  for (int i = 0; i < 5000; ++i) {
    seed = seed * 1103515245u + 12345u;
    wchar_t text[32];
    int digits = 1 + static_cast<int>(seed >> 28) % 12;
    _snwprintf(text, 32, L"%u.%0*u", (seed >> 8) % 100, digits, seed % 1000000000u);
    std::string narrow(text, text + wcslen(text));
    ASSERT_EQ(std::strtod(narrow.c_str(), nullptr), Seconds(text)) << narrow;
  }
  EXPECT_EQ(1234567890123456789.5, Seconds(L"1234567890123456789.5"));
  EXPECT_EQ(0.0, Seconds(L"inf"));
  EXPECT_EQ(0.0, Seconds(L"0x10"));
}
