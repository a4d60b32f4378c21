// A fresh, empty folder for one test, removed with everything in it when the object goes.
#pragma once

#include <string>

namespace testsupport {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder, ending in a backslash.
  const std::wstring& path() const { return m_path; }
  // path() + name.
  std::wstring file(const std::wstring& name) const { return m_path + name; }

 private:
  std::wstring m_path;
};

// A fresh temporary folder for the whole process, named by TMP and TEMP while the object lives
// (songs and lyric files go there): one a test executable holds as a static object.
class ProcessTempFolder {
 public:
  ProcessTempFolder();
  const std::wstring& path() const { return m_dir.path(); }

 private:
  TempDir m_dir;
};

// Writes bytes to a file, replacing it. Returns false on failure.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// Reads a whole file; an empty string when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);

}  // namespace testsupport
