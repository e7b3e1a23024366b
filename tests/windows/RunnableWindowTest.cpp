#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/RunnableWindow.h"

using RunnableHelper::CRunnalbeWindow;

namespace {

void PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
  const DWORD start = ::GetTickCount();
  MSG msg;
  while (!done() && ::GetTickCount() - start < timeoutMs) {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

TEST(RunnableWindow, PostedClosureRunsAfterTheHandlerReturns) {
  CRunnalbeWindow runner;
  ASSERT_TRUE(runner.Create());
  EXPECT_FALSE(runner.Create());  // one window per runner
  EXPECT_EQ(runner.GetThreadId(), ::GetCurrentThreadId());
  std::vector<std::string> order;
  // The "handler" is itself a closure run on the UI thread.
  ASSERT_TRUE(runner.SendRunnable([&] {
    order.push_back("handler begins");
    EXPECT_TRUE(runner.PostRunnable([&] { order.push_back("posted closure"); }));
    order.push_back("handler ends");
  }));
  EXPECT_EQ(order.size(), 2u);  // nothing ran inside the handler
  PumpUntil([&] { return order.size() == 3; });
  ASSERT_EQ(order.size(), 3u);
  EXPECT_EQ(order[0], "handler begins");
  EXPECT_EQ(order[1], "handler ends");
  EXPECT_EQ(order[2], "posted closure");
}

TEST(RunnableWindow, SentClosureBlocksTheWorkerUntilRun) {
  CRunnalbeWindow runner;
  ASSERT_TRUE(runner.Create());
  const DWORD uiThread = ::GetCurrentThreadId();
  std::atomic<bool> workerDone{false};
  DWORD ranOn = 0;
  bool ranBeforeReturn = false;
  bool sent = false;
  std::thread worker([&] {
    bool ran = false;
    sent = runner.SendRunnable([&] {
      ::Sleep(50);
      ranOn = ::GetCurrentThreadId();
      ran = true;
    });
    ranBeforeReturn = ran;
    workerDone = true;
  });
  PumpUntil([&] { return workerDone.load(); });
  worker.join();
  EXPECT_TRUE(sent);
  EXPECT_TRUE(ranBeforeReturn);
  EXPECT_EQ(ranOn, uiThread);

  // Many posts from several threads all run, on the UI thread, once each.
  std::atomic<int> count{0};
  std::vector<std::thread> posters;
  for (int t = 0; t < 4; ++t) {
    posters.emplace_back([&] {
      for (int i = 0; i < 100; ++i) runner.PostRunnable([&] { ++count; });
    });
  }
  for (auto& p : posters) p.join();
  PumpUntil([&] { return count.load() == 400; });
  EXPECT_EQ(count.load(), 400);
}

TEST(RunnableWindow, DestroyedRunnerFreesQueuedClosuresWithoutRunning) {
  auto token = std::make_shared<int>(0);
  std::weak_ptr<int> watch = token;
  bool ran = false;
  const long windowsBefore = CRunnalbeWindow::LiveCount();
  {
    CRunnalbeWindow runner;
    ASSERT_TRUE(runner.Create());
    EXPECT_EQ(CRunnalbeWindow::LiveCount(), windowsBefore + 1);  // counted with every window of the program
    ASSERT_TRUE(runner.PostRunnable([&ran, token] { ran = true; }));
    token.reset();
    EXPECT_FALSE(watch.expired());  // the queued closure holds it
    runner.Destroy();
    EXPECT_EQ(runner.GetHWND(), nullptr);
    EXPECT_EQ(CRunnalbeWindow::LiveCount(), windowsBefore);
    EXPECT_TRUE(watch.expired());
    // Nothing can be handed to a runner without a window.
    EXPECT_FALSE(runner.PostRunnable([] {}));
    EXPECT_FALSE(runner.SendRunnable([] {}));
    EXPECT_FALSE(runner.PostRunnable(nullptr));
  }
  PumpUntil([] { return false; }, 50);
  EXPECT_FALSE(ran);
}

// Another thread posting while the window goes: every closure is freed, none
// runs once the window is gone.
TEST(RunnableWindow, ClosuresPostedWhileTheWindowGoesAreFreed) {
  auto token = std::make_shared<int>(0);
  std::atomic<bool> gone{false};
  std::atomic<int> lateRuns{0};
  for (int cycle = 0; cycle < 100; ++cycle) {
    CRunnalbeWindow runner;
    ASSERT_TRUE(runner.Create());
    std::atomic<int> posted{0};
    gone = false;
    std::thread poster([&] {
      while (posted < 400 && runner.PostRunnable([&, token] { lateRuns += gone ? 1 : 0; })) ++posted;
    });
    while (posted < 3) ::SwitchToThread();
    runner.Destroy();
    gone = true;
    poster.join();
    PumpUntil([] { return false; }, 1);
  }
  EXPECT_EQ(token.use_count(), 1);
  EXPECT_EQ(lateRuns, 0);
}

}  // namespace
