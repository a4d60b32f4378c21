// Skinned standard scroll bars for any window, without changing its class. SkinSB_AttachWindow
// subclasses the window and keeps a SkinSB_State under the property "PROP_SkinSB";
// SkinSB_WindowProc paints the non-client bars from the skin bitmap and runs the clicks, repeats
// and drags. Because the window's own code keeps calling the system's scroll-bar functions,
// SkinSB_InstallApiHooks redirects the eight of them for the whole process: for a window with
// the property they read and write the state, for any other window they call the real function.
#pragma once

#include <windows.h>

// The skin bitmap resource: 256 x 48 pixels, 24 bits, cells of 16 x 16 (resources/).
#include "resources/scrollbar_skin.h"

// Gives the window's standard scroll bars the skin (not owned: the caller keeps it alive and
// deletes it). FALSE with ERROR_INVALID_HANDLE for a non-window or a null skin; FALSE when the
// window is already skinned or the state cannot be kept.
BOOL WINAPI SkinSB_AttachWindow(HWND hWnd, HBITMAP hSkin);

// Undoes SkinSB_AttachWindow and hands the stored scroll state back to the system's bars. FALSE
// when the window is not skinned. Runs by itself when the window is destroyed.
BOOL WINAPI SkinSB_DetachWindow(HWND hWnd);

// Attach and remove the eight redirections. Once per process: at start-up before any window
// exists, and at shutdown after the last one is gone (a removed redirection cannot be installed
// again). Both return TRUE whatever the single attachments return.
BOOL WINAPI SkinSB_InstallApiHooks();
BOOL WINAPI SkinSB_RemoveApiHooks();

LRESULT CALLBACK SkinSB_WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

// The replacements of the user32 functions of the same names.
int WINAPI SkinSB_SetScrollInfoHook(HWND hWnd, int nBar, LPCSCROLLINFO lpsi, BOOL bRedraw);
BOOL WINAPI SkinSB_GetScrollInfoHook(HWND hWnd, int nBar, LPSCROLLINFO lpsi);
int WINAPI SkinSB_SetScrollPosHook(HWND hWnd, int nBar, int nPos, BOOL bRedraw);
int WINAPI SkinSB_GetScrollPosHook(HWND hWnd, int nBar);
BOOL WINAPI SkinSB_SetScrollRangeHook(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw);
BOOL WINAPI SkinSB_GetScrollRangeHook(HWND hWnd, int nBar, LPINT lpMinPos, LPINT lpMaxPos);
BOOL WINAPI SkinSB_ShowScrollBarHook(HWND hWnd, int wBar, BOOL bShow);
BOOL WINAPI SkinSB_EnableScrollBarHook(HWND hWnd, UINT wSBflags, UINT wArrows);

// The static trampolines: the real functions, whether the redirections are installed or not.
extern "C" {
int WINAPI SkinSB_SetScrollInfoTrampoline(HWND, int, LPCSCROLLINFO,
                                          BOOL) asm("SkinSB_SetScrollInfoTrampoline");
BOOL WINAPI SkinSB_GetScrollInfoTrampoline(HWND, int,
                                           LPSCROLLINFO) asm("SkinSB_GetScrollInfoTrampoline");
int WINAPI SkinSB_SetScrollPosTrampoline(HWND, int, int, BOOL) asm("SkinSB_SetScrollPosTrampoline");
int WINAPI SkinSB_GetScrollPosTrampoline(HWND, int) asm("SkinSB_GetScrollPosTrampoline");
BOOL WINAPI SkinSB_SetScrollRangeTrampoline(HWND, int, int, int,
                                            BOOL) asm("SkinSB_SetScrollRangeTrampoline");
BOOL WINAPI SkinSB_GetScrollRangeTrampoline(HWND, int, LPINT,
                                            LPINT) asm("SkinSB_GetScrollRangeTrampoline");
BOOL WINAPI SkinSB_ShowScrollBarTrampoline(HWND, int, BOOL) asm("SkinSB_ShowScrollBarTrampoline");
BOOL WINAPI SkinSB_EnableScrollBarTrampoline(HWND, UINT,
                                             UINT) asm("SkinSB_EnableScrollBarTrampoline");
}
