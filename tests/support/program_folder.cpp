#include "support/program_folder.h"

#include <windows.h>

#include <cstdlib>
#include <string>

#include "foundation/config.h"
#include "foundation/logger.h"

namespace testsupport {

// Set at construction, before main runs the tests: the singletons may be created by any test.
TempProgramFolder::TempProgramFolder() : m_dir(new TempDir) {
  SetProgramFolderForTesting(CString(m_dir->path().c_str()));
}

bool TempProgramFolder::AddSkinPictures() const {
  const char* source = std::getenv("REV_SOURCE_DIR");
  if (!source) return false;
  std::wstring images = m_dir->path() + L"images\\";
  CreateDirectoryW(images.c_str(), nullptr);
  std::string from = std::string(source) + "/resources/images/bg.jpg";
  return CopyFileW(std::wstring(from.begin(), from.end()).c_str(), (images + L"bg.jpg").c_str(),
                   FALSE) != FALSE;
}

// The folder stays: the process-wide logger keeps its files open until the process ends.
TempProgramFolder::~TempProgramFolder() { m_dir.release(); }

std::string TempProgramFolder::MainLogText() const {
  GetLogger()->flush();
  const std::wstring base = path() + L"log\\main.log.txt";
  return ReadFileBytes(base + L".1.txt") + ReadFileBytes(base + L".2.txt");
}

size_t CountOccurrences(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace testsupport
