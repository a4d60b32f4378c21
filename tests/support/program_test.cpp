#include "support/program_test.h"

#include <cstdlib>

#include "foundation/md5.h"
#include "foundation/text_convert.h"
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

// A visible window above window (top-level) that overlaps it; null when none does.
HWND CoveringWindow(HWND window) {
  RECT rect;
  if (!GetWindowRect(window, &rect)) return nullptr;
  for (HWND above = GetWindow(window, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
    RECT other, both;
    if (IsWindowVisible(above) && !IsIconic(above) && GetWindowRect(above, &other) &&
        IntersectRect(&both, &rect, &other)) {
      return above;
    }
  }
  return nullptr;
}

// A window's class, title and process, for messages.
std::wstring WindowName(HWND window) {
  wchar_t name[128] = {}, title[128] = {};
  GetClassNameW(window, name, 128);
  GetWindowTextW(window, title, 128);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return std::wstring(name) + L" \"" + title + L"\" of process " + std::to_wstring(pid);
}

// Keeps a top-level window above all others that are not themselves kept on top, from
// construction to destruction (unless it is kept on top already).
class KeptOnTop {
 public:
  explicit KeptOnTop(HWND window)
      : m_window(window),
        m_lifted(!(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) &&
                 SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, kFlags)) {}
  ~KeptOnTop() {
    if (m_lifted) SetWindowPos(m_window, HWND_NOTOPMOST, 0, 0, 0, 0, kFlags);
  }
  KeptOnTop(const KeptOnTop&) = delete;
  KeptOnTop& operator=(const KeptOnTop&) = delete;

 private:
  static constexpr UINT kFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
  HWND m_window;
  bool m_lifted;
};

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
  // Other tests' windows share the screen, and the copy holds nothing of the program's window
  // where one of them covers it: the window is kept above all others while it is painted and
  // copied, and the copy is taken again when something still covered it.
  const std::wstring path = std::wstring(L"screenshots\\") + name;
  DeleteFileW(path.c_str());  // a picture of an earlier run must not pass for this one's
  std::wstring why;
  for (int attempt = 0; attempt < 3; ++attempt) {
    KeptOnTop onTop(window);
    HWND cover = nullptr;
    if (!WaitUntil([&] {
          return IsWindowVisible(window) && !IsIconic(window) &&
                 !(cover = CoveringWindow(window));
        }, 10000)) {
      why = cover ? L"covered by " + WindowName(cover) : L"not shown";
      continue;
    }
    if (!RepaintAndWait(window)) {
      why = L"not painted";
      continue;
    }
    WindowCopy copy = SaveWindowPngUnlessBlank(window, path);
    if (copy == WindowCopy::Failed) {
      ADD_FAILURE() << "the picture could not be taken or saved: "
                    << em_utility::wide_to_utf8(path);
      return;
    }
    cover = CoveringWindow(window);
    if (copy == WindowCopy::Saved && !cover) return;
    why = cover ? L"covered by " + WindowName(cover) : L"one colour";
    // A copy saved while something came over the window is not left behind as the picture.
    DeleteFileW(path.c_str());
  }
  ADD_FAILURE() << "no picture of the window in three attempts ("
                << em_utility::wide_to_utf8(why) << "): " << em_utility::wide_to_utf8(path);
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
