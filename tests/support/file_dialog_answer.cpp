#include "support/file_dialog_answer.h"

#include <mutex>

#include "foundation/file_dialog.h"

namespace testsupport {

namespace {

std::mutex g_mutex;
std::wstring g_path;
std::wstring g_filter;
std::wstring g_extension;

bool Answer(bool, HWND, const wchar_t* defaultExt, const wchar_t* filter, std::wstring* path) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_filter = filter ? filter : L"";
  g_extension = defaultExt ? defaultExt : L"";
  if (g_path.empty()) return false;
  if (path) *path = g_path;
  return true;
}

}  // namespace

FileDialogAnswer::FileDialogAnswer(std::wstring path) {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_path = std::move(path);
  }
  SetFileDialogHandler(&Answer);
}

FileDialogAnswer::~FileDialogAnswer() {
  SetFileDialogHandler(nullptr);
}

std::wstring FileDialogAnswer::lastFilter() const {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_filter;
}

std::wstring FileDialogAnswer::lastExtension() const {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_extension;
}

}  // namespace testsupport
