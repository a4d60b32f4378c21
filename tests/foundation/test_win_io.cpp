#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <windows.h>

#include "foundation/file_util.h"
#include "foundation/io_base.h"
#include "foundation/win_io_base.h"
#include "support/temp_dir.h"

using em_utility::win_io_base;

namespace {}  // namespace

TEST(WinIo, WritesTruncatesReadsAndAFailedOpenKeepsThePreviousPath) {
  testsupport::TempDir dir;
  std::wstring path = dir.file(L"data.bin");
  std::unique_ptr<em_utility::io_base> io(em_utility::create_io(0));
  ASSERT_TRUE(io);
  EXPECT_EQ(nullptr, em_utility::create_io(1));
  ASSERT_EQ(0, io->create(path.c_str(), 0, 0));
  unsigned n = 0;
  EXPECT_EQ(0, io->write("0123456789", 10, &n));
  io->seek(4, FILE_BEGIN);
  EXPECT_EQ(0, io->set_end_of_file());
  io->seek(-2, FILE_END);
  char buffer[8] = {};
  EXPECT_EQ(0, io->read(buffer, 8, &n));  // a short read at the end is no failure
  EXPECT_EQ("23", std::string(buffer, n));
  io->close();
  EXPECT_EQ("0123", testsupport::ReadFileBytes(path));

  EXPECT_EQ(-1, io->open(dir.file(L"missing.txt").c_str(), 0, false));
  EXPECT_FALSE(io->is_open());
  EXPECT_EQ(-1, io->read(buffer, 1, &n));
  wchar_t out[MAX_PATH];
  io->get_path(out);
  EXPECT_EQ(path, out);
  EXPECT_EQ(0, io->remove());
  EXPECT_FALSE(em_utility::file_exists(path.c_str()));
  EXPECT_EQ(-1, io->remove());
}

// A path of MAX_PATH characters or more has no room for its terminator in a MAX_PATH buffer: it
// is handed out cut and terminated, and remove still deletes the file itself.
TEST(WinIo, LongPathIsHandedOutTerminated) {
  testsupport::TempDir dir;
  for (size_t length : {MAX_PATH - 1, MAX_PATH, MAX_PATH + 5}) {
    std::wstring path = dir.path() + std::wstring(length - dir.path().size(), L'p');
    win_io_base io;
    ASSERT_EQ(0, io.create(path.c_str(), 0, 0)) << length;
    wchar_t out[MAX_PATH + 8];
    wmemset(out, L'#', MAX_PATH + 8);
    EXPECT_EQ(0, io.get_path(out));
    EXPECT_EQ(path.substr(0, MAX_PATH - 1), std::wstring(out));
    EXPECT_EQ(L'#', out[MAX_PATH]) << "written past the buffer";
    EXPECT_EQ(0, io.remove());
    EXPECT_FALSE(em_utility::file_exists(path.c_str()));
  }
}
