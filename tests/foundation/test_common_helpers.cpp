// The shared helpers: waiting for workers, file copies and deletes, the browser, wrapped text,
// dates and string formatting.
#include <gtest/gtest.h>
#include <windows.h>

#include <ctime>

#include "foundation/common_helpers.h"
#include "foundation/lock.h"
#include "foundation/logger.h"
#include "support/message_box_recorder.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"

using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

auto* const g_folder = static_cast<testsupport::TempProgramFolder*>(
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder));

DWORD WINAPI ExitWith(LPVOID code) {
  return static_cast<DWORD>(reinterpret_cast<UINT_PTR>(code));
}

DWORD WINAPI SetEventProc(LPVOID event) {
  return SetEvent(static_cast<HANDLE>(event)) ? 0 : 1;
}

// Signals the event once it runs its own code, then sleeps for ever.
DWORD WINAPI SleepForever(LPVOID started) {
  SetEvent(static_cast<HANDLE>(started));
  Sleep(INFINITE);
  return 0;
}

struct Handle {
  explicit Handle(HANDLE h) : h(h) {}
  ~Handle() {
    if (h) CloseHandle(h);
  }
  HANDLE h;
};

// A worker that is surely past its start-up: killing a thread while the runtime still sets it
// up (under the loader lock) would break the whole process, not what the test is about.
HANDLE StartSleeper() {
  Handle started(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  HANDLE thread = CreateThread(nullptr, 0, SleepForever, started.h, 0, nullptr);
  WaitForSingleObject(started.h, 10000);
  return thread;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TEST(WaitForThread, ReportsWhetherTheWorkerEndedWithCodeZero) {
  Handle ok(CreateThread(nullptr, 0, ExitWith, reinterpret_cast<LPVOID>(0), 0, nullptr));
  EXPECT_TRUE(_WaitForThread(ok.h, INVALID_HANDLE_VALUE));
  Handle failed(CreateThread(nullptr, 0, ExitWith, reinterpret_cast<LPVOID>(3), 0, nullptr));
  Handle stop(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  EXPECT_FALSE(_WaitForThread(failed.h, stop.h));
}

// A worker that never looks at its stop event is killed once the grace is over.
TEST(WaitForThread, AStopKillsTheWorkerAndReturnsOnlyOnceItIsGone) {
  Handle stop(CreateEventW(nullptr, TRUE, TRUE, nullptr));  // already set: no waiting at all
  Handle first(StartSleeper());
  EXPECT_FALSE(_WaitForThread(first.h, stop.h));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(first.h, 0));
  DWORD code = 0;
  GetExitCodeThread(first.h, &code);
  EXPECT_EQ(1u, code);

  ResetEvent(stop.h);
  Handle second(StartSleeper());
  Handle setter(CreateThread(nullptr, 0, SetEventProc, stop.h, 0, nullptr));
  EXPECT_FALSE(_WaitForThread(second.h, stop.h));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(second.h, 0));
}

// A worker that watches its stop event: it logs under a lock of its own until the stop comes,
// as a worker in the middle of its work would, and ends with code 0.
struct LoggingWorker {
  CLock lock;
  Handle stop{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  Handle running{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  HWND report = nullptr;  // a window of the waiting thread that the worker sends to first

  static DWORD WINAPI Run(LPVOID self) {
    auto* worker = static_cast<LoggingWorker*>(self);
    if (worker->report) {
      DWORD_PTR answer = 0;
      if (!SendMessageTimeoutW(worker->report, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer)) {
        return 2;
      }
    }
    for (int line = 0;; ++line) {
      {
        CLockGuard guard(worker->lock);
        GetLogger()->log(em_utility::log_level::normal, "logging worker line %d", line);
      }
      SetEvent(worker->running.h);
      if (WaitForSingleObject(worker->stop.h, 0) == WAIT_OBJECT_0) return 0;
    }
  }
};

DWORD WINAPI LockLogAndAllocate(LPVOID lockToTake) {
  CLockGuard guard(*static_cast<CLock*>(lockToTake));
  GetLogger()->log(em_utility::log_level::normal, "after the stop");
  delete[] new char[1 << 20];
  return 0;
}

// Takes the lock, logs and allocates on a thread of its own: false when that does not end within
// 10 s, as after a worker was killed holding one of those locks.
bool LockAndLogStillWork(CLock& lock) {
  Handle thread(CreateThread(nullptr, 0, LockLogAndAllocate, &lock, 0, nullptr));
  return WaitForSingleObject(thread.h, 10000) == WAIT_OBJECT_0;
}

TEST(WaitForThread, AStoppedWorkerThatSeesItsEventEndsByItselfAndLeavesNoLockTaken) {
  const size_t logged = g_folder->MainLogText().size();
  for (bool stopBeforeTheWait : {true, false}) {
    SCOPED_TRACE(stopBeforeTheWait ? "stop set before the wait" : "stop set during the wait");
    LoggingWorker worker;
    Handle thread(CreateThread(nullptr, 0, LoggingWorker::Run, &worker, 0, nullptr));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker.running.h, 10000));
    Handle setter(nullptr);
    if (stopBeforeTheWait) {
      SetEvent(worker.stop.h);
    } else {
      setter.h = CreateThread(nullptr, 0, SetEventProc, worker.stop.h, 0, nullptr);
    }
    // The worker finishes the line it writes and leaves: nothing is killed, so its work counts.
    EXPECT_TRUE(_WaitForThread(thread.h, worker.stop.h));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread.h, 0));
    EXPECT_TRUE(LockAndLogStillWork(worker.lock));
  }
  EXPECT_EQ(std::string::npos, g_folder->MainLogText().find("terminated", logged));
}

TEST(WaitForThread, TheWaitAnswersWhatTheWorkerSendsToTheWaitingThread) {
  HWND window =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_TRUE(window);
  LoggingWorker worker;
  worker.report = window;
  SetEvent(worker.stop.h);  // one line, then the end
  Handle thread(CreateThread(nullptr, 0, LoggingWorker::Run, &worker, 0, nullptr));
  EXPECT_TRUE(_WaitForThread(thread.h, INVALID_HANDLE_VALUE));
  DestroyWindow(window);
}

TEST(FileHelpers, CopiesMakeTheFolderAndNeverReplaceAnExistingTarget) {
  TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir.file(L"song.mp3"), "ID3 data"));
  ASSERT_TRUE(WriteFileBytes(dir.file(L"other.mp3"), "other"));
  Handle cancel(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  testsupport::MessageBoxRecorder boxes;
  std::wstring first = dir.file(L"device\\music\\song.mp3"), second = dir.file(L"c\\song.mp3");
  EXPECT_TRUE(CopyFileCreatingFolder(dir.file(L"song.mp3").c_str(), first.c_str(), true));
  // (Wine's CopyFileExW never calls the progress routine, so cancelling cannot be shown here.)
  EXPECT_TRUE(CopyFileWithProgress(dir.file(L"song.mp3").c_str(), second.c_str(), cancel.h));
  // An existing target is an ordinary failure: logged, reported as done (callers go on), no box.
  EXPECT_TRUE(CopyFileCreatingFolder(dir.file(L"other.mp3").c_str(), first.c_str(), true));
  EXPECT_TRUE(CopyFileWithProgress(dir.file(L"other.mp3").c_str(), second.c_str(), cancel.h));
  EXPECT_EQ("ID3 data", ReadFileBytes(first));
  EXPECT_EQ("ID3 data", ReadFileBytes(second));
  EXPECT_EQ(0u, boxes.count());
}

TEST(FileHelpers, DeletingOnTheDeviceWorkerStopsWithTheStopEvent) {
  TempDir dir;
  EXPECT_TRUE(DeleteFileLogged(dir.file(L"missing.txt").c_str()));
  ASSERT_TRUE(WriteFileBytes(dir.file(L"gone.txt"), "x"));
  Handle stop(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  EXPECT_TRUE(DeleteFileOnWorker(dir.file(L"gone.txt").c_str(), stop.h));
  EXPECT_FALSE(Exists(dir.file(L"gone.txt")));
  SetEvent(stop.h);
  ASSERT_TRUE(WriteFileBytes(dir.file(L"kept.txt"), "x"));
  EXPECT_FALSE(DeleteFileOnWorker(dir.file(L"kept.txt").c_str(), stop.h));
  EXPECT_TRUE(Exists(dir.file(L"kept.txt")));
  EXPECT_EQ(1u, CopySongsToDeviceThread(nullptr));
}

TEST(FileHelpers, PatternDeletesLeaveForeignFoldersAlone) {
  TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir.file(L"a.tmp"), "a"));
  ASSERT_TRUE(WriteFileBytes(dir.file(L"b.keep"), "b"));
  CreateDirectoryW(dir.file(L"sub").c_str(), nullptr);
  ASSERT_TRUE(WriteFileBytes(dir.file(L"sub\\c.tmp"), "c"));
  CreateDirectoryW(dir.file(L"hidden").c_str(), nullptr);
  SetFileAttributesW(dir.file(L"hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
  DeleteFilesMatching(dir.file(L"*.tmp").c_str());
  EXPECT_FALSE(Exists(dir.file(L"a.tmp")));
  EXPECT_TRUE(Exists(dir.file(L"b.keep")));
  DeleteSubfolders(dir.file(L"*").c_str());
  EXPECT_FALSE(Exists(dir.file(L"sub")));
  EXPECT_TRUE(Exists(dir.file(L"hidden")));
  SetFileAttributesW(dir.file(L"hidden").c_str(), FILE_ATTRIBUTE_DIRECTORY);

  // A pattern without a folder deletes in the current folder (not in the drive's root).
  ASSERT_TRUE(WriteFileBytes(dir.file(L"here.tmp"), "h"));
  wchar_t previous[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryW(dir.path().c_str()));
  DeleteFilesMatching(L"*.tmp");
  SetCurrentDirectoryW(previous);
  EXPECT_FALSE(Exists(dir.file(L"here.tmp")));
}

TEST(OpenUrl, AnAddressTheShellCannotOpenIsReportedToTheUser) {
  testsupport::MessageBoxRecorder boxes;
  EXPECT_FALSE(OpenUrl(L"zzz-no-such-scheme:x"));
  ASSERT_EQ(1u, boxes.count());
  EXPECT_EQ(L"试听失败", boxes.last().caption);
  EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING), boxes.last().type);
}

TEST(WrappedText, BreaksBeforeTheCharacterThatReachesTheWidth) {
  auto ten = [](wchar_t ch) { return ch == L'W' ? 250 : 10; };
  using Lines = std::vector<std::wstring>;
  EXPECT_EQ(Lines{L"abcde"}, BreakTextIntoLines(L"abcde", 100, ten));
  // Two and a half widths: 25 characters of 10 in a width of 100 (a line holds 9, the 10th
  // reaches the width).
  Lines lines = BreakTextIntoLines(std::wstring(25, L'x'), 100, ten);
  ASSERT_EQ(3u, lines.size());
  EXPECT_EQ(std::wstring(9, L'x'), lines[0]);
  EXPECT_EQ(std::wstring(7, L'x'), lines[2]);
  // A character wider than the rectangle stands on its own line, with no empty line before it.
  EXPECT_EQ((Lines{L"W", L"ab"}), BreakTextIntoLines(L"Wab", 100, ten));
  EXPECT_EQ((Lines{L"ab", L"W", L"c"}), BreakTextIntoLines(L"abWc", 100, ten));
  EXPECT_TRUE(BreakTextIntoLines(L"", 100, ten).empty());
}

TEST(Dates, LocalDateNumbersAndDayArithmeticBeyond68Years) {
  struct tm march = {};
  march.tm_year = 2014 - 1900;
  march.tm_mon = 2;
  march.tm_mday = 1;
  march.tm_hour = 12;
  march.tm_isdst = -1;
  EXPECT_EQ(20140301, GetDateNumber(_mktime64(&march)));
  EXPECT_EQ(GetDateNumber(_time64(nullptr)), GetDateNumberAfterDays(0));
  // 30000 days overflow 32-bit seconds; in 64 bits they land about 82 years ahead.
  int later = GetDateNumberAfterDays(30000);
  EXPECT_GT(later, GetDateNumberAfterDays(0) + 810000);
  EXPECT_LT(later, GetDateNumberAfterDays(0) + 830000);
}

TEST(Text, FormatWStringTakesNullAndTextsBeyondAnyFixedBuffer) {
  EXPECT_EQ(L"", FormatWString(nullptr));
  EXPECT_EQ(std::wstring(5000, L'z'), FormatWString(L"%s", std::wstring(5000, L'z').c_str()));
}
