// The string type: sharing between copies, private copies on change, buffers, editing and
// Windows-style formatting.
#include <gtest/gtest.h>

#include <thread>
#include <utility>
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

TEST(CString, SearchingAndEditingClampTheirBounds) {
  const CString s(L"0123456789");
  const std::pair<CString, const wchar_t*> cases[] = {
      {s.Left(3), L"012"},
      {s.Right(3), L"789"},
      {s.Mid(3, 2), L"34"},
      {s.Mid(20), L""},
      {s.Left(-1), L""},
      {s.Mid(8, 50), L"89"},
      {s.Left(99), L"0123456789"},
      {CString(L" \t x y \r\n").Trim(), L"x y"},
      {CString(L"--ab--").Trim(L'-'), L"ab"},
      {CString(L"AbC\x4E2D").MakeLower(), L"abc\x4E2D"}};
  for (const auto& [got, expected] : cases) EXPECT_EQ(expected, got);

  const CString path(L"a/b/c.mp3");
  EXPECT_EQ(3, path.Find(L'/', 2));
  EXPECT_EQ(3, path.ReverseFind(L'/'));
  EXPECT_EQ(5, path.Find(L".mp3"));
  EXPECT_EQ(-1, path.Find(L'/', 99));
  EXPECT_EQ(-1, path.Find(L'\0'));

  CString line(L"[00:01.00]hello hello");
  EXPECT_EQ(2, line.Replace(L"hello", L"bye"));
  EXPECT_EQ(0, line.Replace(L"", L"x"));
  EXPECT_EQ(13, line.Delete(0, 4));
  line.Insert(0, L'[');
  line.Insert(1, L"00:");
  EXPECT_EQ(2, line.Remove(L'b'));
  EXPECT_EQ(L"[00:01.00]ye ye", line);
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
  CString big;
  big.Format(L"%s", std::wstring(5000, L'x').c_str());
  EXPECT_EQ(5000, big.GetLength());
}

TEST(CString, ComparisonsAndConcatenation) {
  const CString a(L"abc");
  EXPECT_TRUE(L"abc" == a);
  EXPECT_TRUE(a < CString(L"abd"));
  EXPECT_EQ(L"x-abc-y!", L"x-" + a + L"-y" + L'!');
  EXPECT_EQ(5, CString(L"ab\0cd", 5).GetLength());
  const wchar_t* null = nullptr;
  EXPECT_TRUE(CString(null).IsEmpty());
}
