// One tester shared by several threads that log, look up and send at once, while another thread
// writes to stdout with plain stdio and constructs testers, each writing its banner.

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <vazuvuriz_rix/rix_tester.hpp>

#include "test_support.hpp"

namespace {

constexpr int kThreads = 8;

struct ConcurrencyCase {
  const char* name;
  int buffering;  // stdout's mode for setvbuf while the threads run
  std::size_t padding;
  int calls_per_thread;
};
void PrintTo(const ConcurrencyCase& concurrency_case, std::ostream* out) {
  *out << concurrency_case.name;
}

const ConcurrencyCase kConcurrencyCases[] = {
    // Lines keep straddling the boundaries of stdio's buffer.
    {"BufferedShortLines", _IOFBF, 300, 1000},
    // Unbuffered, stdio would write a line longer than its 8 KiB staging buffer in pieces.
    {"UnbufferedLinesOver8KiB", _IONBF, 20000, 50},
};

std::string message(const ConcurrencyCase& concurrency_case, int thread, int call) {
  return "thread " + std::to_string(thread) + " call " + std::to_string(call) + " " +
         std::string(concurrency_case.padding, '.');
}

class Concurrency : public testing::TestWithParam<ConcurrencyCase> {};

TEST_P(Concurrency, SharedTesterWritesWholeLinesAndAnswersEveryThreadRight) {
  const ConcurrencyCase& concurrency_case = GetParam();
  VAZUVURIZ_RIX_TESTER tester = quiet_tester(distinct_options("shared-"));
  TavreneContext& context = tester;
  std::atomic<int> wrong_answers{0};
  std::atomic<bool> logging_done{false};
  int banners = 0;

  const std::string console = captured_stdout([&] {
    // Afterwards, back to full buffering as the capture's file had. glibc keeps a one-byte
    // buffer after _IONBF, so full buffering needs a buffer handed to it.
    static char restored_buffer[BUFSIZ];
    std::setvbuf(stdout, nullptr, concurrency_case.buffering, BUFSIZ);
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
        for (int call = 0; call < concurrency_case.calls_per_thread; ++call) {
          context.log(LOG_INFO, message(concurrency_case, thread, call));
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
    std::fflush(stdout);
    std::setvbuf(stdout, restored_buffer, _IOFBF, sizeof restored_buffer);
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
    if (!parsed || line != "RIX PLUGIN INFO: " + message(concurrency_case, thread, call) ||
        call != next_call[static_cast<std::size_t>(thread)]++) {
      ++malformed;
    }
  }
  EXPECT_EQ(malformed, 0);
  EXPECT_EQ(line_count, kThreads * concurrency_case.calls_per_thread);
  EXPECT_EQ(other_lines["other"], banners);
  EXPECT_EQ(other_lines[""], banners);
  EXPECT_EQ(other_lines[rule], 2 * banners);
  EXPECT_EQ(other_lines[title], banners);
  EXPECT_GT(banners, 0);
  EXPECT_EQ(console.back(), '\n');
}

INSTANTIATE_TEST_SUITE_P(Cases, Concurrency, testing::ValuesIn(kConcurrencyCases), CaseName());

}  // namespace
