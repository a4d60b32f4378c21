// The mutation fuzzer of the parsers that read untrusted bytes: one executable, fuzz_parsers.exe,
// with one target per parser (target_*.cpp). The harness runs a target's seeds, then mutated
// inputs, each placed flush against a page the process may not touch, so that a read one byte
// past an input's end faults at once. An input that crashes the process (a fault, an uncaught
// exception, an abort) or runs longer than the hang limit is written to a file before the
// process ends; committed under tests/fuzz/regressions/<target>/, it is replayed by every run.
//
//   fuzz_parsers --target NAME [--inputs N] [--seed S] [--data DIR] [--out DIR]
//                [--hang-ms MS] [--progress SECONDS]
//   fuzz_parsers --target NAME --replay FILE   (one input, as a crash file holds it)
//   fuzz_parsers --target NAME --seed S --only I   (the I-th input of the run with seed S)
//
// DIR (default: tests/fuzz of REV_SOURCE_DIR) holds seeds/<folder>/ and regressions/<target>/.
// Input i of a run depends only on the seed and i, so a seed number reproduces a run and --only
// reproduces one input of it.
#pragma once

#include <winsock2.h>

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "foundation/scoped_handle.h"

namespace fuzz {

using Bytes = std::string;

class Mutator;

// One parser under test.
struct Target {
  const char* name;
  // The folder of its seeds under seeds/ (targets of one parser share them).
  const char* seeds;
  // The largest input the mutator makes for this parser.
  size_t maxInput;
  // The input is followed by a zero byte (inside the readable bytes, just before the no-access
  // page) for parsers that take NUL-terminated text.
  bool terminated;
  // Once before the first input; may add seeds made by the program itself. May be null.
  void (*setUp)(std::vector<Bytes>& seeds);
  // One input: the parser's entry point with the bytes, through whatever path the program gives
  // them to it (a file, a socket). Must not keep state that makes later inputs behave otherwise.
  void (*run)(const uint8_t* data, size_t size);
  // Extra mutations the parser's format needs (deep nesting, long flat lists); may be null.
  void (*mutate)(Mutator& mutator, Bytes& input);
};

// The targets, one per file.
extern const Target kLrcTarget;
extern const Target kHttpReplyTarget;
extern const Target kInflateTarget;
extern const Target kJsonNestedTarget;
extern const Target kJsonFlatTarget;
extern const Target kWebServiceXmlTarget;
extern const Target kUpdateDescriptionTarget;
extern const Target kSettingsTarget;
extern const Target kLoginReplyTarget;
extern const Target kDesEnvelopeTarget;

// A peer on 127.0.0.1 for parsers that read from a socket: each connection is answered with the
// bytes given to Serve once the request is whole (as complete judges it), then closed, so the
// program's own socket code reads the input as it would read a server's reply.
class LoopbackPeer {
 public:
  using RequestComplete = bool (*)(const std::string& request);
  explicit LoopbackPeer(RequestComplete complete);
  unsigned short port() const { return m_port; }
  // The reply to the next connection.
  void Serve(const uint8_t* data, size_t size);
  // Waits until that connection has been answered and closed; false after milliseconds.
  bool WaitServed(DWORD milliseconds);

 private:
  static DWORD WINAPI ThreadProc(void* self);
  void AnswerConnections();

  RequestComplete m_complete;
  SOCKET m_listener = INVALID_SOCKET;
  unsigned short m_port = 0;
  ScopedFileHandle m_served;
  std::mutex m_lock;
  std::string m_reply;
};

// The bytes as a string whose buffer (the bytes and the terminating zero) ends where a no-access
// page begins, for parsers that take a std::string: reading past its zero faults. One such string
// at a time.
Bytes GuardedText(const uint8_t* data, size_t size);

// A fresh folder for a target's files, made once per process (see program_folder.h: the
// settings and the log live there too).
const std::wstring& WorkFolder();

}  // namespace fuzz
