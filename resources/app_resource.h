// Resource ids of the program's own windows (resources/app.rc), shared by the resource script
// and the code. The lyric workspace and the skinned controls carry resource scripts of their own.
#pragma once

// Dialogs
#define IDD_ABOUTBOX 101
#define IDD_UPDATE 102
#define IDD_SETTINGS 205
#define IDD_SPLASH 245
#define IDD_LOGIN 263

// Menus and strings
#define IDR_MAINMENU 227
#define IDS_ABOUTBOX 297

// Icon
#define IDI_MAINFRAME 296

// Bitmaps of the login dialog
#define IDB_LOGIN_CAPTION 306
#define IDB_LOGIN_BANNER 308
#define IDB_LOGIN_EDGE 309
#define IDB_LOGIN_LINE 310
#define IDB_LOGIN_CLOSE 311
#define IDB_LOGIN_MINIMIZE 312
#define IDB_LOGIN_TITLE 316

// Bitmaps of the main frame
#define IDB_LOAD_SONG 212
#define IDB_FRAME_MINIMIZE 225
#define IDB_FRAME_MAXIMIZE 244
#define IDB_FRAME_CLOSE 282
#define IDB_LOGO 292
#define IDB_MENU_BUTTON 32827

// Bitmaps of the dialogs, bars and the radio library list
#define IDB_NOTICE_CLOSE 204
#define IDB_SPLASH 220
#define IDB_LISTEN 211
#define IDB_BADGE_FLAG 273
#define IDB_BADGE_NUMBER 274
#define IDB_LISTEN_SELECTED 294
#define IDB_ABOUT 317

// Controls of the login dialog
#define IDC_LOGIN_USER 1016
#define IDC_LOGIN_PASSWORD 1017
#define IDC_LOGIN_AUTO 1035
#define IDC_LOGIN_REMEMBER 1034
#define IDC_LOGIN_REGISTER 1038
#define IDC_LOGIN_FORGOT 1039
#define IDC_LOGIN_MINIMIZE 314
#define IDC_LOGIN_CLOSE 313

// Controls of the about and update dialogs
#define IDC_ABOUT_TEXT 1028
#define IDC_UPDATE_TIP 1029
#define IDC_UPDATE_LINK 1030

// Controls of the settings dialog
#define IDC_SET_TEST 3
#define IDC_SET_PROXY_TYPE 1004
#define IDC_SET_PROXY_ADDR 1024
#define IDC_SET_PROXY_PORT 1016
#define IDC_SET_PROXY_USER 1001
#define IDC_SET_PROXY_PW 1017
#define IDC_SET_SPEED_LIMIT 1018
#define IDC_SET_LIMIT_CHECK 1020
#define IDC_SET_AUTO_UPDATE 1021
#define IDC_SET_SPEED_SPIN 1026

// Commands of the main frame and its menu
#define IDC_MENU_BUTTON 1003
#define IDC_MINIMIZE_BUTTON 1004
#define IDC_CLOSE_BUTTON 1005
#define IDC_SHOW_STATION 1008
#define IDC_SHOW_WORKSPACE 1009
#define IDC_MAXIMIZE_BUTTON 1010
#define IDC_LOAD_SONG_BUTTON 1011
#define IDC_ADDRESS_BOX 10000
#define IDC_NOTICE_CLOSE 1002
#define ID_HELP_USAGE 32781
#define ID_APP_ABOUT 32782
#define ID_CHECK_UPDATE 32783
#define ID_APP_EXIT 32784
#define ID_CHANGE_USER 32813
#define ID_TOPMOST 32816
#define ID_BUG_REPORT 32827

// The program's version: VERSIONINFO, the status bar and the update check read it.
#define REV_VERSION_MAJOR 1
#define REV_VERSION_MINOR 0
#define REV_VERSION_BUILD 15
#define REV_VERSION_REVISION 17
