// Answers the program's open and save dialogs during a test with a chosen path (an empty path:
// the user cancels).
//   FileDialogAnswer dialog(dir.file(L"copy.lrc"));
#pragma once

#include <string>

namespace testsupport {

class FileDialogAnswer {
 public:
  explicit FileDialogAnswer(std::wstring path);
  ~FileDialogAnswer();
  FileDialogAnswer(const FileDialogAnswer&) = delete;
  FileDialogAnswer& operator=(const FileDialogAnswer&) = delete;

  // The filter and default extension of the last dialog.
  std::wstring lastFilter() const;
  std::wstring lastExtension() const;
};

}  // namespace testsupport
