#include "foundation/logger.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <clocale>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

#include "foundation/config.h"
#include "foundation/file_util.h"
#include "foundation/folder_util.h"
#include "foundation/text_convert.h"
#include "winlayer/cstring.h"

namespace em_utility {

namespace {

const char* const kPrefixes[] = {
    "detail : ", "normal : ", "important : ", "topmost : ", "error : "};

// GBK: "----------写日志文件开始----------" and its siblings.
const char kStartBanner[] =
    "----------\xD0\xB4\xC8\xD5\xD6\xBE\xCE\xC4\xBC\xFE\xBF\xAA\xCA\xBC----------";
const char kEndBanner[] =
    "----------\xD0\xB4\xC8\xD5\xD6\xBE\xCE\xC4\xBC\xFE\xBD\xE1\xCA\xF8----------";
const char kSwitchBanner[] = "----------\xC7\xD0\xBB\xBB\xC8\xD5\xD6\xBE\xCE\xC4\xBC\xFE----------";

constexpr size_t kMaxText = 204799;  // characters kept of one formatted entry

// Lock counters of the last entry of any log file, printed in every line for tracing
// contention; one pair for narrow and one for wide entries.
std::atomic<int> g_narrow_lock{-1};
std::atomic<int> g_narrow_unlock{-1};
std::atomic<int> g_wide_lock{-1};
std::atomic<int> g_wide_unlock{-1};

void SetLogLocale() {
  setlocale(LC_ALL, "chinese-simplified");
}

// msvcrt's functions (CString's for wide text), so that the formats keep their Windows meaning.
// The text is measured first: a fixed 200 KiB buffer per call would not fit on the stack of small
// worker threads.
std::string FormatNarrow(const char* format, va_list args) {
  if (!format) return std::string();
  va_list measure;
  va_copy(measure, args);
  int length = _vscprintf(format, measure);
  va_end(measure);
  if (length <= 0) return std::string();
  size_t kept = std::min(static_cast<size_t>(length), kMaxText);
  std::vector<char> buffer(kept + 1);
  _vsnprintf(buffer.data(), kept, format, args);
  buffer[kept] = 0;
  return std::string(buffer.data(), kept);
}

std::wstring FormatWide(const wchar_t* format, va_list args) {
  CString text;
  text.FormatV(format, args);
  size_t kept = std::min(static_cast<size_t>(text.GetLength()), kMaxText);
  return std::wstring(text.GetString(), kept);
}

std::fstream* NewStream() {
  return new (std::nothrow) std::fstream;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// log_file

log_file::log_file(bool with_lock)
    : m_stream1(NewStream()), m_stream2(NewStream()), m_with_lock(with_lock) {
  if (with_lock) m_lock = new (std::nothrow) critical_session;
}

log_file::~log_file() {
  close();
  delete m_stream1;
  delete m_stream2;
  delete m_lock;
}

bool log_file::passes(int level) const {
  return level == m_threshold || (level > m_threshold && m_also_higher);
}

void log_file::set_level(int level, bool also_higher) {
  m_threshold = level;
  m_also_higher = also_higher;
}

int log_file::lock() {
  return m_lock ? m_lock->lock_ex() : -1;
}

int log_file::unlock() {
  return m_lock ? m_lock->unlock_ex() : -1;
}

std::string log_file::time_prefix() const {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[64];
  _snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u (%u) ", now.wYear, now.wMonth,
            now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
  text[sizeof text - 1] = 0;
  return text;
}

bool log_file::open(const std::wstring& base) {
  SetLogLocale();
  if (!m_stream1 || !m_stream2 || m_stream1->is_open() || m_stream2->is_open()) return false;
  m_name1 = base + L".1.txt";
  m_name2 = base + L".2.txt";
  // Continue in the file written last; file 1 on a tie.
  m_use_file1 = !(get_file_mtime(m_name2.c_str()) > get_file_mtime(m_name1.c_str()));
  open_file();
  return true;
}

void log_file::open_file() {
  std::fstream* stream = active();
  if (!stream || stream->is_open()) return;
  std::streamoff position = -1;
  lock();
  try {
    // msvcrt opens files sharing reads and writes with others (deny none).
    stream->open(active_name().c_str(), std::ios::out | std::ios::app);
    if (stream->is_open()) {
      stream->seekp(0, std::ios::end);
      position = stream->tellp();
    } else {
      stream->setstate(std::ios::failbit);
    }
  } catch (...) {
  }
  unlock();
  // A file that cannot be opened reports -1, which is past any limit: the other file is used.
  if (static_cast<unsigned>(position) > m_size_limit) switch_file(false);
  if (m_enabled) {
    write(log_level::important, std::string(kStartBanner), false);
    lock();
    try {
      if (active()->is_open()) *active() << std::endl;
    } catch (...) {
    }
    unlock();
  }
}

void log_file::switch_file(bool locked) {
  if (!locked) lock();
  try {
    std::fstream* old = active();
    if (old && old->is_open()) old->close();
    if (old) old->clear();
    m_use_file1 = !m_use_file1;
    std::fstream* fresh = active();
    if (fresh) {
      fresh->clear();
      fresh->open(active_name().c_str(), std::ios::out | std::ios::trunc);
      if (!fresh->is_open()) fresh->setstate(std::ios::failbit);
    }
  } catch (...) {
  }
  if (!locked) unlock();
}

void log_file::switch_with_banner() {
  switch_file(true);
  std::fstream* fresh = active();
  if (fresh && fresh->is_open()) *fresh << time_prefix() << kSwitchBanner << std::endl;
}

void log_file::write(int level, const std::string& text, bool locked) {
  write_entry(level, text, locked, false);
}

void log_file::write(int level, const std::wstring& text, bool locked) {
  if (!passes(level)) return;
  write_entry(level, wide_to_ansi(text.c_str()), locked, true);
}

void log_file::write_entry(int level, const std::string& text, bool locked, bool wide) {
  if (!passes(level)) return;
  if (level < log_level::detail || level > log_level::error) return;
  std::atomic<int>& lock_count = wide ? g_wide_lock : g_narrow_lock;
  std::atomic<int>& unlock_count = wide ? g_wide_unlock : g_narrow_unlock;
  DWORD thread = GetCurrentThreadId();
  if (!locked) lock_count = lock();
  try {
    std::fstream* stream = active();
    // A file that could not be opened when its turn came hands over to the other one, as a file
    // that fails to write does, so that logging goes on. A pair closed on purpose (close or
    // close_files) is not failed: it takes nothing and must not truncate the other file.
    if (stream && !stream->is_open() && stream->fail()) {
      switch_with_banner();
      stream = active();
    }
    if (stream && stream->is_open()) {
      char head[96];
      _snprintf(head, sizeof head, "[0x%lx](%d, %d)", static_cast<unsigned long>(thread),
                lock_count.load(), unlock_count.load());
      head[sizeof head - 1] = 0;
      *stream << time_prefix() << head << kPrefixes[level] << text << std::endl;
      // A stream that failed to write reports -1 and so moves on to the other file.
      if (static_cast<unsigned>(static_cast<std::streamoff>(stream->tellp())) > m_size_limit) {
        switch_with_banner();
      }
    }
  } catch (...) {
  }
  if (!locked) unlock_count = unlock();
}

void log_file::log_text(const std::string& text, int level) {
  if (m_enabled) write(level, text, false);
}

void log_file::log_text(const wchar_t* text, int level) {
  if (m_enabled && text) write(level, std::wstring(text), false);
}

void log_file::close() {
  SetLogLocale();
  std::fstream* stream = active();
  if (stream && stream->is_open()) {
    if (m_enabled) {
      write(log_level::important, std::string(kEndBanner), false);
      lock();
      try {
        *stream << std::endl;
        stream->close();
        stream->clear();
      } catch (...) {
      }
      unlock();
    } else {
      stream->close();
      stream->clear();
    }
  } else if (stream) {
    stream->clear();  // closed on purpose now, whatever failed before
  }
  try {
    if (m_stream1 && m_stream1->is_open()) m_stream1->close();
    if (m_stream2 && m_stream2->is_open()) m_stream2->close();
  } catch (...) {
  }
}

void log_file::flush(bool locked) {
  if (!locked) lock();
  try {
    std::fstream* stream = active();
    if (stream && stream->is_open()) stream->flush();
  } catch (...) {
  }
  if (!locked) unlock();
}

// ---------------------------------------------------------------------------------------------
// logger

logger::logger(bool with_lock, bool with_topmost) {
  m_main = new (std::nothrow) log_file(with_lock);
  if (with_topmost) {
    m_top = new (std::nothrow) log_file(with_lock);
    if (m_top) m_top->set_level(log_level::important, true);
  }
}

logger::~logger() {
  close();
}

bool logger::open(const std::wstring& base) {
  if (m_main) m_main->open(base);
  if (m_top) m_top->open(base + L".top");
  return true;
}

void logger::write(int level, const std::string& text) {
  if (m_main && m_main->is_enabled()) m_main->write(level, text, false);
  if (m_top && m_top->is_enabled()) m_top->write(level, text, false);
}

void logger::log(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatNarrow(format, args);
  va_end(args);
  write(log_level::normal, text);
}

void logger::log(int level, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatNarrow(format, args);
  va_end(args);
  write(level, text);
}

void logger::log(int level, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::wstring text = FormatWide(format, args);
  va_end(args);
  if (m_main && m_main->is_enabled()) m_main->write(level, text, false);
  if (m_top && m_top->is_enabled()) m_top->write(level, text, false);
}

void logger::log_text(const char* text, int level) {
  if (text) write(level, std::string(text));
}

void logger::log_text(const std::string& text) {
  write(log_level::normal, text);
}

void logger::set_level(unsigned level) {
  if (level < 5 && m_main) m_main->set_level(static_cast<int>(level), true);
}

int logger::get_level() const {
  return m_main ? m_main->get_level() : log_level::normal;
}

void logger::set_enabled(bool enabled) {
  if (m_main) m_main->set_enabled(enabled);
  if (m_top) m_top->set_enabled(enabled);
}

bool logger::is_enabled() const {
  return m_main && m_main->is_enabled();
}

void logger::flush() {
  if (m_main) m_main->flush(false);
  if (m_top) m_top->flush(false);
}

void logger::close_files() {
  if (m_top) m_top->close();
  if (m_main) m_main->close();
}

void logger::close() {
  delete m_main;
  m_main = nullptr;
  delete m_top;
  m_top = nullptr;
}

}  // namespace em_utility

// ---------------------------------------------------------------------------------------------

namespace {

std::atomic<em_utility::logger*> g_ready{nullptr};

std::recursive_mutex& CreationMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

}  // namespace

em_utility::logger* GetLogger() {
  if (em_utility::logger* ready = g_ready.load(std::memory_order_acquire)) return ready;
  // Two threads may ask first; both must get the same logger, or each would rotate the files
  // under its own lock and truncate the other's.
  std::lock_guard<std::recursive_mutex> guard(CreationMutex());
  static em_utility::logger* creating = nullptr;
  if (em_utility::logger* ready = g_ready.load(std::memory_order_acquire)) return ready;
  // Asked again from inside its own creation (the settings it loads may log): the logger exists
  // and will be opened shortly.
  if (creating) return creating;
  creating = new em_utility::logger(true, true);
  CConfig* config = GetConfig();
  std::wstring folder = std::wstring(config->GetAppDir().GetString()) + L"log";
  em_utility::make_dirs(folder.c_str(), L'\\');
  creating->open(folder + L"\\main.log.txt");
  creating->set_level(0);
  creating->log(em_utility::log_level::normal, "application run!");
  g_ready.store(creating, std::memory_order_release);
  return creating;
}
