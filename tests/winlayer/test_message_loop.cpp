// The UI thread's message loop: filters see messages before dispatch, WM_QUIT ends the loop with
// its code; the module keeps one loop per thread.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "winlayer/app_module.h"
#include "winlayer/message_loop.h"
#include "winlayer/window_impl.h"

namespace {

class Target : public CWindowImpl<Target, CWindow, CWinTraits<WS_POPUP>> {
 public:
  std::vector<std::string>* log = nullptr;
  BEGIN_MSG_MAP(Target)
  MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
  END_MSG_MAP()
  LRESULT OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL&) {
    log->push_back("window key " + std::to_string(wParam));
    return 0;
  }
};

// Claims key presses of one key, as the program's filter hands keys to the main frame.
class KeyFilter : public CMessageFilter {
 public:
  KeyFilter(std::string name, WPARAM key, std::vector<std::string>* log)
      : m_name(std::move(name)), m_key(key), m_log(log) {}
  CMessageLoop* removeFrom = nullptr;
  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message != WM_KEYDOWN) return FALSE;
    m_log->push_back(m_name + " sees " + std::to_string(msg->wParam));
    if (removeFrom) removeFrom->RemoveMessageFilter(this);
    return msg->wParam == m_key;
  }

 private:
  std::string m_name;
  WPARAM m_key;
  std::vector<std::string>* m_log;
};

TEST(MessageLoop, FiltersClaimMessagesLatestFirstAndQuitEndsTheRun) {
  std::vector<std::string> log;
  Target w;
  w.log = &log;
  ASSERT_NE(nullptr, w.Create(nullptr));
  CMessageLoop loop;
  KeyFilter first("first", VK_F5, &log);
  KeyFilter second("second", VK_F6, &log);
  ASSERT_TRUE(loop.AddMessageFilter(&first));
  ASSERT_TRUE(loop.AddMessageFilter(&second));
  EXPECT_FALSE(loop.AddMessageFilter(&first));
  EXPECT_FALSE(loop.AddMessageFilter(nullptr));
  second.removeFrom = &loop;  // takes itself out on its first key

  w.PostMessage(WM_KEYDOWN, VK_F6);  // second claims it (and leaves)
  w.PostMessage(WM_KEYDOWN, VK_F5);  // first claims it
  w.PostMessage(WM_KEYDOWN, VK_F7);  // nobody does: dispatched
  PostQuitMessage(5);
  EXPECT_EQ(5, loop.Run());
  EXPECT_EQ((std::vector<std::string>{"second sees 117", "first sees 116", "first sees 118",
                                      "window key 118"}),
            log);
  w.DestroyWindow();
}

TEST(AppModule, KeepsOneMessageLoopPerThread) {
  CMessageLoop mine, theirs, another;
  ASSERT_TRUE(_Module.AddMessageLoop(&mine));
  EXPECT_FALSE(_Module.AddMessageLoop(&another));
  EXPECT_EQ(&mine, _Module.GetMessageLoop());

  DWORD mainThread = GetCurrentThreadId();
  CMessageLoop* seenThere = &another;
  CMessageLoop* mainSeenThere = nullptr;
  BOOL addedThere = FALSE;
  std::thread worker([&] {
    seenThere = _Module.GetMessageLoop();
    addedThere = _Module.AddMessageLoop(&theirs);
    mainSeenThere = _Module.GetMessageLoop(mainThread);
    _Module.RemoveMessageLoop();
  });
  worker.join();
  EXPECT_EQ(nullptr, seenThere);
  EXPECT_TRUE(addedThere);
  EXPECT_EQ(&mine, mainSeenThere);
  EXPECT_EQ(&mine, _Module.GetMessageLoop());

  EXPECT_TRUE(_Module.RemoveMessageLoop());
  EXPECT_FALSE(_Module.RemoveMessageLoop());
  EXPECT_EQ(nullptr, _Module.GetMessageLoop());
}

}  // namespace
