// The load run at full size: a song list of 1,000 songs added through the request queue and
// cleared, 100 buffering downloads started and cut short by the site, and 10,000 requests
// through the queue. Prints the process's handles, GDI and USER objects and private bytes after
// a warm-up round and after each measured round, and per phase the message round trips to the
// UI thread while it ran (median, 99th percentile, longest). Needs a stand-in
// (docs/performance.md).
#include <windows.h>

#include <cstdio>
#include <string>

#include "foundation/config.h"
#include "support/process_counts.h"
#include "support/standin_site.h"
#include "tests/lyric/load_rounds.h"

namespace {

constexpr int kAlbumSongs = 1000;
constexpr int kDownloads = 100;
constexpr int kRequests = 10000;
// Growth that repeats round after round is a leak; a step after the first is what the heaps
// keep.
constexpr int kMeasuredRounds = 3;

// One phase of a round, with the message round trips to the UI thread while it runs.
template <class Phase>
bool RunPhase(load::LoadSite& site, const char* name, Phase phase) {
  const DWORD start = GetTickCount();
  load::RoundTripProbe probe(site.UiWindow());
  bool ok = phase();
  probe.Stop();
  std::printf(
      "  %-28s %-6s %6.1f s; round trips %zu, missed %d, median %.2f ms, 99th %.2f ms, "
      "longest %.2f ms\n",
      name, ok ? "done" : site.error().c_str(), (GetTickCount() - start) / 1000.0,
      probe.Times().size(), probe.Missed(), load::AtFraction(probe.Times(), 0.5),
      load::AtFraction(probe.Times(), 0.99), load::AtFraction(probe.Times(), 1.0));
  std::fflush(stdout);
  return ok;
}

bool RunRound(load::LoadSite& site, const char* name) {
  std::printf("%s round:\n", name);
  return RunPhase(site, "1000 songs through the queue", [&] { return site.AddSongList(); }) &&
         RunPhase(site, "the list of 1000 cleared", [&] { return site.ClearSongList(); }) &&
         RunPhase(site, "100 downloads cut short", [&] { return site.BufferAndCut(kDownloads); }) &&
         RunPhase(site, "10000 requests", [&] { return site.RequestThroughTheQueue(kRequests); });
}

void PrintCounts(const char* when, const testsupport::ProcessCounts& counts) {
  std::printf("%-22s %s\n", when, testsupport::Describe(counts).c_str());
}

}  // namespace

int main() {
  testsupport::TempDir folder;
  SetProgramFolderForTesting(CString(folder.path().c_str()));
  SetEnvironmentVariableW(L"TMP", folder.path().c_str());
  SetEnvironmentVariableW(L"TEMP", folder.path().c_str());
  testsupport::StandinSite standinSite;

  load::LoadSite site;
  site.SetAlbumSongs(kAlbumSongs);
  if (!site.Open()) {
    std::fprintf(stderr, "no load site: %s\n", site.error().c_str());
    return 2;
  }
  PrintCounts("at the start:", testsupport::TakeProcessCounts());
  if (!RunRound(site, "warm-up")) return 1;
  PrintCounts("after the warm-up:", testsupport::TakeProcessCounts());
  for (int round = 1; round <= kMeasuredRounds; ++round) {
    std::string name = "measured " + std::to_string(round);
    if (!RunRound(site, name.c_str())) return 1;
    PrintCounts(("after " + name + ":").c_str(), testsupport::TakeProcessCounts());
  }
  site.Close();
  return 0;
}
