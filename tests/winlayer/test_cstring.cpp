// The string type: sharing between copies, private copies on change, buffers, editing and
// Windows-style formatting.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "support/gtest_cstring.h"
#include "winlayer/cstring.h"

TEST(CString, CopiesShareUntilOneChanges) {
  CString a(L"lyric");
  CString b = a;
  EXPECT_EQ(a.GetString(), b.GetString());  // one buffer
  b.SetAt(0, L'L');
  EXPECT_EQ(L"lyric", a);
  EXPECT_EQ(L"Lyric", b);

  CString c = a;
  c += L" line";
  EXPECT_EQ(L"lyric", a);
  EXPECT_EQ(L"lyric line", c);
}

TEST(CString, BufferHandedOutIsNeverShared) {
  CString a(L"abc");
  wchar_t* buffer = a.GetBuffer(10);
  CString copy = a;  // taken while the buffer is out: must not see later writes
  wcscpy(buffer, L"xyz123");
  a.ReleaseBuffer();
  EXPECT_EQ(L"xyz123", a);
  EXPECT_EQ(6, a.GetLength());
  EXPECT_EQ(L"abc", copy);

  wchar_t* fixed = a.GetBufferSetLength(2);
  fixed[1] = L'!';
  a.ReleaseBuffer(2);
  EXPECT_EQ(L"x!", a);

  CString empty;
  empty.GetBuffer(0);
  empty.ReleaseBuffer();
  EXPECT_TRUE(empty.IsEmpty());
}

TEST(CString, ConcurrentCopiesKeepTheCountRight) {
  CString shared(L"shared between threads");
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&shared] {
      for (int i = 0; i < 20000; ++i) {
        CString local = shared;
        local += L'x';
        ASSERT_EQ(23, local.GetLength());
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(L"shared between threads", shared);
}

TEST(CString, SubstringsClampTheirBounds) {
  CString s(L"0123456789");
  EXPECT_EQ(L"012", s.Left(3));
  EXPECT_EQ(L"789", s.Right(3));
  EXPECT_EQ(L"3456789", s.Mid(3));
  EXPECT_EQ(L"34", s.Mid(3, 2));
  EXPECT_EQ(L"", s.Mid(20));
  EXPECT_EQ(L"0123456789", s.Left(99));
  EXPECT_EQ(L"", s.Left(-1));
  EXPECT_EQ(L"89", s.Mid(8, 50));
}

TEST(CString, FindAndReverseFind) {
  CString s(L"a/b/c.mp3");
  EXPECT_EQ(1, s.Find(L'/'));
  EXPECT_EQ(3, s.Find(L'/', 2));
  EXPECT_EQ(3, s.ReverseFind(L'/'));
  EXPECT_EQ(5, s.Find(L".mp3"));
  EXPECT_EQ(-1, s.Find(L"wav"));
  EXPECT_EQ(-1, s.Find(L'/', 99));
  EXPECT_EQ(-1, s.Find(L'\0'));
  EXPECT_EQ(1, s.FindOneOf(L"/."));
}

TEST(CString, EditingInPlace) {
  CString s(L"[00:01.00]hello hello");
  EXPECT_EQ(2, s.Replace(L"hello", L"bye"));
  EXPECT_EQ(L"[00:01.00]bye bye", s);
  EXPECT_EQ(0, s.Replace(L"", L"x"));
  EXPECT_EQ(13, s.Delete(0, 4));
  EXPECT_EQ(L"01.00]bye bye", s);
  s.Insert(0, L'[');
  s.Insert(1, L"00:");
  EXPECT_EQ(L"[00:01.00]bye bye", s);
  EXPECT_EQ(2, s.Remove(L'b'));
  EXPECT_EQ(L"[00:01.00]ye ye", s);
  CString t(L"AbC\x4E2D");
  EXPECT_EQ(L"abc\x4E2D", CString(t).MakeLower());
  EXPECT_EQ(L"ABC\x4E2D", CString(t).MakeUpper());
  EXPECT_EQ(L"x y", CString(L" \t x y \r\n").Trim());
  EXPECT_EQ(L"ab", CString(L"--ab--").Trim(L'-'));
}

TEST(CString, PiecesOfItselfCanBeAppendedAndInserted) {
  CString s(L"abc");
  s += s;
  EXPECT_EQ(L"abcabc", s);
  s += s.GetString() + 4;
  EXPECT_EQ(L"abcabcbc", s);
  s = s.GetString() + 6;
  EXPECT_EQ(L"bc", s);
  s.Insert(1, s.GetString());
  EXPECT_EQ(L"bbcc", s);
}

TEST(CString, FormatUsesWindowsRules) {
  CString s;
  s.Format(L"%s-%d", L"ab", 5);
  EXPECT_EQ(L"ab-5", s);
  s.Format(L"nKey1 = %d, nKey2 = %d", -1, 2);
  EXPECT_EQ(L"nKey1 = -1, nKey2 = 2", s);
  s.Format(L"%S|%ls", "narrow", L"wide");
  EXPECT_EQ(L"narrow|wide", s);
  s.AppendFormat(L"%s", s.GetString());  // the argument is the string itself
  EXPECT_EQ(L"narrow|widenarrow|wide", s);
  CString big;
  big.Format(L"%s", std::wstring(5000, L'x').c_str());
  EXPECT_EQ(5000, big.GetLength());
}

TEST(CString, TokenizeWalksTheDelimitedPieces) {
  CString s(L"a,,b;c");
  int pos = 0;
  std::vector<CString> parts;
  for (CString t = s.Tokenize(L",;", pos); pos >= 0; t = s.Tokenize(L",;", pos)) parts.push_back(t);
  ASSERT_EQ(3u, parts.size());
  EXPECT_EQ(L"a", parts[0]);
  EXPECT_EQ(L"b", parts[1]);
  EXPECT_EQ(L"c", parts[2]);
}

TEST(CString, ComparisonsAndConcatenation) {
  CString a(L"abc");
  EXPECT_TRUE(a == L"abc");
  EXPECT_TRUE(L"abc" == a);
  EXPECT_TRUE(a != CString(L"abd"));
  EXPECT_TRUE(a < CString(L"abd"));
  EXPECT_EQ(0, a.CompareNoCase(L"ABC"));
  EXPECT_EQ(L"x-abc-y", L"x-" + a + L"-y");
  EXPECT_EQ(L"abc!", a + L'!');
  EXPECT_EQ(CString(L"ab\0cd", 5).GetLength(), 5);
  EXPECT_EQ(L"zzz", CString(L'z', 3));
  const wchar_t* null = nullptr;
  EXPECT_TRUE(CString(null).IsEmpty());
}
