// File, folder and browser helpers of the common helper set.
#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <string>

#include "foundation/common_helpers.h"
#include "foundation/file_util.h"
#include "foundation/folder_util.h"
#include "foundation/frame_link.h"
#include "foundation/logger.h"
#include "foundation/message_box.h"
#include "foundation/scoped_handle.h"

namespace {

const wchar_t kCopyFailedText[] = L"复制歌曲信息失败，请确认所选设备有足够的存储空间！";

std::atomic<IFrameLink*> g_frameLink{nullptr};
std::atomic<UrlOpener> g_urlOpener{nullptr};

// The folder part of a path (everything before its last backslash); empty without one.
std::wstring FolderOf(const wchar_t* path) {
  std::wstring text = path ? path : L"";
  size_t slash = text.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : text.substr(0, slash);
}

void MakeFolderOf(const wchar_t* path) {
  std::wstring folder = FolderOf(path);
  if (!folder.empty()) em_utility::make_dirs(folder.c_str(), L'\\');
}

// Calls visit(path, entry) for every entry that a search pattern finds, the path being the
// pattern's folder part followed by the entry's name. A pattern without a folder part searches
// the current folder, so its paths are bare names, never names in the drive's root.
template <class Visit>
void ForEachMatch(const wchar_t* pattern, Visit visit) {
  if (!pattern || !*pattern) return;
  std::wstring text = pattern;
  size_t folderEnd = text.find_last_of(L"\\/:");
  std::wstring folder =
      folderEnd == std::wstring::npos ? std::wstring() : text.substr(0, folderEnd + 1);
  WIN32_FIND_DATAW found;
  ScopedFindHandle search(FindFirstFileW(pattern, &found));
  if (!search.valid()) return;
  do {
    visit(folder + found.cFileName, found);
  } while (FindNextFileW(search.get(), &found));
}

DWORD CALLBACK CancelCopyProgress(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD,
                                  DWORD, HANDLE, HANDLE, LPVOID cancelEvent) {
  HANDLE event = static_cast<HANDLE>(cancelEvent);
  if (event && WaitForSingleObject(event, 0) == WAIT_OBJECT_0) return PROGRESS_CANCEL;
  return PROGRESS_CONTINUE;
}

}  // namespace

void SetFrameLink(IFrameLink* link) {
  g_frameLink = link;
}

HWND GetFrameOwnerWindow() {
  IFrameLink* link = g_frameLink;
  return link ? link->GetOwnerWindow() : nullptr;
}

UrlOpener SetUrlOpener(UrlOpener opener) {
  return g_urlOpener.exchange(opener);
}

bool OpenUrl(const wchar_t* url) {
  UrlOpener opener = g_urlOpener;
  if (opener) {
    if (opener(url)) return true;
  } else {
    HINSTANCE result = ShellExecuteW(nullptr, nullptr, url, nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) > 32) return true;
  }
  ShowMessageBox(GetFrameOwnerWindow(), L"打开网页失败，请检查是否被杀毒软件或防火墙拦截！", L"试听失败",
                 MB_ICONWARNING);
  return false;
}

bool FileExists(const wchar_t* path) {
  return em_utility::file_exists(path);
}

bool CopyFileCreatingFolder(const wchar_t* source, const wchar_t* target, bool failIfExists) {
  MakeFolderOf(target);
  if (CopyFileW(source, target, failIfExists ? TRUE : FALSE)) return true;
  DWORD error = GetLastError();
  if (error == ERROR_DISK_FULL) return false;
  GetLogger()->log(em_utility::log_level::error, L"复制文件错误：%d", static_cast<int>(error));
  return true;
}

bool CopyFileWithProgress(const wchar_t* source, const wchar_t* target, HANDLE cancelEvent) {
  MakeFolderOf(target);
  BOOL cancel = FALSE;
  if (CopyFileExW(source, target, &CancelCopyProgress, cancelEvent, &cancel,
                  COPY_FILE_FAIL_IF_EXISTS)) {
    return true;
  }
  DWORD error = GetLastError();
  if (error == ERROR_DISK_FULL) {
    ShowMessageBox(GetFrameOwnerWindow(), kCopyFailedText, L"错误", MB_ICONERROR);
    return false;
  }
  if (error == ERROR_REQUEST_ABORTED) return false;
  GetLogger()->log(em_utility::log_level::error, L"复制文件错误：%d", static_cast<int>(error));
  return true;
}

bool DeleteFileLogged(const wchar_t* path) {
  if (DeleteFileW(path)) return true;
  DWORD error = GetLastError();
  if (error == ERROR_REQUEST_ABORTED || error == ERROR_NOT_READY) return false;
  if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
    GetLogger()->log(em_utility::log_level::error, L"删除文件失败！nErr = %d",
                     static_cast<int>(error));
  }
  return true;
}

void DeleteFilesMatching(const wchar_t* pattern) {
  ForEachMatch(pattern, [](const std::wstring& path, const WIN32_FIND_DATAW&) {
    DeleteFileW(path.c_str());  // folders among the matches simply stay
  });
}

void DeleteSubfolders(const wchar_t* pattern) {
  ForEachMatch(pattern, [](const std::wstring& path, const WIN32_FIND_DATAW& found) {
    std::wstring name = found.cFileName;
    // Plain folders only: hidden, system or read-only ones are left alone.
    if (found.dwFileAttributes != FILE_ATTRIBUTE_DIRECTORY || name == L"." || name == L"..") {
      return;
    }
    DeleteFilesMatching((path + L"\\*").c_str());
    RemoveDirectoryW(path.c_str());
  });
}

DWORD WINAPI CopySongsToDeviceThread(LPVOID parameter) {
  const DeviceTask* task = static_cast<const DeviceTask*>(parameter);
  if (!task) return 1;
  if (task->nOperation == 0) {
    if (!CopyFileCreatingFolder(task->strPath1.c_str(), task->strPath2.c_str(),
                                task->bFailIfExists != 0)) {
      ShowMessageBox(GetFrameOwnerWindow(), kCopyFailedText, L"错误", MB_ICONERROR);
      return 2;
    }
  } else if (task->nOperation == 1) {
    if (!DeleteFileLogged(task->strPath1.c_str())) return 2;
  }
  return 0;
}

bool DeleteFileOnWorker(const wchar_t* path, HANDLE stopEvent) {
  if (stopEvent && stopEvent != INVALID_HANDLE_VALUE &&
      WaitForSingleObject(stopEvent, 0) == WAIT_OBJECT_0) {
    return false;
  }
  DeviceTask task;
  task.nOperation = 1;
  task.strPath1 = path ? path : L"";
  HANDLE thread = CreateThread(nullptr, 0, &CopySongsToDeviceThread, &task, 0, nullptr);
  if (!thread) return false;
  // _WaitForThread returns only once the worker is gone, so the task may die with this frame.
  bool deleted = _WaitForThread(thread, stopEvent);
  CloseHandle(thread);
  return deleted;
}

void RequestImageDownload(const wchar_t* url, const wchar_t* localPath, HWND window,
                          const RECT* rect) {
  if (!url || !*url) return;
  IFrameLink* link = g_frameLink;
  if (!link) {
    GetLogger()->log(em_utility::log_level::error, L"没有主窗口，丢弃图片下载：%s", url);
    return;
  }
  MakeFolderOf(localPath);
  link->QueueImageDownload(url, localPath, window, rect);
}
