// Answers the program's message boxes during a test and remembers them.
//   MessageBoxRecorder boxes(IDOK);
//   ... code that may show a box ...
//   EXPECT_EQ(1u, boxes.count());  EXPECT_EQ(L"温馨提示", boxes.last().caption);
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "foundation/message_box.h"

namespace testsupport {

struct RecordedBox {
  HWND owner;
  std::wstring text;
  std::wstring caption;
  UINT type;
};

class MessageBoxRecorder {
 public:
  explicit MessageBoxRecorder(int answer = IDOK);
  // Answers the first boxes in turn, the rest with the last answer given.
  explicit MessageBoxRecorder(std::vector<int> answers);
  ~MessageBoxRecorder();
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  // Called with each box as it shows, before it is answered (on the thread that shows it): to
  // look at what the program has done by the time it asks.
  void SetObserver(std::function<void(const RecordedBox&)> observer);

  size_t count() const;
  RecordedBox last() const;                 // an empty record when there was none
  std::vector<std::wstring> texts() const;  // every box's text, in order

 private:
  static int Handle(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);
  MessageBoxHandler m_previous;
};

}  // namespace testsupport
