// Under load the program keeps nothing it should have given back: a song list added through
// the request queue and cleared, buffering downloads that the site cuts short, and requests
// through the queue leave the process with the handles, GDI and USER objects and private bytes
// it had after two first rounds, and the UI thread answers messages throughout. The sizes are CI's;
// bench/bench_load runs the full ones and prints the figures.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "support/process_counts.h"
#include "support/program_folder.h"
#include "support/standin_site.h"
#include "tests/lyric/load_rounds.h"

namespace {

auto* const g_folder = ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);
auto* const g_site = ::testing::AddGlobalTestEnvironment(new testsupport::StandinSite);

// Songs go to the system's temporary folder: a fresh one for this run.
testsupport::ProcessTempFolder g_temp;

constexpr int kAlbumSongs = 200;
constexpr int kDownloads = 20;
constexpr int kRequests = 200;
// Handles may move by the idle connections that WinINet keeps for a while and by the system's
// own threads (the full-size run saw a band of about 35 with no trend); a handle left per
// download or request is well past it.
constexpr DWORD kHandleSlack = 24;
// Private bytes may move by what the heaps keep for reuse (growth that levels off after a few
// rounds); a leak of the rounds' size does not fit in it.
constexpr unsigned long long kPrivateSlack = 2u << 20;

bool RunRound(load::LoadSite& site) {
  return site.AddSongList() && site.ClearSongList() && site.BufferAndCut(kDownloads) &&
         site.RequestThroughTheQueue(kRequests);
}

}  // namespace

TEST(Load, RoundsLeaveNoHandlesObjectsOrMemoryBehindAndTheUiThreadAnswers) {
  load::LoadSite site;
  site.SetAlbumSongs(kAlbumSongs);
  ASSERT_TRUE(site.Open()) << site.error();
  // The first rounds make what stays for the process's life: caches, the songs in the song map,
  // pooled memory, the heaps' free lists, the transfer library's and WinINet's state.
  for (int round = 0; round < 2; ++round) ASSERT_TRUE(RunRound(site)) << site.error();
  const testsupport::ProcessCounts before = testsupport::TakeProcessCounts();

  std::vector<double> times;
  int missed = 0;
  {
    load::RoundTripProbe probe(site.UiWindow());
    ASSERT_TRUE(RunRound(site)) << site.error();
    probe.Stop();
    times = probe.Times();
    missed = probe.Missed();
  }
  const testsupport::ProcessCounts after = testsupport::TakeProcessCounts();
  site.Close();

  SCOPED_TRACE("before: " + testsupport::Describe(before) +
               "; after: " + testsupport::Describe(after));
  EXPECT_LE(after.handles, before.handles + kHandleSlack);
  EXPECT_LE(after.gdiObjects, before.gdiObjects);
  EXPECT_LE(after.userObjects, before.userObjects);
  EXPECT_LE(after.privateBytes, before.privateBytes + kPrivateSlack);
  EXPECT_EQ(0, missed);
  EXPECT_FALSE(times.empty());
  std::printf("%s -> %s; round trips %zu, median %.2f ms, longest %.2f ms\n",
              testsupport::Describe(before).c_str(), testsupport::Describe(after).c_str(),
              times.size(), load::AtFraction(times, 0.5), load::AtFraction(times, 1.0));
}
