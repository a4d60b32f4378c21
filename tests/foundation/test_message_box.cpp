#include <gtest/gtest.h>

#include <thread>

#include "foundation/message_box.h"
#include "support/message_box_recorder.h"

TEST(MessageBox, HandlerAnswersBoxesFromAnyThread) {
  testsupport::MessageBoxRecorder boxes(IDNO);
  int answer = 0;
  std::thread worker([&] { answer = ShowMessageBox(nullptr, L"问题", L"温馨提示", MB_YESNO); });
  worker.join();
  EXPECT_EQ(IDNO, answer);
  ASSERT_EQ(1u, boxes.count());
  EXPECT_EQ(L"问题", boxes.last().text);
  EXPECT_EQ(L"温馨提示", boxes.last().caption);
  EXPECT_EQ(static_cast<UINT>(MB_YESNO), boxes.last().type);
}
