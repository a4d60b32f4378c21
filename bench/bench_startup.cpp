// The program as it starts and runs, against a program of ours that only shows one dialog
// (empty_dialog_program), both started the same way (CreateProcess) under the same Wine:
//   - the time from starting the process to its first dialog on the screen (the login dialog),
//     the two started in turn (ratio: the median of the pairs, lowest-highest in brackets);
//   - the private memory of the running main frame once the music-station catalogue has been
//     loaded, against the empty program's showing its dialog.
//
// Run it against a stand-in of your own (the frame signs in and loads the catalogue from it):
//   python3 standin/fixture.py start "$PWD/build/bench-standin"
//   export REV_STANDIN_PORTS="$PWD/build/bench-standin/ports.json"
//   scripts/wine-run build/bench/bench_startup.exe
//   python3 standin/fixture.py stop "$PWD/build/bench-standin"
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "foundation/md5.h"
#include "harness.h"
#include "support/child_process.h"
#include "support/standin_client.h"
#include "support/standin_site.h"
#include "support/temp_dir.h"

namespace {

constexpr int kRuns = 9;  // pairs

std::wstring BuildFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text = path;
  text = text.substr(0, text.find_last_of(L'\\'));      // build\bench
  return text.substr(0, text.find_last_of(L'\\') + 1);  // build\ .
}

// Seconds from CreateProcess to a visible dialog of the new process.
double SecondsToDialog(const std::wstring& exe) {
  double start = bench::NowSeconds();
  testsupport::ChildProcess process(exe);
  if (!process.started()) return -1;
  bool shown = testsupport::WaitUntil(
      [&] { return testsupport::FindProcessWindow(process.pid(), L"#32770", nullptr) != nullptr; });
  double seconds = bench::NowSeconds() - start;
  return shown ? seconds : -1;
}

// The two programs started in turn, each pair under the same load; a time is only that to the
// dialog (ending the process is not part of it). False when a dialog never came.
bool StartsInTurn(const std::wstring& program, const std::wstring& yardstick,
                  bench::PairedRatio& result) {
  std::vector<double> ours, theirs;
  if (SecondsToDialog(yardstick) < 0 || SecondsToDialog(program) < 0) return false;  // warm-up
  for (int i = 0; i < kRuns; ++i) {
    theirs.push_back(SecondsToDialog(yardstick));
    ours.push_back(SecondsToDialog(program));
    if (theirs.back() < 0 || ours.back() < 0) return false;
  }
  result = bench::RatioOfPairs(ours, theirs);
  return true;
}

SIZE_T PrivateBytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof counters);
  // Windows gives the private bytes also as the page-file usage, which Wine fills in.
  return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

// Waits until the stand-in has seen no new request for a while: the catalogue, its covers and
// the update check are in.
void WaitForQuietSite(testsupport::StandinClient& standin) {
  size_t last = static_cast<size_t>(-1);
  for (int quiet = 0; quiet < 15;) {
    Sleep(100);
    size_t count = standin.Log().get_child("requests").size();
    quiet = count == last ? quiet + 1 : 0;
    last = count;
  }
}

}  // namespace

int main() {
  testsupport::StandinSite site;  // REVIVEROD_SITE and _LOGIN for the programs we start
  testsupport::StandinClient standin;
  if (!standin.ok()) {
    std::printf("no stand-in: %s\n", standin.error().c_str());
    return 1;
  }
  standin.Reset();
  std::wstring build = BuildFolder();
  std::wstring empty = build + L"bench\\empty_dialog_program.exe";

  // The program in a folder of its own, as a user would have it: its settings and log there.
  testsupport::TempDir dir;
  std::wstring program = dir.path() + L"RevIverod.exe";
  CopyFileW((build + L"app\\RevIverod.exe").c_str(), program.c_str(), FALSE);
  CreateDirectoryW((dir.path() + L"images").c_str(), nullptr);
  CopyFileW((build + L"app\\images\\bg.jpg").c_str(), (dir.path() + L"images\\bg.jpg").c_str(),
            FALSE);
  auto settings = [&](bool autoLogin) {
    std::string digest = em_utility::md5_string("lyrics123", 9);
    testsupport::WriteFileBytes(
        dir.path() + L"RevIverod.cfg",
        "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\" ?><configure>"
        "<m_bAutoLogin>" + std::string(autoLogin ? "1" : "0") +
            "</m_bAutoLogin><m_strEmail>editor@example.com</m_strEmail><m_strPsw>" + digest +
            "</m_strPsw><m_nPswLength>9</m_nPswLength><SuccessLoginSum>3</SuccessLoginSum>"
            "<auto_check_update>0</auto_check_update></configure>");
  };

  settings(false);
  bench::PairedRatio start;
  if (!StartsInTurn(program, empty, start)) {
    std::printf("a program showed no dialog within the time\n");
    return 1;
  }
  bench::PrintPaired("program start to login dialog", start, "empty dialog program");

  SIZE_T emptyBytes = 0;
  {
    testsupport::ChildProcess process(empty);
    testsupport::WaitUntil(
        [&] { return testsupport::FindProcessWindow(process.pid(), L"#32770", nullptr); });
    emptyBytes = PrivateBytes(process.handle());
  }
  settings(true);
  SIZE_T frameBytes = 0;
  {
    testsupport::ChildProcess process(program);
    bool framed = testsupport::WaitUntil([&] {
      return testsupport::FindProcessWindow(process.pid(), nullptr, L"Lirak歌词编辑器");
    });
    WaitForQuietSite(standin);
    frameBytes = framed ? PrivateBytes(process.handle()) : 0;
  }
  std::printf("%-40s %9.1f MB   %-24s %9.1f MB   ratio %.2f\n", "main frame, catalogue loaded",
              frameBytes / 1048576.0, "empty dialog program", emptyBytes / 1048576.0,
              static_cast<double>(frameBytes) / static_cast<double>(emptyBytes));
  return 0;
}
