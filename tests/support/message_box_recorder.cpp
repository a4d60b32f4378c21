#include "support/message_box_recorder.h"

#include <algorithm>

namespace testsupport {

namespace {

// One recorder at a time; boxes may come from any thread of the code under test.
std::mutex g_mutex;
std::vector<RecordedBox> g_boxes;
std::vector<int> g_answers{IDOK};
std::function<void(const RecordedBox&)> g_observer;

}  // namespace

MessageBoxRecorder::MessageBoxRecorder(int answer) : MessageBoxRecorder(std::vector<int>{answer}) {}

MessageBoxRecorder::MessageBoxRecorder(std::vector<int> answers) {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_boxes.clear();
    g_answers = answers.empty() ? std::vector<int>{IDOK} : std::move(answers);
    g_observer = nullptr;
  }
  m_previous = SetMessageBoxHandler(&MessageBoxRecorder::Handle);
}

MessageBoxRecorder::~MessageBoxRecorder() {
  SetMessageBoxHandler(m_previous);
  std::lock_guard<std::mutex> lock(g_mutex);
  g_observer = nullptr;
}

void MessageBoxRecorder::SetObserver(std::function<void(const RecordedBox&)> observer) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_observer = std::move(observer);
}

size_t MessageBoxRecorder::count() const {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_boxes.size();
}

RecordedBox MessageBoxRecorder::last() const {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_boxes.empty() ? RecordedBox{nullptr, L"", L"", 0} : g_boxes.back();
}

std::vector<std::wstring> MessageBoxRecorder::texts() const {
  std::lock_guard<std::mutex> lock(g_mutex);
  std::vector<std::wstring> texts;
  for (const RecordedBox& box : g_boxes) texts.push_back(box.text);
  return texts;
}

int MessageBoxRecorder::Handle(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
  RecordedBox box{owner, text ? text : L"", caption ? caption : L"", type};
  std::function<void(const RecordedBox&)> observer;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    observer = g_observer;
  }
  if (observer) observer(box);  // outside the lock: it may look at the boxes so far
  std::lock_guard<std::mutex> lock(g_mutex);
  size_t turn = std::min(g_boxes.size(), g_answers.size() - 1);
  g_boxes.push_back(box);
  return g_answers[turn];
}

}  // namespace testsupport
