#include "foundation/file_dialog.h"

#include <commdlg.h>

#include <atomic>
#include <vector>

namespace {

std::atomic<FileDialogHandler> g_handler{nullptr};

}  // namespace

bool ShowFileDialog(bool save, HWND owner, const wchar_t* defaultExt, const wchar_t* filter,
                    std::wstring* path) {
  FileDialogHandler handler = g_handler.load();
  if (handler) return handler(save, owner, defaultExt, filter, path);

  // The dialog wants the filter's parts separated by NUL and ended by two.
  std::wstring filters = filter ? filter : L"";
  for (wchar_t& ch : filters) {
    if (ch == L'|') ch = L'\0';
  }
  filters.append(2, L'\0');
  std::vector<wchar_t> name(MAX_PATH * 4, L'\0');
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filters.c_str();
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.lpstrDefExt = defaultExt;
  // No overwrite prompt: the callers ask their own question about an existing file.
  dialog.Flags =
      OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | (save ? 0 : OFN_FILEMUSTEXIST);
  BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) return false;
  if (path) *path = name.data();
  return true;
}

FileDialogHandler SetFileDialogHandler(FileDialogHandler handler) {
  return g_handler.exchange(handler);
}
