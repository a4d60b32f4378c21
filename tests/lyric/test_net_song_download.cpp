// Song buffering against the stand-in: the download with its progress messages, the complete,
// partial and unknown-length local files, failures, and the download threads' handles.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "app/main_frame.h"
#include "foundation/text_convert.h"
#include "lyric/song_download.h"
#include "support/program_folder.h"
#include "support/standin_client.h"
#include "support/standin_site.h"
#include "support/temp_dir.h"
#include "winlayer/window_impl.h"

namespace {

auto* const g_folder = ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);
auto* const g_site = ::testing::AddGlobalTestEnvironment(new testsupport::StandinSite);

// A message-only window that keeps the progress messages it receives.
class ProgressSink : public CWindowImpl<ProgressSink> {
 public:
  BEGIN_MSG_MAP(ProgressSink)
  MESSAGE_HANDLER(WM_SONG_PROGRESS, OnProgress)
  END_MSG_MAP()
  LRESULT OnProgress(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
    received.emplace_back(static_cast<int>(wParam), static_cast<int>(lParam));
    return 0;
  }
  std::vector<std::pair<int, int>> received;
};

class SongDownload : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(standin.ok()) << standin.error();
    ASSERT_TRUE(standin.Reset());
    ASSERT_TRUE(sink.Create(HWND_MESSAGE));
    testsupport::HttpReply reply;
    ASSERT_TRUE(standin.Get("/audio/123.mp3", &reply));
    song = reply.body;
    ASSERT_GT(song.size(), 100000u);
    ASSERT_TRUE(standin.Reset());
  }
  void TearDown() override { sink.DestroyWindow(); }
  std::wstring Url(const std::string& path) {
    return em_utility::utf8_to_wide(standin.Url(path)).GetString();
  }
  int Download(const std::string& path, int songId = 123) {
    return DownloadWithProgress(Url(path).c_str(), local.c_str(), sink, songId);
  }
  std::vector<int> Percents() {
    std::vector<int> percents;
    for (const auto& message : sink.received) {
      EXPECT_EQ(123, message.first);
      percents.push_back(message.second);
    }
    return percents;
  }
  void Scenario(const std::string& rule) {
    ASSERT_TRUE(standin.SetScenario("{\"http\": " + rule + "}")) << rule;
  }

  testsupport::StandinClient standin;
  testsupport::TempDir dir;
  std::wstring local = dir.file(L"song.mp3");
  ProgressSink sink;
  std::string song;
};

}  // namespace

TEST_F(SongDownload, ProgressRisesToOneHundredOnceTheFileIsWhole) {
  Scenario(R"({"match": "/audio/", "pieces": 6, "pause_ms": 20})");
  ASSERT_EQ(kSongDownloadDone, Download("/audio/123.mp3"));
  EXPECT_EQ(song, testsupport::ReadFileBytes(local));
  std::vector<int> percents = Percents();
  ASSERT_GE(percents.size(), 3u);
  EXPECT_EQ(100, percents.back());
  for (size_t i = 1; i + 1 < percents.size(); ++i) {
    EXPECT_LE(percents[i - 1], percents[i]);
    EXPECT_LT(percents[i], 100);
  }
  // (Wine's WinINet rewrites the Accept line, so only the Referer and the agent are ours here.)
  std::string head = standin.RawRequest(1);
  EXPECT_NE(std::string::npos, head.find("\r\nReferer: http://" + standin.Host() + "/\r\n"))
      << head;
  EXPECT_NE(std::string::npos, head.find("\r\nUser-Agent: liRAk_down_file_image\r\n")) << head;
}

TEST_F(SongDownload, LocalFilesCompleteArePartialOrWithoutLengthAreReplaced) {
  ASSERT_TRUE(testsupport::WriteFileBytes(local, song + "more"));
  ASSERT_EQ(kSongDownloadDone, Download("/audio/123.mp3"));
  EXPECT_EQ(std::vector<int>{kProgressFoundComplete}, Percents());
  EXPECT_EQ(song + "more", testsupport::ReadFileBytes(local));

  // A partial file is closed before it is deleted, so it can be replaced.
  ASSERT_TRUE(testsupport::WriteFileBytes(local, song.substr(0, 1000)));
  sink.received.clear();
  ASSERT_EQ(kSongDownloadDone, Download("/audio/123.mp3"));
  EXPECT_EQ(song, testsupport::ReadFileBytes(local));
  EXPECT_EQ(100, Percents().back());
}

// Without a Content-Length nothing can be known complete, and no chunk may claim more than 99 %.
TEST_F(SongDownload, UnknownLengthNeverCountsAsCompleteBeforeTheEnd) {
  Scenario(R"({"match": "/audio/", "framing": "chunked", "chunk_size": 60000})");
  ASSERT_TRUE(testsupport::WriteFileBytes(local, song + "stale"));
  ASSERT_EQ(kSongDownloadDone, Download("/audio/123.mp3"));
  EXPECT_EQ(song, testsupport::ReadFileBytes(local));
  std::vector<int> percents = Percents();
  ASSERT_GE(percents.size(), 2u);
  EXPECT_EQ(100, percents.back());
  for (size_t i = 0; i + 1 < percents.size(); ++i) EXPECT_LE(percents[i], 99);

  // A reply cut short of its length is a failed read, not a buffered song.
  Scenario(R"({"match": "/audio/", "truncate": 20000})");
  ASSERT_TRUE(DeleteFileW(local.c_str()));
  sink.received.clear();
  EXPECT_EQ(kSongDownloadReadFailed, Download("/audio/123.mp3"));
  for (int percent : Percents()) EXPECT_LT(percent, 100);
}

// The workspace opens a song's lyric file whenever it exists: one cut short, or stopped at the
// lyric ceiling, must not stay to pass for the whole lyric.
TEST_F(SongDownload, ALyricFileThatBreaksOffLeavesNoFile) {
  testsupport::HttpReply lyric;
  ASSERT_TRUE(standin.Get("/lyric/123.lrc", &lyric));
  const std::string cut = std::to_string(lyric.head.size() + lyric.body.size() / 2);
  for (const std::string& rule : {R"("truncate": )" + cut, std::string(R"("flood": "close")"),
                                  std::string(R"("flood": "length")")}) {
    Scenario(R"({"match": "/lyric/", )" + rule + "}");
    EXPECT_EQ(kSongDownloadReadFailed, Download("/lyric/123.lrc", 0)) << rule;
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(local.c_str())) << rule;
  }
  ASSERT_TRUE(standin.Reset());
  EXPECT_EQ(kSongDownloadDone, Download("/lyric/123.lrc", 0));
  EXPECT_EQ(lyric.body, testsupport::ReadFileBytes(local));
}

TEST_F(SongDownload, FailuresAndLyricDownloadsSendNoProgress) {
  EXPECT_EQ(kSongDownloadNotAvailable, Download("/audio/999999.mp3"));
  EXPECT_EQ(kSongDownloadCannotOpen,
            DownloadWithProgress(L"http://127.0.0.1:1/x.mp3", local.c_str(), sink, 123));
  EXPECT_EQ(kSongDownloadDone, Download("/lyric/123.lrc", 0));
  EXPECT_TRUE(sink.received.empty());
  EXPECT_EQ(testsupport::ReadFileBytes(local).substr(0, 1), "[");
}

// Every thread's handle is in its song before the thread can end, so each one is cleared.
TEST_F(SongDownload, EveryFinishedThreadClearsItsSongsHandle) {
  CLockedMap<Song>& songs = CMainFrame::GetInstance()->GetSongMap();
  std::vector<SongPtr> started;
  for (int id = 9001; id <= 9020; ++id) {
    SongPtr song = MakeSongPtr();
    song->SetSongId(id);
    songs.Insert(song);
    ASSERT_TRUE(
        StartSongDownload(L"http://127.0.0.1:1/x.mp3", dir.file(L"x.mp3").c_str(), nullptr, song));
    started.push_back(song);
  }
  for (const SongPtr& song : started) {
    DWORD deadline = GetTickCount() + 20000;
    for (;;) {
      bool running;
      {
        auto lock = songs.GetLock();
        running = song->GetDownloadThread() != nullptr;
      }
      if (!running || static_cast<int>(GetTickCount() - deadline) > 0) break;
      Sleep(10);
    }
    auto lock = songs.GetLock();
    EXPECT_EQ(nullptr, song->GetDownloadThread()) << song->GetSongId();
  }
}
