// Keeps a test executable's settings and logs out of the build tree: the program folder that
// CConfig and the logger derive their paths from becomes a fresh temporary folder.
//
// For tests that reach the logger or the settings only indirectly, register it once:
//   static auto* const kFolder =
//       ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/temp_dir.h"

namespace testsupport {

class TempProgramFolder : public ::testing::Environment {
 public:
  TempProgramFolder();
  ~TempProgramFolder() override;
  const std::wstring& path() const { return m_dir->path(); }
  // What the process-wide logger has written to its main pair of files so far.
  std::string MainLogText() const;
  // Puts the skin pictures that lie beside the program (images\bg.jpg) into the folder, from
  // the source tree named by REV_SOURCE_DIR; false when they could not be copied.
  bool AddSkinPictures() const;

 private:
  std::unique_ptr<TempDir> m_dir;
};

// How often what stands in text (log lines are counted by a piece of their text).
size_t CountOccurrences(const std::string& text, const std::string& what);

}  // namespace testsupport
