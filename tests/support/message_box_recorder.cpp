#include "support/message_box_recorder.h"

namespace testsupport {

namespace {

// One recorder at a time; boxes may come from any thread of the code under test.
std::mutex g_mutex;
std::vector<RecordedBox> g_boxes;
int g_answer = IDOK;

}  // namespace

MessageBoxRecorder::MessageBoxRecorder(int answer) {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_boxes.clear();
    g_answer = answer;
  }
  m_previous = SetMessageBoxHandler(&MessageBoxRecorder::Handle);
}

MessageBoxRecorder::~MessageBoxRecorder() { SetMessageBoxHandler(m_previous); }

size_t MessageBoxRecorder::count() const {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_boxes.size();
}

RecordedBox MessageBoxRecorder::last() const {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_boxes.empty() ? RecordedBox{nullptr, L"", L"", 0} : g_boxes.back();
}

int MessageBoxRecorder::Handle(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_boxes.push_back({owner, text ? text : L"", caption ? caption : L"", type});
  return g_answer;
}

}  // namespace testsupport
