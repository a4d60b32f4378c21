// The program's diagnostic log: a pair of rotating text files beside the program, plus a second
// pair that keeps only the important levels.
//
// Each entry line reads
//   2013-05-01 12:34:56 (7) [0x1a2c](0, -1)normal : application run!
// time with milliseconds, the writing thread, the lock counters of the last narrow entry, the
// level prefix and the text (ANSI code page bytes). When the active file passes 4 MiB the other
// file of the pair is truncated and takes over, so each pair holds the newest 4 to 8 MiB.
//
// No log operation throws or reports an error to its caller: a lost entry must never break the
// program it describes.
#pragma once

#include <cstdarg>
#include <fstream>
#include <string>

#include "foundation/critical_session.h"

namespace em_utility {

namespace log_level {
enum : int { detail = 0, normal = 1, important = 2, topmost = 3, error = 4 };
}

// One rotating pair of files: base + ".1.txt" and base + ".2.txt".
class log_file {
 public:
  explicit log_file(bool with_lock);
  ~log_file();
  log_file(const log_file&) = delete;
  log_file& operator=(const log_file&) = delete;

  // Opens the newer file of the pair for appending (file 1 unless file 2 is strictly newer) and
  // writes the start banner. False when already open.
  bool open(const std::wstring& base);
  // One entry; locked says the caller already holds this file's lock.
  void write(int level, const std::string& text, bool locked);
  void write(int level, const std::wstring& text, bool locked);
  void log_text(const std::string& text, int level);
  void log_text(const wchar_t* text, int level);
  // Writes the end banner and closes both files.
  void close();
  void flush(bool locked);
  void set_enabled(bool enabled) { m_enabled = enabled; }
  bool is_enabled() const { return m_enabled; }
  int get_level() const { return m_threshold; }
  void set_level(int level, bool also_higher);
  // The lock's counted operations; -1 without a lock.
  int lock();
  int unlock();

 private:
  std::fstream* active() const { return m_use_file1 ? m_stream1 : m_stream2; }
  const std::wstring& active_name() const { return m_use_file1 ? m_name1 : m_name2; }
  bool passes(int level) const;
  void write_entry(int level, const std::string& text, bool locked, bool wide);
  void open_file();
  void switch_file(bool locked);
  // Switches with the lock held and starts the new file with the switch banner.
  void switch_with_banner();
  std::string time_prefix() const;

  std::fstream* m_stream1;
  std::fstream* m_stream2;
  std::wstring m_name1;
  std::wstring m_name2;
  bool m_use_file1 = true;
  bool m_enabled = true;
  bool m_with_lock;
  unsigned m_size_limit = 4194304;
  int m_threshold = log_level::normal;
  bool m_also_higher = true;
  i_lock* m_lock = nullptr;
};

// The main pair and the optional pair of important entries ("topmost" file).
class logger {
 public:
  logger(bool with_lock, bool with_topmost);
  ~logger();
  logger(const logger&) = delete;
  logger& operator=(const logger&) = delete;

  // Opens the main pair at base and the topmost pair at base + ".top". Always true.
  bool open(const std::wstring& base);
  // printf-style entries (Windows rules: in a wide format "%s" is a wide string). The text is
  // cut after 204799 characters.
  void log(const char* format, ...);
  void log(int level, const char* format, ...);
  void log(int level, const wchar_t* format, ...);
  void log_text(const char* text, int level);
  void log_text(const std::string& text);
  void set_level(unsigned level);
  int get_level() const;
  void set_enabled(bool enabled);
  bool is_enabled() const;
  void flush();
  // Closes the files but keeps the objects; close() also destroys them.
  void close_files();
  void close();

 private:
  void write(int level, const std::string& text);

  log_file* m_main = nullptr;
  log_file* m_top = nullptr;
};

}  // namespace em_utility

// The process-wide logger, created and opened on first use at <program folder>\log\main.log.txt.
em_utility::logger* GetLogger();
