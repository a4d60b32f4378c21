// The build's promises to the rest of the code: code page 936, Windows printf semantics for
// wide text, SSE2 arithmetic, and TinyXML inside em_utility.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdarg>
#include <string>

#include "em_tinyxml.h"

namespace {

std::wstring Wide(const wchar_t* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  wchar_t buf[128];
  int n = _vsnwprintf(buf, 127, fmt, args);
  va_end(args);
  buf[n < 0 ? 127 : n] = 0;
  return buf;
}

}  // namespace

TEST(Toolchain, AnsiCodePageIsGbk) {
  EXPECT_EQ(936u, GetACP());
  char gbk[8] = {};
  WideCharToMultiByte(936, 0, L"\u5207", 1, gbk, sizeof gbk, nullptr, nullptr);
  EXPECT_EQ(std::string("\xC7\xD0"), gbk);
}

TEST(Toolchain, WidePrintfReadsPercentSAsWide) {
  EXPECT_EQ(L"[ab-5]", Wide(L"[%s-%d]", L"ab", 5));
}

TEST(Toolchain, DoubleArithmeticIsNotExtended) {
  volatile double seconds = 0.03;
  EXPECT_EQ(30, static_cast<int>(seconds * 1000.0));
}

TEST(Toolchain, TinyXmlLivesInUtilityNamespace) {
  em_utility::TiXmlDocument doc;
  doc.Parse("<configure><a>1</a></configure>");
  ASSERT_FALSE(doc.Error());
  EXPECT_STREQ("1", doc.RootElement()->FirstChildElement("a")->GetText());
}
