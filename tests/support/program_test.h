// Tests of the built program itself (REV_PROGRAM), started as a user starts it against the
// stand-in: a temporary program folder (its name with Chinese characters and a space) holding
// the executable, its skin picture and a settings file, a temporary folder of its own for songs
// and lyrics, and helpers that find and answer its windows by process id.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include <boost/property_tree/ptree.hpp>

#include "support/standin_client.h"
#include "support/temp_dir.h"

namespace testsupport {

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Settings without an update check that remember the stand-in's editor (signing in at once
  // with autoLogin), or remember nobody.
  void WriteSettings(bool autoLogin, bool remember = true);
  std::string Settings();
  // The request log's entries for a path, oldest first.
  std::vector<boost::property_tree::ptree> Requests(const std::string& path);
  bool WaitForRequest(const std::string& path, DWORD ms = 30000);
  void Picture(HWND window, const wchar_t* name);
  HWND WaitForFrame(DWORD pid, DWORD ms = 20000);
  // The program's temporary folder (where songs and their lyric files go), ending in '\'.
  std::wstring TempFolder() const { return dir.path() + L"temp\\"; }

  StandinClient standin;
  TempDir dir;
  std::vector<std::pair<std::wstring, std::wstring>> savedTemp;
  std::wstring folder;
  std::wstring exe;
};

// A message box (or dialog) of process pid with that caption, once it shows; null when none came
// within ms.
HWND WaitForBox(DWORD pid, const wchar_t* caption, DWORD ms = 20000);
// The text of a message box.
std::wstring BoxText(HWND box);
// Answers a box with the command answer and returns once it is gone, so that the next wait
// cannot find it again.
void Answer(HWND box, int answer = IDOK);
// The three in turn: the text of the box, or "(no box)".
std::wstring AnswerBox(DWORD pid, const wchar_t* caption, int answer = IDOK, DWORD ms = 20000);

// The text of a control of another process (GetWindowText reads only captions across
// processes).
std::wstring ControlText(HWND control);

// A child window of parent, at any depth, of that window class; null when there is none.
HWND FindChildOfClass(HWND parent, const wchar_t* className);

}  // namespace testsupport
