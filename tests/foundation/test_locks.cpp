#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include <windows.h>

#include "foundation/critical_session.h"
#include "foundation/lock.h"
#include "foundation/mutex_lock.h"

namespace {

// Runs body on a new thread; FinishesWithin tells whether it has ended by then.
class Worker {
 public:
  template <class Body>
  explicit Worker(Body body)
      : m_done(CreateEventW(nullptr, TRUE, FALSE, nullptr)), m_thread([this, body] {
          body();
          SetEvent(m_done);
        }) {}
  ~Worker() {
    m_thread.join();
    CloseHandle(m_done);
  }
  bool FinishesWithin(DWORD ms) { return WaitForSingleObject(m_done, ms) == WAIT_OBJECT_0; }

 private:
  HANDLE m_done;
  std::thread m_thread;
};

// Four threads bump a plain counter under the lock; a lost update shows a broken lock.
template <class Bump>
int CountUnderContention(Bump bump) {
  int counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) bump(counter);
    });
  }
  for (auto& thread : threads) thread.join();
  return counter;
}

}  // namespace

TEST(Lock, ExcludesOtherThreadsUntilEveryNestedLockIsLeft) {
  CLock lock;
  EXPECT_EQ(80000, CountUnderContention([&](int& n) {
              CLockGuard guard(lock);
              ++n;
            }));
  lock.Lock();
  lock.Lock();
  Worker other([&] { CLockGuard guard(lock); });
  lock.Unlock();
  EXPECT_FALSE(other.FinishesWithin(100));
  lock.Unlock();
  EXPECT_TRUE(other.FinishesWithin(5000));
}

TEST(CriticalSession, CountsNestedEntriesAndExcludes) {
  em_utility::critical_session section;
  EXPECT_TRUE(section.lock());
  section.lock_ex();
  EXPECT_EQ(2, section.depth());
  section.unlock_ex();
  EXPECT_TRUE(section.unlock());
  EXPECT_EQ(80000, CountUnderContention([&](int& n) {
              em_utility::auto_lock guard(&section);
              ++n;
            }));
  EXPECT_EQ(0, section.depth());
}

TEST(MutexLock, TheCreatorOwnsItAndEveryResultIsReal) {
  em_utility::mutex_lock mutex;
  bool acquired = true;
  Worker([&] { acquired = mutex.try_lock(0); });
  EXPECT_FALSE(acquired);
  EXPECT_EQ(0, mutex.unlock_ex());
  EXPECT_TRUE(mutex.lock());
  EXPECT_TRUE(mutex.unlock());
  EXPECT_EQ(-1, mutex.unlock_ex());
  EXPECT_FALSE(mutex.unlock());
}
