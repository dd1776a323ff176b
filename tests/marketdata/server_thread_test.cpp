// The test servers' runner must never hold the suite: a server that does not start fails its test.
#include "tests/support/server_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

TEST(ServerThread, AServerThatNeverRunsFailsStart) {
  // The serve loop gives up at once, as a listener that cannot start does.
  ServerThread quits({[] {}, [] { return false; }, [] {}}, 5000ms);
  EXPECT_FALSE(quits.Start());
  // The serve loop stays in a state that is never "running" until the limit passes.
  std::atomic<bool> release{false};
  ServerThread stuck({[&] {
                        while (!release) std::this_thread::sleep_for(1ms);
                      },
                      [] { return false; }, [] {}},
                     100ms);
  EXPECT_FALSE(stuck.Start());
  release = true;
}

TEST(ServerThread, AServerThatRunsLateIsStoppedOnceAndJoined) {
  std::atomic<bool> running{false};
  std::atomic<int> stops{0};
  ServerThread late({[&] {
                       std::this_thread::sleep_for(20ms);
                       running = true;
                       while (stops == 0) std::this_thread::sleep_for(1ms);
                       running = false;
                     },
                     [&] { return running.load(); }, [&] { ++stops; }});
  ASSERT_TRUE(late.Start());
  late.Stop();
  EXPECT_EQ(stops, 1);
  EXPECT_FALSE(running);
}

TEST(ServerThreadDeathTest, AThreadThatNeitherRunsNorEndsEndsTheProgramInsteadOfHanging) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        ServerThread wedged({[] {
                               for (;;) std::this_thread::sleep_for(1ms);
                             },
                             [] { return false; }, [] {}},
                            100ms);
        (void)wedged.Start();
      },
      "did not end within 100 ms");
}
