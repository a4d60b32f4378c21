#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <windows.h>

#include "foundation/io_base.h"
#include "foundation/win_io_base.h"
#include "support/temp_dir.h"

using em_utility::io_base;
using em_utility::win_io_base;

namespace {

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring PathOf(io_base& io) {
  wchar_t out[MAX_PATH];
  io.get_path(out);
  return out;
}

}  // namespace

TEST(CreateIo, OnlyKindZeroIsAFile) {
  std::unique_ptr<io_base> io(em_utility::create_io(0));
  ASSERT_TRUE(io);
  EXPECT_TRUE(dynamic_cast<win_io_base*>(io.get()));
  EXPECT_FALSE(io->is_open());
  EXPECT_EQ(nullptr, em_utility::create_io(1));
}

TEST(WinIo, WritesAndReadsBack) {
  testsupport::TempDir dir;
  std::wstring path = dir.file(L"data.bin");
  win_io_base io;
  ASSERT_EQ(0, io.create(path.c_str(), 0, 0));
  EXPECT_TRUE(io.is_open());
  EXPECT_EQ(path, PathOf(io));
  unsigned written = 0;
  EXPECT_EQ(0, io.write("0123456789", 10, &written));
  EXPECT_EQ(10u, written);
  EXPECT_EQ(10u, io.tell());
  EXPECT_EQ(0, io.flush());
  EXPECT_EQ(10u, io.size());

  EXPECT_EQ(0, io.seek(4, FILE_BEGIN));
  EXPECT_EQ(0, io.set_end_of_file());
  EXPECT_EQ(4u, io.size());
  io.seek(-2, FILE_END);
  char buffer[8] = {};
  unsigned got = 0;
  EXPECT_EQ(0, io.read(buffer, 8, &got));
  EXPECT_EQ(2u, got);
  EXPECT_EQ("23", std::string(buffer, got));
  EXPECT_EQ(0, io.close());
  EXPECT_FALSE(io.is_open());
  EXPECT_EQ("0123", testsupport::ReadFileBytes(path));
}

TEST(WinIo, ShortReadStopsAtTheEndWithoutFailing) {
  testsupport::TempDir dir;
  std::wstring path = dir.file(L"forty.bin");
  ASSERT_TRUE(testsupport::WriteFileBytes(path, std::string(40, 'x')));
  win_io_base io;
  ASSERT_EQ(0, io.open(path.c_str(), 0, true));
  char buffer[100];
  unsigned got = 99;
  EXPECT_EQ(0, io.read(buffer, 100, &got));
  EXPECT_EQ(40u, got);
  EXPECT_EQ(0, io.read(buffer, 0, &got));
  EXPECT_EQ(0u, got);
  EXPECT_EQ(0, io.read(buffer, -5, &got));
  EXPECT_EQ(0u, got);
}

TEST(WinIo, FailuresAreReportedAndLeaveItClosed) {
  testsupport::TempDir dir;
  std::wstring kept = dir.file(L"kept.txt");
  ASSERT_TRUE(testsupport::WriteFileBytes(kept, "abc"));
  win_io_base io;
  ASSERT_EQ(0, io.open(kept.c_str(), 0, true));
  unsigned n = 0;
  EXPECT_EQ(-1, io.write("x", 1, &n));  // read only

  EXPECT_EQ(-1, io.open(dir.file(L"missing.txt").c_str(), 0, false));
  EXPECT_FALSE(io.is_open());
  EXPECT_EQ(kept, PathOf(io));
  char c;
  EXPECT_EQ(-1, io.read(&c, 1, &n));
  EXPECT_EQ(-1, io.create(dir.file(L"no\\such\\folder.txt").c_str(), 0, 0));
  EXPECT_EQ("abc", testsupport::ReadFileBytes(kept));
}

TEST(WinIo, SharingFollowsTheMode) {
  testsupport::TempDir dir;
  std::wstring path = dir.file(L"shared.txt");
  ASSERT_TRUE(testsupport::WriteFileBytes(path, "abc"));
  win_io_base reader, writer, other;
  ASSERT_EQ(0, reader.open(path.c_str(), 0, true));
  EXPECT_EQ(0, other.open(path.c_str(), 0, true));
  // The reader shares reading only, so nobody else may write.
  EXPECT_EQ(-1, writer.open(path.c_str(), 0, false));
  reader.close();
  other.close();

  ASSERT_EQ(0, writer.create(path.c_str(), 0, 0));
  EXPECT_EQ(-1, reader.open(path.c_str(), 0, true));  // created files are not shared
}

TEST(WinIo, OpeningAgainClosesThePreviousFile) {
  testsupport::TempDir dir;
  std::wstring first = dir.file(L"first.txt");
  std::wstring second = dir.file(L"second.txt");
  win_io_base io;
  ASSERT_EQ(0, io.create(first.c_str(), 0, 0));
  ASSERT_EQ(0, io.create(second.c_str(), 0, 0));
  win_io_base other;
  EXPECT_EQ(0, other.create(first.c_str(), 0, 0));  // no longer held
  EXPECT_EQ(second, PathOf(io));
}

TEST(WinIo, RemoveClosesAndDeletes) {
  testsupport::TempDir dir;
  std::wstring path = dir.file(L"gone.txt");
  win_io_base io;
  ASSERT_EQ(0, io.create(path.c_str(), 0, 0));
  EXPECT_EQ(0, io.remove());
  EXPECT_FALSE(io.is_open());
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ(-1, io.remove());

  win_io_base never_opened;
  EXPECT_EQ(-1, never_opened.remove());
}

// A path of MAX_PATH characters or more has no room for its terminator in a MAX_PATH buffer: it
// is handed out cut and terminated, and the file itself is still the one removed.
TEST(WinIo, LongPathIsHandedOutTerminated) {
  testsupport::TempDir dir;
  for (size_t length : {MAX_PATH - 1, MAX_PATH, MAX_PATH + 5}) {
    std::wstring path = dir.path() + std::wstring(length - dir.path().size(), L'p');
    ASSERT_EQ(length, path.size());
    win_io_base io;
    if (io.create(path.c_str(), 0, 0) != 0) {
      ADD_FAILURE() << "cannot create a path of " << length << " characters";
      continue;
    }
    wchar_t out[MAX_PATH + 8];
    wmemset(out, L'#', MAX_PATH + 8);
    EXPECT_EQ(0, io.get_path(out));
    size_t kept = length < MAX_PATH ? length : MAX_PATH - 1;
    EXPECT_EQ(path.substr(0, kept), std::wstring(out));
    EXPECT_EQ(L'#', out[MAX_PATH]) << "written past the buffer";
    EXPECT_EQ(0, io.remove());
    EXPECT_FALSE(Exists(path));
  }
}
