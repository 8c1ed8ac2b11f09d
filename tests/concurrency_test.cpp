// One tester shared by several threads that log, look up and send at once.

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <vazuvuriz_rix/rix_tester.hpp>

#include "test_support.hpp"

namespace {

constexpr int kThreads = 8;
constexpr int kCallsPerThread = 1000;
// Long enough that lines keep straddling stdio's buffer boundaries.
const std::string kPadding(300, '.');

std::string message(int thread, int call) {
  return "thread " + std::to_string(thread) + " call " + std::to_string(call) + " " + kPadding;
}

TEST(Concurrency, SharedTesterWritesWholeLinesAndAnswersEveryThreadRight) {
  VAZUVURIZ_RIX_TESTER tester = quiet_tester(distinct_options("shared-"));
  TavreneContext& context = tester;
  std::atomic<int> wrong_answers{0};

  const std::string console = captured_stdout([&] {
    std::vector<std::thread> threads;
    for (int thread = 0; thread < kThreads; ++thread) {
      threads.emplace_back([&, thread] {
        const std::uint32_t word = 7;
        for (int call = 0; call < kCallsPerThread; ++call) {
          context.log(LOG_INFO, message(thread, call));
          std::uint32_t* response = nullptr;
          std::uint64_t response_length = 1;
          const bool answered_right =
              context.get_config(RIX_KEY_PORT) == "shared-port" &&
              context.get_config(RIX_KEY_PROXY_USER) == "shared-proxy_user" &&
              context.send_packet(&word, 1, &response, response_length) == STATUS_SUCCESS &&
              response == nullptr && response_length == 0;
          if (!answered_right) {
            ++wrong_answers;
          }
        }
      });
    }
    for (std::thread& thread : threads) {
      thread.join();
    }
  });

  EXPECT_EQ(wrong_answers, 0);
  ASSERT_FALSE(console.empty());
  // Every line is one of the expected lines, whole, and each comes exactly once; a thread's
  // own lines keep their order.
  std::vector<int> next_call(kThreads, 0);
  std::istringstream lines(console);
  std::string line;
  int line_count = 0;
  int malformed = 0;
  while (std::getline(lines, line)) {
    ++line_count;
    int thread = -1;
    int call = -1;
    const bool parsed =
        std::sscanf(line.c_str(), "RIX PLUGIN INFO: thread %d call %d", &thread, &call) == 2 &&
        thread >= 0 && thread < kThreads;
    if (!parsed || line != "RIX PLUGIN INFO: " + message(thread, call) ||
        call != next_call[static_cast<std::size_t>(thread)]++) {
      ++malformed;
    }
  }
  EXPECT_EQ(malformed, 0);
  EXPECT_EQ(line_count, kThreads * kCallsPerThread);
  EXPECT_EQ(console.back(), '\n');
}

}  // namespace
