// Helpers shared by the windows and workers of the program: opening pages in the browser,
// waiting for workers, copying and deleting files, asking for cover pictures, wrapped text,
// date numbers, character classes and string formatting.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Opens an address in the user's browser; on failure tells the user and returns false.
bool OpenUrl(const wchar_t* url);
// Receives every address OpenUrl opens instead of the browser (tests install one, as they
// answer message boxes); true when it was opened.
using UrlOpener = bool (*)(const wchar_t* url);
// Installs opener (null restores the browser) and returns the previous one. Thread-safe.
UrlOpener SetUrlOpener(UrlOpener opener);

bool FileExists(const wchar_t* path);

// Copies source to target, creating the target's folder first. False only when the disk is
// full; other failures are logged and still give true (callers go on with the next file).
bool CopyFileCreatingFolder(const wchar_t* source, const wchar_t* target, bool failIfExists);

// Copies source to target (never over an existing file), cancelled as soon as cancelEvent is
// signalled. A full disk is reported to the user; false then and when cancelled.
bool CopyFileWithProgress(const wchar_t* source, const wchar_t* target, HANDLE cancelEvent);

// Deletes a file. False only when the request was aborted or the device is not ready; other
// failures but "not found" are logged.
bool DeleteFileLogged(const wchar_t* path);

// Deletes every file that a pattern such as L"C:\\dir\\*.tmp" finds.
void DeleteFilesMatching(const wchar_t* pattern);
// Empties and removes the plain folders that a pattern finds.
void DeleteSubfolders(const wchar_t* pattern);

// How long a stopped worker has to end by itself (seeing its flag or its stop event) before it
// is terminated. A killed worker may leave a lock it held (heap, logger, queue) taken for good,
// so the kill is the last resort.
constexpr DWORD kWorkerStopGrace = 2000;

// Waits like WaitForMultipleObjects for any one of the handles (the lowest index wins), and
// meanwhile answers messages sent to the calling thread's windows, so that a worker reporting
// with SendMessage never hangs on a thread that waits for it. The result of the wait.
DWORD WaitAnsweringSentMessages(DWORD count, const HANDLE* handles, DWORD milliseconds);
// The same for one thread: WAIT_OBJECT_0 once it has ended.
DWORD WaitForThreadEnd(HANDLE thread, DWORD milliseconds);
// After a worker's stop has been asked for: gives it kWorkerStopGrace to end by itself (waiting
// as WaitForThreadEnd does), then kills it with a log line; returns only once the thread is gone,
// so that what it used may be freed. True when it ended by itself.
bool EndStoppedWorker(HANDLE thread);

// Waits for a worker thread to end, or for stopEvent (INVALID_HANDLE_VALUE: none), whichever
// comes first. After a stop the worker has kWorkerStopGrace to end by itself, then it is
// killed; either way this returns only once the thread is gone, so its task may be freed. True
// exactly when the thread ended by itself with exit code 0.
bool _WaitForThread(HANDLE thread, HANDLE stopEvent);

// Thread procedure: sleeps the given number of milliseconds, then ends the process with exit
// code 1. It cuts short a shutdown that hangs.
DWORD WINAPI ExitWatchdogThread(LPVOID milliseconds);

// Parameter of CopySongsToDeviceThread.
struct DeviceTask {
  int nOperation = 2;     // 0 copy, 1 delete, 2 nothing
  std::wstring strPath1;  // the source of a copy, the file of a delete
  std::wstring strPath2;  // the target of a copy
  BYTE bFailIfExists = 1;
};

// Thread procedure over a DeviceTask: exit code 0 done, 1 no task, 2 failed.
DWORD WINAPI CopySongsToDeviceThread(LPVOID task);

// Deletes a file on a worker thread unless stopEvent comes first; true when it was deleted.
bool DeleteFileOnWorker(const wchar_t* path, HANDLE stopEvent);

// Asks the main frame's image downloader for a picture; window (or its rectangle, when given)
// is repainted once the file is there. The local folder is created first.
void RequestImageDownload(const wchar_t* url, const wchar_t* localPath, HWND window,
                          const RECT* rect = nullptr);

// Draws text from rect's top-left corner, broken into lines that fit the rectangle's width,
// one lineHeight apart. Nothing is clipped.
void DrawWrappedText(HDC dc, const RECT& rect, const wchar_t* text, int lineHeight);

// The line breaking of DrawWrappedText: a line ends before the character at which the running
// width reaches the available width; a line always keeps at least its first character.
std::vector<std::wstring> BreakTextIntoLines(const std::wstring& text, int width,
                                             const std::function<int(wchar_t)>& measure);

bool IsWindowsXP();

// The local date of a time value as YYYYMMDD.
int GetDateNumber(__time64_t time);
// GetDateNumber of now plus days.
int GetDateNumberAfterDays(int days);

bool IsCjkChar(wchar_t ch);     // U+4E00 to U+9FA5
bool IsDigitChar(wchar_t ch);   // 0 to 9
bool IsLetterChar(wchar_t ch);  // A to Z, a to z

// printf-style formatting with the Windows rules ("%s" is a wide string); empty for a null or
// failing format.
std::wstring FormatWString(const wchar_t* format, ...);

// Form encoding: ASCII letters and digits kept, white space as "+", everything else "%XX".
std::string UrlEncode(const std::string& text);

// Removes leading and trailing spaces (the space character only).
void TrimSpaces(std::string& text);

// Wide text in the system ANSI code page.
std::string WStringToAnsi(const std::wstring& text);
