#include <climits>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <vazuvuriz_rix/rix_tester.hpp>

#include "test_support.hpp"

namespace {

TEST(Banner, EachConstructionWritesItExactly) {
  const VAZUVURIZ_RIX_OPTIONS options = distinct_options("banner-");
  EXPECT_EQ(captured_stdout([&] { VAZUVURIZ_RIX_TESTER tester(options); }), kBanner);
  EXPECT_EQ(captured_stdout([&] {
              VAZUVURIZ_RIX_TESTER first(options);
              VAZUVURIZ_RIX_TESTER second(options);
            }),
            kBanner + kBanner);
}

struct LogCase {
  std::string name;
  int level;
  std::string message;
  std::string expected;
  int times = 1;  // logged this many times, each time expected
};
void PrintTo(const LogCase& log_case, std::ostream* out) { *out << log_case.name; }

std::vector<LogCase> log_cases() {
  std::vector<LogCase> cases = {
      {"Debug", 0, "probe", "RIX PLUGIN DEBUG: probe\n"},
      {"Info", 1, "probe", "RIX PLUGIN INFO: probe\n"},
      {"Warning", 2, "probe", "RIX PLUGIN WARNING: probe\n"},
      {"Error", 3, "probe", "RIX PLUGIN ERROR: probe\n"},
      {"EmptyMessage", 1, "", "RIX PLUGIN INFO: \n"},
      {"FormatDirectivesStayText", 2, "100% %s %d %n %%", "RIX PLUGIN WARNING: 100% %s %d %n %%\n"},
      {"NulEndsTheMessage", 0, std::string("before\0after", 12), "RIX PLUGIN DEBUG: before\n"},
      {"LineBreaksInsideAreKept", 3, "first\nsecond\n", "RIX PLUGIN ERROR: first\nsecond\n\n"},
      {"LongMessage", 1, std::string(100000, 'm'),
       "RIX PLUGIN INFO: " + std::string(100000, 'm') + "\n"},
      // Each line into what is left of stdio's buffer, which fills and is flushed between them.
      {"LinesPastAFullBuffer", 1, std::string(1500, 'f'),
       "RIX PLUGIN INFO: " + std::string(1500, 'f') + "\n", 9},
      {"LevelBelowRange", -1, "dropped", ""},
      {"LevelAboveRange", 4, "dropped", ""},
      {"LevelMinimum", INT_MIN, "dropped", ""},
      {"LevelMaximum", INT_MAX, "dropped", ""},
  };
  // Lines as long as the longest that the library assembles on the stack (its 2 KiB buffer less
  // a label's 24-byte slot), one byte longer, and one byte longer than the buffer, at every
  // level: the sanitizers see a line assembled past the buffer's end.
  const char* const kLabels[] = {
      "RIX PLUGIN DEBUG: ", "RIX PLUGIN INFO: ", "RIX PLUGIN WARNING: ", "RIX PLUGIN ERROR: "};
  const std::size_t kLineSizes[] = {2024, 2025, 2049};
  for (int level = 0; level < 4; ++level) {
    const std::string label = kLabels[level];
    for (const std::size_t line_size : kLineSizes) {
      const std::string message(line_size - label.size() - 1, 'e');
      cases.push_back({"Level" + std::to_string(level) + "LineOf" + std::to_string(line_size),
                       level, message, label + message + "\n"});
    }
  }
  return cases;
}

class LogLine : public testing::TestWithParam<LogCase> {};

TEST_P(LogLine, IsWrittenExactly) {
  const LogCase& log_case = GetParam();
  VAZUVURIZ_RIX_TESTER tester = quiet_tester(distinct_options("log-"));
  TavreneContext& context = tester;
  std::string expected;
  for (int time = 0; time < log_case.times; ++time) {
    expected += log_case.expected;
  }
  EXPECT_EQ(captured_stdout([&] {
              for (int time = 0; time < log_case.times; ++time) {
                context.log(static_cast<LogLevel_t>(log_case.level), log_case.message);
              }
            }),
            expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, LogLine, testing::ValuesIn(log_cases()), CaseName());

// Everything but construction and logging keeps the console quiet.
TEST(QuietOperations, WriteNothing) {
  struct QuietCase {
    const char* name;
    std::function<void(VAZUVURIZ_RIX_TESTER&, TavreneContext&)> action;
  };
  const QuietCase cases[] = {
      {"copy construction",
       [](VAZUVURIZ_RIX_TESTER& tester, TavreneContext&) { VAZUVURIZ_RIX_TESTER copy(tester); }},
      {"copy assignment",
       [](VAZUVURIZ_RIX_TESTER& tester, TavreneContext&) {
         VAZUVURIZ_RIX_TESTER other = quiet_tester(distinct_options("other-"));
         other = tester;
         tester = other;
       }},
      {"destruction through the interface",
       [](VAZUVURIZ_RIX_TESTER& tester, TavreneContext&) {
         std::unique_ptr<TavreneContext> owned = std::make_unique<VAZUVURIZ_RIX_TESTER>(tester);
         owned.reset();
       }},
      {"get_config",
       [](VAZUVURIZ_RIX_TESTER&, TavreneContext& context) {
         context.get_config("rix_ip");
         context.get_config("unknown");
       }},
      {"send_packet",
       [](VAZUVURIZ_RIX_TESTER&, TavreneContext& context) {
         const std::uint32_t words[] = {1, 2};
         std::uint32_t* response = nullptr;
         std::uint64_t response_length = 0;
         context.send_packet(words, 2, &response, response_length);
         context.send_packet(nullptr, 0, &response, response_length);
       }},
  };
  VAZUVURIZ_RIX_TESTER tester = quiet_tester(distinct_options("quiet-"));
  for (const QuietCase& quiet_case : cases) {
    EXPECT_EQ(captured_stdout([&] { quiet_case.action(tester, tester); }), "") << quiet_case.name;
  }
}

}  // namespace
