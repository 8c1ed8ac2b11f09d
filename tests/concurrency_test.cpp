// One tester shared by several threads that log, look up and send at once, while another thread
// writes to stdout with plain stdio and constructs testers, each writing its banner.

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <map>
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

// Long enough that lines keep straddling the boundaries of stdio's buffer.
std::string message(int thread, int call) {
  return "thread " + std::to_string(thread) + " call " + std::to_string(call) + " " +
         std::string(300, '.');
}

TEST(Concurrency, SharedTesterWritesWholeLinesAndAnswersEveryThreadRight) {
  VAZUVURIZ_RIX_TESTER tester = quiet_tester(distinct_options("shared-"));
  TavreneContext& context = tester;
  std::atomic<int> wrong_answers{0};
  std::atomic<bool> logging_done{false};
  int banners = 0;

  const std::string console = captured_stdout([&] {
    // Runs from before the first log line to after the last, so that it writes beside them.
    std::thread other_writer([&] {
      do {
        std::fputs("other\n", stdout);
        const VAZUVURIZ_RIX_TESTER constructed(VAZUVURIZ_RIX_OPTIONS{});
        ++banners;
      } while (!logging_done);
    });
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
    logging_done = true;
    other_writer.join();
  });

  EXPECT_EQ(wrong_answers, 0);
  ASSERT_FALSE(console.empty());
  // Every line is the other writer's, a banner's or one of the expected log lines, whole, and
  // each log line comes exactly once; a thread's own lines keep their order.
  const std::string rule(36, '-');
  const std::string title = "Programmer RIX Plugin Tester";
  std::map<std::string, int> other_lines;
  std::vector<int> next_call(kThreads, 0);
  std::istringstream lines(console);
  std::string line;
  int line_count = 0;
  int malformed = 0;
  while (std::getline(lines, line)) {
    if (line == "other" || line.empty() || line == rule || line == title) {
      ++other_lines[line];
      continue;
    }
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
  EXPECT_EQ(other_lines["other"], banners);
  EXPECT_EQ(other_lines[""], banners);
  EXPECT_EQ(other_lines[rule], 2 * banners);
  EXPECT_EQ(other_lines[title], banners);
  EXPECT_GT(banners, 0);
  EXPECT_EQ(console.back(), '\n');
}

}  // namespace
