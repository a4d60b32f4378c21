// The main frame as the other subsystems reach it: one object, and the busy cursor.
#include <gtest/gtest.h>

#include "app/main_frame.h"
#include "support/program_folder.h"

namespace {

::testing::Environment* const g_folder =
    ::testing::AddGlobalTestEnvironment(new testsupport::TempProgramFolder);

}  // namespace

TEST(MainFrame, BusyCursorRemembersWhatComesMeanwhile) {
  CMainFrame* frame = CMainFrame::GetInstance();
  ASSERT_EQ(frame, CMainFrame::GetInstance());
  EXPECT_EQ(2, frame->GetCursorState());
  frame->SetCursorState(1);  // not busy: nothing to end
  EXPECT_EQ(2, frame->GetCursorState());
  frame->SetCursorState(0);
  frame->SetCursorState(3);  // while busy: only remembered
  EXPECT_EQ(0, frame->GetCursorState());
  frame->SetCursorState(1);
  EXPECT_EQ(3, frame->GetCursorState());
  frame->SetCursorState(4);
  frame->SetCursorState(7);  // no such state
  EXPECT_EQ(4, frame->GetCursorState());
}
