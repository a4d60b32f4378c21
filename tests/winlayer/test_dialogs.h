// Ids of the dialog templates of the window layer's tests (test_dialogs.rc).
#pragma once

#define IDD_TEST_PLAIN 100
#define IDD_TEST_LISTS 101
#define IDD_TEST_PLAYER 102

#define IDC_TEST_LABEL 1000
#define IDC_TEST_DIRECT_LIST 1001
#define IDC_TEST_REFLECTED_LIST 1002
#define IDC_TEST_PLAYER 1041
