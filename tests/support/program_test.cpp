#include "support/program_test.h"

#include <cstdlib>

#include "foundation/md5.h"
#include "support/child_process.h"
#include "support/screenshot.h"

namespace testsupport {

namespace {

// The built program, as Wine sees the build machine's path.
std::wstring BuiltProgram() {
  const char* path = std::getenv("REV_PROGRAM");
  std::wstring wide = L"Z:";
  for (const char* p = path ? path : ""; *p; ++p) wide += *p == '/' ? L'\\' : wchar_t(*p);
  return wide;
}

struct ClassSearch {
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK MatchClass(HWND child, LPARAM lParam) {
  auto* search = reinterpret_cast<ClassSearch*>(lParam);
  wchar_t name[128] = {};
  GetClassNameW(child, name, 128);
  if (lstrcmpW(name, search->className) != 0) return TRUE;
  search->found = child;
  return FALSE;
}

}  // namespace

void ProgramTest::SetUp() {
  ASSERT_TRUE(standin.ok()) << standin.error();
  ASSERT_TRUE(standin.Reset());
  // Chinese characters and a space in the program's folder.
  folder = dir.path() + L"RevIverod 歌词编辑器\\";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  // What an unquoted start of "...\RevIverod 歌词编辑器\RevIverod.exe" would run instead.
  ASSERT_TRUE(CopyFileW(L"C:\\windows\\system32\\hostname.exe",
                        (dir.path() + L"RevIverod.exe").c_str(), FALSE));
  // The program keeps songs and lyrics in the temporary folder: one of this test's own, given
  // to the programs it starts (and taken back before the folder goes).
  std::wstring temp = dir.path() + L"temp";
  ASSERT_TRUE(CreateDirectoryW(temp.c_str(), nullptr));
  for (const wchar_t* name : {L"TMP", L"TEMP"}) {
    wchar_t value[MAX_PATH] = {};
    GetEnvironmentVariableW(name, value, MAX_PATH);
    savedTemp.emplace_back(name, value);
    SetEnvironmentVariableW(name, temp.c_str());
  }
  exe = folder + L"RevIverod.exe";
  ASSERT_TRUE(CopyFileW(BuiltProgram().c_str(), exe.c_str(), FALSE)) << BuiltProgram().c_str();
  // The skin picture the build puts beside the program.
  std::wstring built = BuiltProgram();
  std::wstring images = built.substr(0, built.find_last_of(L'\\') + 1) + L"images\\";
  CreateDirectoryW((folder + L"images").c_str(), nullptr);
  CopyFileW((images + L"bg.jpg").c_str(), (folder + L"images\\bg.jpg").c_str(), FALSE);
}

void ProgramTest::TearDown() {
  for (const auto& saved : savedTemp) {
    SetEnvironmentVariableW(saved.first.c_str(), saved.second.c_str());
  }
}

void ProgramTest::WriteSettings(bool autoLogin, bool remember) {
  std::string digest = remember ? em_utility::md5_string("lyrics123", 9) : std::string();
  ASSERT_TRUE(WriteFileBytes(
      folder + L"RevIverod.cfg",
      "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\" ?><configure>"
      "<auto_check_update>0</auto_check_update><m_bAutoLogin>" +
          std::string(autoLogin ? "1" : "0") +
          "</m_bAutoLogin><m_strEmail>" + (remember ? "editor@example.com" : "") +
          "</m_strEmail><m_strPsw>" + digest +
          "</m_strPsw><m_nPswLength>9</m_nPswLength><SuccessLoginSum>3</SuccessLoginSum>"
          "</configure>"));
}

std::string ProgramTest::Settings() {
  return ReadFileBytes(folder + L"RevIverod.cfg");
}

std::vector<boost::property_tree::ptree> ProgramTest::Requests(const std::string& path) {
  std::vector<boost::property_tree::ptree> found;
  boost::property_tree::ptree log = standin.Log(path);
  for (const auto& entry : log.get_child("requests")) found.push_back(entry.second);
  return found;
}

bool ProgramTest::WaitForRequest(const std::string& path, DWORD ms) {
  return WaitUntil([&] { return !Requests(path).empty(); }, ms);
}

void ProgramTest::Picture(HWND window, const wchar_t* name) {
  EXPECT_TRUE(RepaintAndWait(window)) << name;
  EXPECT_TRUE(SaveWindowPng(window, std::wstring(L"screenshots\\") + name));
}

HWND ProgramTest::WaitForFrame(DWORD pid, DWORD ms) {
  HWND frame = nullptr;
  WaitUntil([&] { return (frame = FindProcessWindow(pid, nullptr, L"Lirak歌词编辑器")) != nullptr; },
            ms);
  return frame;
}

HWND WaitForBox(DWORD pid, const wchar_t* caption, DWORD ms) {
  HWND box = nullptr;
  WaitUntil([&] { return (box = FindProcessWindow(pid, L"#32770", caption)) != nullptr; }, ms);
  return box;
}

std::wstring BoxText(HWND box) {
  wchar_t text[256] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 256);
  return text;
}

void Answer(HWND box, int answer) {
  PostMessageW(box, WM_COMMAND, answer, 0);
  WaitUntil([&] { return !IsWindow(box); }, 5000);
}

std::wstring AnswerBox(DWORD pid, const wchar_t* caption, int answer, DWORD ms) {
  HWND box = WaitForBox(pid, caption, ms);
  if (!box) return L"(no box)";
  std::wstring text = BoxText(box);
  Answer(box, answer);
  return text;
}

std::wstring ControlText(HWND control) {
  LRESULT length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  LRESULT got = SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<size_t>(got));
  return text;
}

HWND FindChildOfClass(HWND parent, const wchar_t* className) {
  ClassSearch search = {className, nullptr};
  EnumChildWindows(parent, &MatchClass, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace testsupport
