// Pictures fetched from the stand-in site: one download into a file, and the background
// downloader with newest-wins queuing, no second fetch of a pending address, retries, repaints
// and its failure log.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "foundation/logger.h"
#include "support/program_folder.h"
#include "support/standin_client.h"
#include "support/temp_dir.h"
#include "webdata/http_download.h"
#include "webdata/image_downloader.h"

using testsupport::ReadFileBytes;
using testsupport::TempDir;

namespace {

::testing::Environment* const g_folder =
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);

std::wstring Wide(const std::string& text) {
  return std::wstring(text.begin(), text.end());
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Polls a condition for at most ten seconds.
template <typename Condition>
bool WaitFor(Condition condition) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(20)) {
    if (condition()) return true;
  }
  return condition();
}

size_t Requests(testsupport::StandinClient& standin, const std::string& path) {
  boost::property_tree::ptree log = standin.Log(path);
  auto requests = log.get_child_optional("requests");
  return requests ? requests->size() : 0;
}

class ImageDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(standin.ok()) << standin.error();
    ASSERT_TRUE(standin.Reset());
    testsupport::HttpReply cover;
    ASSERT_TRUE(standin.Get("/cover/album-456.jpg", &cover));
    ASSERT_EQ(200, cover.status);
    coverBytes = cover.body;
    ASSERT_TRUE(standin.Reset());
  }

  std::wstring Url(const std::string& path) { return Wide(standin.Url(path)); }
  // A request for the picture at path into a file of the test's folder.
  ImageTask Task(const std::string& path, const wchar_t* file) {
    ImageTask task;
    task.strUrl = Url(path);
    task.strLocalPath = dir.file(file);
    return task;
  }
  // The failing address answers 404 after the delay.
  bool SlowFailure(int delayMs) {
    return standin.SetScenario(R"({"http": {"match": "/cover/gone.jpg", "delay_ms": )" +
                               std::to_string(delayMs) + R"(, "status": 404, "body": "no"}})");
  }

  testsupport::StandinClient standin;
  std::string coverBytes;
  TempDir dir;
};

}  // namespace

TEST_F(ImageDownloadTest, DownloadWritesTheBodyOfA200ReplyOnly) {
  std::wstring path = dir.file(L"cover.jpg");
  EXPECT_EQ(kDownloadDone, HttpDownloadFile(Url("/cover/album-456.jpg").c_str(), path.c_str()));
  EXPECT_EQ(coverBytes, ReadFileBytes(path));
  std::string request = standin.RawRequest(1);
  EXPECT_NE(std::string::npos, request.find("User-Agent: liRAk_down_file_image\r\n"));
  EXPECT_NE(std::string::npos, request.find("Accept: */*\r\n"));  // WinINet trims the value
  EXPECT_NE(std::string::npos, request.find("Referer: http://"));

  std::wstring missing = dir.file(L"missing.jpg");
  EXPECT_EQ(kDownloadNotAvailable,
            HttpDownloadFile(Url("/cover/no-such-cover.jpg").c_str(), missing.c_str()));
  EXPECT_FALSE(Exists(missing));
  ASSERT_TRUE(
      standin.SetScenario(R"({"http": {"match": "/cover/empty.jpg", "status": 200, "body": ""}})"));
  std::wstring empty = dir.file(L"empty.jpg");
  EXPECT_EQ(kDownloadDone, HttpDownloadFile(Url("/cover/empty.jpg").c_str(), empty.c_str()));
  EXPECT_TRUE(Exists(empty));
  EXPECT_EQ(kDownloadCannotCreateFile, HttpDownloadFile(Url("/cover/album-456.jpg").c_str(),
                                                        dir.file(L"no\\dir.jpg").c_str()));
}

TEST_F(ImageDownloadTest, TheNewestRequestReplacesTheWaitingOnes) {
  // The first download is slow, so the next two requests wait behind it; the third replaces the
  // second.
  ASSERT_TRUE(
      standin.SetScenario(R"({"http": {"match": "/cover/album-457.png", "delay_ms": 1500}})"));
  CImageDownloader downloader;
  downloader.AddTask(Task("/cover/album-457.png", L"first.png"));
  ASSERT_TRUE(WaitFor([&] { return Requests(standin, "/cover/album-457.png") == 1; }));
  ImageTask second = Task("/cover/album-458.jpg", L"second.jpg");
  downloader.AddTask(second);
  EXPECT_TRUE(downloader.FindTask(second));
  downloader.AddTask(Task("/cover/album-456.jpg", L"third.jpg"));
  ASSERT_TRUE(WaitFor([&] { return downloader.IsIdle() && Exists(dir.file(L"third.jpg")); }));
  EXPECT_TRUE(Exists(dir.file(L"first.png")));
  EXPECT_FALSE(Exists(dir.file(L"second.jpg")));
  EXPECT_EQ(0u, Requests(standin, "/cover/album-458.jpg"));
  EXPECT_EQ(coverBytes, ReadFileBytes(dir.file(L"third.jpg")));
}

TEST_F(ImageDownloadTest, AnAddressBeingFetchedOrWaitingIsNotQueuedAgain) {
  // A window asks on every paint until its picture is there: asking again for the one being
  // fetched must neither fetch it twice nor push the waiting one out of the queue.
  ASSERT_TRUE(
      standin.SetScenario(R"({"http": {"match": "/cover/album-457.png", "delay_ms": 1500}})"));
  CImageDownloader downloader;
  ImageTask fetched = Task("/cover/album-457.png", L"fetched.png");
  ImageTask waiting = Task("/cover/album-458.jpg", L"waiting.jpg");
  downloader.AddTask(fetched);
  ASSERT_TRUE(WaitFor([&] { return Requests(standin, "/cover/album-457.png") == 1; }));
  downloader.AddTask(waiting);
  downloader.AddTask(fetched);
  downloader.AddTask(waiting);
  EXPECT_TRUE(downloader.FindTask(waiting));
  EXPECT_FALSE(downloader.FindTask(fetched));
  ASSERT_TRUE(WaitFor([&] { return downloader.IsIdle() && Exists(dir.file(L"waiting.jpg")); }));
  EXPECT_EQ(1u, Requests(standin, "/cover/album-457.png"));
  EXPECT_EQ(1u, Requests(standin, "/cover/album-458.jpg"));
}

TEST_F(ImageDownloadTest, DestructionWaitsUntilTheWorkerHasFinishedItsQueue) {
  // The retries of a slow failing address signal the worker's work event while the destructor
  // waits, which must not let the destructor go before the worker itself is gone.
  ASSERT_TRUE(SlowFailure(300));
  {
    CImageDownloader downloader;
    downloader.AddTask(Task("/cover/gone.jpg", L"gone.jpg"));
    ASSERT_TRUE(WaitFor([&] { return Requests(standin, "/cover/gone.jpg") == 1; }));
  }
  EXPECT_EQ(4u, Requests(standin, "/cover/gone.jpg"));
}

TEST_F(ImageDownloadTest, ARequestForAMissingFolderIsDropped) {
  CImageDownloader downloader;
  ImageTask task = Task("/cover/album-456.jpg", L"not-there\\cover.jpg");
  downloader.AddTask(task);
  task.strLocalPath = L"no-folder-at-all.jpg";
  downloader.AddTask(task);
  EXPECT_TRUE(downloader.IsIdle());
  EXPECT_FALSE(downloader.FindTask(task));
}

TEST_F(ImageDownloadTest, AFailingAddressIsTriedFourTimesThenLoggedAtEachFailure) {
  em_utility::logger log(true, false);
  log.open(dir.file(L"downloads.log"));
  CImageDownloader downloader;
  downloader.SetLogger(&log);
  ImageTask task = Task("/cover/gone.jpg", L"gone.jpg");
  downloader.AddTask(task);
  ASSERT_TRUE(
      WaitFor([&] { return downloader.IsIdle() && Requests(standin, "/cover/gone.jpg") >= 4; }));
  EXPECT_EQ(4u, Requests(standin, "/cover/gone.jpg"));
  downloader.AddTask(task);
  ASSERT_TRUE(
      WaitFor([&] { return downloader.IsIdle() && Requests(standin, "/cover/gone.jpg") >= 5; }));
  EXPECT_EQ(5u, Requests(standin, "/cover/gone.jpg"));
  log.flush();
  std::string text = ReadFileBytes(dir.file(L"downloads.log.1.txt"));
  // "http下载文件失败！" in GBK, once per failure past the limit.
  const std::string failed = "http\xCF\xC2\xD4\xD8\xCE\xC4\xBC\xFE\xCA\xA7\xB0\xDC\xA3\xA1url = ";
  size_t first = text.find(failed);
  ASSERT_NE(std::string::npos, first);
  EXPECT_NE(std::string::npos, text.find(failed, first + 1));
  EXPECT_NE(std::string::npos, text.find("gone.jpg, e_result = 4"));
}

TEST_F(ImageDownloadTest, ARetryNeverDiscardsANewerRequest) {
  // The failing address answers slowly, so the newer request arrives during its first attempt.
  ASSERT_TRUE(SlowFailure(800));
  CImageDownloader downloader;
  downloader.AddTask(Task("/cover/gone.jpg", L"gone.jpg"));
  ASSERT_TRUE(WaitFor([&] { return Requests(standin, "/cover/gone.jpg") == 1; }));
  downloader.AddTask(Task("/cover/album-456.jpg", L"newer.jpg"));
  ASSERT_TRUE(WaitFor([&] { return downloader.IsIdle() && Exists(dir.file(L"newer.jpg")); }));
  EXPECT_EQ(coverBytes, ReadFileBytes(dir.file(L"newer.jpg")));
}

TEST_F(ImageDownloadTest, ADownloadedPictureRepaintsItsWindow) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr,
                                nullptr, nullptr, nullptr);
  ASSERT_TRUE(window);
  ValidateRect(window, nullptr);
  CImageDownloader downloader;
  ImageTask task = Task("/cover/album-456.jpg", L"painted.jpg");
  task.hWnd = window;
  task.rcUpdate = {10, 20, 30, 40};
  downloader.AddTask(task);
  ASSERT_TRUE(WaitFor([&] { return downloader.IsIdle() && Exists(dir.file(L"painted.jpg")); }));
  RECT dirty = {};
  EXPECT_TRUE(GetUpdateRect(window, &dirty, FALSE));
  EXPECT_EQ(10, dirty.left);
  EXPECT_EQ(40, dirty.bottom);
  DestroyWindow(window);
}
