// Every open and save dialog for a file goes through ShowFileDialog, so that tests can answer
// them as they answer message boxes (see message_box.h).
#pragma once

#include <windows.h>

#include <string>

// Shows the system's open (save false) or save dialog. filter is written "Name|*.ext|...";
// defaultExt is added to a name typed without one. True with the chosen path; false when the
// user cancelled.
bool ShowFileDialog(bool save, HWND owner, const wchar_t* defaultExt, const wchar_t* filter,
                    std::wstring* path);

// Receives every dialog instead of the screen.
using FileDialogHandler = bool (*)(bool save, HWND owner, const wchar_t* defaultExt,
                                   const wchar_t* filter, std::wstring* path);

// Installs handler (null restores the real dialogs) and returns the previous one.
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);
