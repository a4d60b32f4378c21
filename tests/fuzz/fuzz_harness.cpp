#include "fuzz/fuzz_harness.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "foundation/config.h"
#include "foundation/scoped_handle.h"
#include "foundation/text_convert.h"
#include "fuzz/fuzz_mutator.h"
#include "support/temp_dir.h"
#include "webdata/http_request.h"

namespace fuzz {

namespace {

const Target* const kTargets[] = {
    &kLrcTarget,        &kHttpReplyTarget,     &kInflateTarget,  &kJsonNestedTarget,
    &kJsonFlatTarget,   &kWebServiceXmlTarget, &kSettingsTarget, &kUpdateDescriptionTarget,
    &kLoginReplyTarget, &kDesEnvelopeTarget};

struct Options {
  const Target* target = nullptr;
  uint64_t inputs = 20000;
  uint64_t seed = 1;
  long long only = -1;
  std::string replay;
  std::string data;
  std::string out = ".";
  DWORD hangMs = 20000;
  DWORD progressSeconds = 0;
};

// The input of mutated input i of a run: a generator of its own, from the seed and i alone.
uint64_t InputSeed(uint64_t seed, uint64_t i) {
  Random mix(seed * 0x100000001B3ull ^ i);
  return mix.Next();
}

// Paths come from the command line, in the ANSI code page.
std::string ReadFile(const std::string& path) {
  return testsupport::ReadFileBytes(em_utility::ansi_to_wide(path).GetString());
}

// The files of a folder in name order (absent folder: none).
std::vector<std::string> FolderFiles(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + "/*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileA(find, &found));
  FindClose(find);
  std::sort(names.begin(), names.end());
  for (std::string& name : names) name = folder + "/" + name;
  return names;
}

// Each input lies flush against a page the process may not touch: a read one byte past its end
// faults. The pages are kept and grown as larger inputs come.
class GuardedBuffer {
 public:
  ~GuardedBuffer() { Free(); }
  const uint8_t* Place(const std::string& input, bool terminated) {
    uint8_t* start = Reserve(input.size() + (terminated ? 1 : 0));
    std::memcpy(start, input.data(), input.size());
    if (terminated) start[input.size()] = 0;
    return start;
  }
  // need bytes that end where the no-access page begins.
  uint8_t* Reserve(size_t need) {
    if (need > m_capacity) Allocate(need);
    return m_guard - need;
  }
  bool Owns(const void* p) const { return p >= m_base && p < m_guard; }

 private:
  void Allocate(size_t need) {
    Free();
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const size_t page = info.dwPageSize;
    m_capacity = (need + page - 1) / page * page;
    m_base = static_cast<uint8_t*>(
        VirtualAlloc(nullptr, m_capacity + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!m_base) {
      std::fprintf(stderr, "fuzz: no memory for an input of %u bytes\n", unsigned(need));
      std::exit(4);
    }
    m_guard = m_base + m_capacity;
    DWORD old = 0;
    VirtualProtect(m_guard, page, PAGE_NOACCESS, &old);
  }
  void Free() {
    if (m_base) VirtualFree(m_base, 0, MEM_RELEASE);
    m_base = m_guard = nullptr;
    m_capacity = 0;
  }

  uint8_t* m_base = nullptr;
  uint8_t* m_guard = nullptr;
  size_t m_capacity = 0;
};

// The text of GuardedText: its one allocation is taken from here (see operator new below).
GuardedBuffer& TextBuffer() {
  static GuardedBuffer* const buffer = new GuardedBuffer;
  return *buffer;
}
// The size of the allocation to place against the guard page; 0 for none.
thread_local size_t t_guardedAllocation = 0;

// What the guard thread needs to write the input that failed: set before each input runs.
// A crashing thread may have no stack left and a hung one never returns, so the files are
// written by the guard thread, which has a stack of its own.
struct Current {
  const uint8_t* data = nullptr;
  size_t size = 0;
  char label[64] = {};               // "seed1-input42", "replay", ...
  std::atomic<LONGLONG> started{0};  // performance counter at its start; 0 while none runs
};

class Guard {
 public:
  // Made once, never destroyed: the guard thread watches until the process ends.
  static Guard& Get() {
    static Guard* const guard = new Guard;
    return *guard;
  }

  void Start(const Options& options) {
    m_target = options.target->name;
    std::snprintf(m_out, sizeof m_out, "%s", options.out.c_str());
    m_hangMs = options.hangMs;
    QueryPerformanceFrequency(&m_frequency);
    CloseHandle(CreateThread(nullptr, 0, &Guard::ThreadProc, this, 0, nullptr));
    SetUnhandledExceptionFilter(&Guard::OnException);
    std::set_terminate([] { Guard::Get().Fail("uncaught exception or terminate"); });
    std::signal(SIGABRT, [](int) { Guard::Get().Fail("abort"); });
  }

  Current& current() { return m_current; }

  // From the failing thread: the guard thread writes the input, then the process ends.
  [[noreturn]] void Fail(const char* why) {
    m_why = why;
    SetEvent(m_crashed.get());
    WaitForSingleObject(m_written.get(), 10000);
    TerminateProcess(GetCurrentProcess(), 70);
    for (;;) Sleep(INFINITE);
  }

 private:
  static LONG WINAPI OnException(EXCEPTION_POINTERS* pointers) {
    static char why[96];
    std::snprintf(why, sizeof why, "exception 0x%08lX at %p",
                  pointers->ExceptionRecord->ExceptionCode,
                  pointers->ExceptionRecord->ExceptionAddress);
    Get().Fail(why);
  }

  static DWORD WINAPI ThreadProc(void* self) {
    static_cast<Guard*>(self)->Watch();
    return 0;
  }

  void Watch() {
    for (;;) {
      if (WaitForSingleObject(m_crashed.get(), 100) == WAIT_OBJECT_0) {
        Write("crash", m_why);
        SetEvent(m_written.get());
        return;
      }
      LONGLONG started = m_current.started.load(std::memory_order_acquire);
      if (!started) continue;
      LARGE_INTEGER now;
      QueryPerformanceCounter(&now);
      if ((now.QuadPart - started) * 1000 / m_frequency.QuadPart > m_hangMs) {
        char why[64];
        std::snprintf(why, sizeof why, "no end after %lu ms", m_hangMs);
        Write("hang", why);
        TerminateProcess(GetCurrentProcess(), 71);
      }
    }
  }

  // Without the heap, which the failing input may have damaged: kernel calls and the stack.
  void Write(const char* kind, const char* why) {
    char path[MAX_PATH];
    std::snprintf(path, sizeof path, "%s/%s-%s-%s.bin", m_out, kind, m_target, m_current.label);
    DWORD written = 0;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      if (m_current.data) {
        WriteFile(file, m_current.data, static_cast<DWORD>(m_current.size), &written, nullptr);
      }
      CloseHandle(file);
    }
    char line[3 * MAX_PATH];
    int length = std::snprintf(line, sizeof line,
                               "\nfuzz %s: %s (%s) on input %s, %u bytes, written to %s\n"
                               "fuzz %s: replay with --target %s --replay %s\n",
                               m_target, kind, why, m_current.label, unsigned(m_current.size), path,
                               m_target, m_target, path);
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, static_cast<DWORD>(length), &written, nullptr);
  }

  Current m_current;
  const char* m_target = "";
  char m_out[MAX_PATH] = {};
  DWORD m_hangMs = 0;
  const char* m_why = "";
  LARGE_INTEGER m_frequency = {};
  ScopedFileHandle m_crashed{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  ScopedFileHandle m_written{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

// Runs inputs one at a time and keeps the figures of the run.
class Runner {
 public:
  explicit Runner(const Target& target) : m_target(target) {
    QueryPerformanceFrequency(&m_frequency);
  }

  void Run(const std::string& input, const char* label) {
    const uint8_t* data = m_buffer.Place(input, m_target.terminated);
    Current& current = Guard::Get().current();
    current.data = data;
    current.size = input.size();
    std::snprintf(current.label, sizeof current.label, "%s", label);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    current.started.store(start.QuadPart, std::memory_order_release);
    m_target.run(data, input.size());
    QueryPerformanceCounter(&end);
    current.started.store(0, std::memory_order_release);
    const double ms = double(end.QuadPart - start.QuadPart) * 1000.0 / double(m_frequency.QuadPart);
    ++m_count;
    if (ms > m_longestMs) {
      m_longestMs = ms;
      m_longestLabel = label;
      m_longestSize = input.size();
    }
  }

  uint64_t count() const { return m_count; }
  std::string Longest() const {
    char text[160];
    std::snprintf(text, sizeof text, "longest input %.1f ms (%s, %u bytes)", m_longestMs,
                  m_longestLabel.c_str(), unsigned(m_longestSize));
    return text;
  }

 private:
  const Target& m_target;
  GuardedBuffer m_buffer;
  LARGE_INTEGER m_frequency;
  uint64_t m_count = 0;
  double m_longestMs = 0;
  std::string m_longestLabel = "-";
  size_t m_longestSize = 0;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (!value) return false;
    ++i;
    if (arg == "--target") {
      for (const Target* t : kTargets) {
        if (std::strcmp(t->name, value) == 0) options.target = t;
      }
    } else if (arg == "--inputs") {
      options.inputs = std::strtoull(value, nullptr, 10);
    } else if (arg == "--seed") {
      options.seed = std::strtoull(value, nullptr, 10);
    } else if (arg == "--only") {
      options.only = std::strtoll(value, nullptr, 10);
    } else if (arg == "--replay") {
      options.replay = value;
    } else if (arg == "--data") {
      options.data = value;
    } else if (arg == "--out") {
      options.out = value;
    } else if (arg == "--hang-ms") {
      options.hangMs = std::strtoul(value, nullptr, 10);
    } else if (arg == "--progress") {
      options.progressSeconds = std::strtoul(value, nullptr, 10);
    } else {
      return false;
    }
  }
  if (options.data.empty()) {
    const char* source = std::getenv("REV_SOURCE_DIR");
    if (source) options.data = std::string(source) + "/tests/fuzz";
  }
  return options.target != nullptr;
}

void Usage() {
  std::fprintf(stderr,
               "usage: fuzz_parsers --target NAME [--inputs N] [--seed S] [--only I]\n"
               "       [--replay FILE] [--data DIR] [--out DIR] [--hang-ms MS] [--progress S]\n"
               "targets:");
  for (const Target* t : kTargets) std::fprintf(stderr, " %s", t->name);
  std::fprintf(stderr, "\n");
}

}  // namespace

LoopbackPeer::LoopbackPeer(RequestComplete complete)
    : m_complete(complete), m_served(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int size = sizeof address;
  if (m_listener == INVALID_SOCKET ||
      bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(m_listener, 4) != 0 ||
      getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    std::fprintf(stderr, "fuzz: no loopback listener (error %d)\n", WSAGetLastError());
    std::exit(4);
  }
  m_port = ntohs(address.sin_port);
  // The peer lives as long as the process.
  CloseHandle(CreateThread(nullptr, 0, &LoopbackPeer::ThreadProc, this, 0, nullptr));
}

void LoopbackPeer::Serve(const uint8_t* data, size_t size) {
  std::lock_guard<std::mutex> lock(m_lock);
  m_reply.assign(reinterpret_cast<const char*>(data), size);
  ResetEvent(m_served.get());
}

bool LoopbackPeer::WaitServed(DWORD milliseconds) {
  return WaitForSingleObject(m_served.get(), milliseconds) == WAIT_OBJECT_0;
}

DWORD WINAPI LoopbackPeer::ThreadProc(void* self) {
  static_cast<LoopbackPeer*>(self)->AnswerConnections();
  return 0;
}

void LoopbackPeer::AnswerConnections() {
  for (;;) {
    SOCKET peer = accept(m_listener, nullptr, nullptr);
    if (peer == INVALID_SOCKET) continue;
    // The whole request first: closing with unread bytes would reset the connection, and the
    // reset could overtake the reply.
    std::string request;
    char piece[4096];
    DWORD start = GetTickCount();
    while (!m_complete(request) && request.size() < (64u << 10) && GetTickCount() - start < 5000) {
      fd_set readable;
      FD_ZERO(&readable);
      FD_SET(peer, &readable);
      timeval wait = {0, 100000};
      if (select(0, &readable, nullptr, nullptr, &wait) != 1) continue;
      int got = recv(peer, piece, sizeof piece, 0);
      if (got <= 0) break;
      request.append(piece, got);
    }
    std::string reply;
    {
      std::lock_guard<std::mutex> lock(m_lock);
      reply = m_reply;
    }
    // Room for the whole reply at once: the program reads it only after its request is sent.
    int room = static_cast<int>(reply.size()) + (64 << 10);
    setsockopt(peer, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&room), sizeof room);
    SendAll(peer, reply.data(), static_cast<int>(reply.size()), 0);
    shutdown(peer, SD_SEND);
    closesocket(peer);
    SetEvent(m_served.get());
  }
}

Bytes GuardedText(const uint8_t* data, size_t size) {
  // The string's buffer holds its bytes and the terminating zero: size + 1 (none for the short
  // strings kept inside the object).
  t_guardedAllocation = size + 1;
  Bytes text(reinterpret_cast<const char*>(data), size);
  t_guardedAllocation = 0;
  return text;
}

const std::wstring& WorkFolder() {
  // Kept to the end: the logger holds its files there open.
  static testsupport::TempDir* const folder = new testsupport::TempDir;
  return folder->path();
}

}  // namespace fuzz

// The program's allocations go to the C runtime's heap as they would without the fuzzer (and so
// under Wine's heap checking); only GuardedText's buffer is placed against the no-access page,
// and freeing it leaves the page for the next one.
void* operator new(size_t size) {
  if (fuzz::t_guardedAllocation && size == fuzz::t_guardedAllocation) {
    fuzz::t_guardedAllocation = 0;
    return fuzz::TextBuffer().Reserve(size);
  }
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) {
  return operator new(size);
}
void operator delete(void* p) noexcept {
  if (!fuzz::TextBuffer().Owns(p)) std::free(p);
}
void operator delete[](void* p) noexcept {
  operator delete(p);
}
void operator delete(void* p, size_t) noexcept {
  operator delete(p);
}
void operator delete[](void* p, size_t) noexcept {
  operator delete(p);
}

int main(int argc, char** argv) {
  using namespace fuzz;
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    Usage();
    return 2;
  }
  const Target& target = *options.target;
  // The settings and the log of the program go to a folder of the run's own.
  SetProgramFolderForTesting(CString(WorkFolder().c_str()));
  Guard::Get().Start(options);
  Runner runner(target);

  std::vector<Bytes> corpus;
  for (const std::string& path : FolderFiles(options.data + "/seeds/" + target.seeds)) {
    corpus.push_back(ReadFile(path));
  }
  if (target.setUp) target.setUp(corpus);
  const std::vector<std::string> regressions =
      FolderFiles(options.data + "/regressions/" + target.name);

  if (!options.replay.empty()) {
    runner.Run(ReadFile(options.replay), "replay");
    std::printf("fuzz %s: replayed %s without a crash or hang, %s\n", target.name,
                options.replay.c_str(), runner.Longest().c_str());
    return 0;
  }
  if (corpus.empty()) {
    std::fprintf(stderr, "fuzz %s: no seeds in %s/seeds/%s\n", target.name, options.data.c_str(),
                 target.seeds);
    return 2;
  }

  char label[64];
  if (options.only < 0) {
    // Every committed crash and hang first, then the seeds as they are.
    for (size_t i = 0; i < regressions.size(); ++i) {
      std::snprintf(label, sizeof label, "regression%u", unsigned(i));
      runner.Run(ReadFile(regressions[i]), label);
    }
    for (size_t i = 0; i < corpus.size(); ++i) {
      std::snprintf(label, sizeof label, "seed-file%u", unsigned(i));
      runner.Run(corpus[i], label);
    }
  }
  for (const std::string& path : regressions) corpus.push_back(ReadFile(path));

  const DWORD begin = GetTickCount();
  DWORD lastProgress = begin;
  const uint64_t first = options.only < 0 ? 0 : uint64_t(options.only);
  const uint64_t end = options.only < 0 ? options.inputs : first + 1;
  for (uint64_t i = first; i < end; ++i) {
    Mutator mutator(InputSeed(options.seed, i), corpus, target.maxInput);
    Bytes input = mutator.Make();
    if (target.mutate && mutator.random().OneIn(3)) target.mutate(mutator, input);
    std::snprintf(label, sizeof label, "seed%llu-input%llu", (unsigned long long)options.seed,
                  (unsigned long long)i);
    runner.Run(input, label);
    const DWORD now = GetTickCount();
    if (options.progressSeconds && now - lastProgress >= options.progressSeconds * 1000) {
      lastProgress = now;
      const double seconds = (now - begin) / 1000.0;
      std::printf("fuzz %s: %llu/%llu inputs, %.0f/s, %s\n", target.name,
                  (unsigned long long)(i + 1 - first), (unsigned long long)(end - first),
                  seconds > 0 ? (i + 1 - first) / seconds : 0.0, runner.Longest().c_str());
      std::fflush(stdout);
    }
  }
  std::printf(
      "fuzz %s: %llu inputs (%u regressions, %u seeds, %llu mutated, seed %llu) in %.0f s,"
      " no crash, no hang; %s\n",
      target.name, (unsigned long long)runner.count(), unsigned(regressions.size()),
      unsigned(options.only < 0 ? corpus.size() - regressions.size() : 0),
      (unsigned long long)(end - first), (unsigned long long)options.seed,
      (GetTickCount() - begin) / 1000.0, runner.Longest().c_str());
  return 0;
}
