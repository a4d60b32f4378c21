// Resource and command ids of the lyric workspace, shared by its resource script and its code.
#pragma once

// The workspace dialog and its media player control.
#define IDD_LRCEDIT_DLG 264
#define IDC_PLAYER 1041

// The lyric editor and its lyric box and buttons.
#define IDD_EDIT_DLG 267
#define IDC_LYRIC_EDIT 1000
#define IDC_OPEN_LYRIC 1022
#define IDC_SAVE_LYRIC 1024
#define IDC_INSERT_TAG 1026
#define IDC_UPLOAD_LYRIC 1028
#define IDC_REPLACE_TAG 1029
#define IDC_SHIFT_FORWARD 1030
#define IDC_SHIFT_BACK 1031

// The strip above the display and its buttons and labels.
#define IDD_FAST_DLG 272
#define IDC_FAST_PREVIEW 1048
#define IDC_FAST_EDIT 1049
#define IDC_FAST_UPLOAD 1053
#define IDC_FAST_TITLE 274
#define IDC_FAST_LABEL2 275
#define IDC_FAST_LABEL3 276

// The song list's context menu and the workspace's commands.
#define IDR_SONG_LIST_MENU 270
#define ID_BACK_TO_DISPLAY 1025
#define ID_EDIT_SONG_LYRIC 32798
#define ID_PLAY_SONG 32800
#define ID_DOWNLOAD_LYRIC_AGAIN 32802
#define ID_DELETE_SONGS 32804
#define ID_CLEAR_SONG_LIST 32805
#define ID_OPEN_SONG_PAGE 32808
#define ID_DISPLAY_EDIT_LYRIC 32826
#define ID_RESET_SONG_BUFFER 32829
