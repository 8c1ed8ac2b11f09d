#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <vazuvuriz_rix/context_mock.hpp>

#include "test_support.hpp"

namespace {

// What the header promises of `respond_with` and of the default answer.
TEST(ContextMock, HandsEachCallACopyOfItsOwnThatTheMockKeeps) {
  testing::NiceMock<VAZUVURIZ_RIX_CONTEXT_MOCK> mock;
  const std::uint32_t request = 1;
  std::uint32_t scratch = 0;
  std::uint32_t* words[3] = {&scratch};
  std::uint64_t lengths[3] = {5};
  EXPECT_EQ(mock.send_packet(&request, 1, &words[0], lengths[0]), STATUS_SUCCESS);  // default
  EXPECT_EQ(words[0], nullptr);
  EXPECT_EQ(lengths[0], 0u);

  EXPECT_CALL(mock, send_packet)
      .WillOnce(mock.respond_with({7, 8}, STATUS_FAILURE))
      .WillRepeatedly(mock.respond_with({9}));
  EXPECT_EQ(mock.send_packet(&request, 1, &words[0], lengths[0]), STATUS_FAILURE);
  words[0][0] = 70;  // the code under test may write its copy
  EXPECT_EQ(mock.send_packet(&request, 1, &words[1], lengths[1]), STATUS_SUCCESS);
  EXPECT_EQ(mock.send_packet(&request, 1, &words[2], lengths[2]), STATUS_SUCCESS);
  std::uint64_t stale_length = 5;
  EXPECT_EQ(mock.send_packet(&request, 1, nullptr, stale_length), STATUS_SUCCESS);
  EXPECT_EQ(stale_length, 1u);  // a null response slot still gets the length

  ASSERT_EQ(lengths[0], 2u);
  EXPECT_EQ(words[0][0], 70u);
  EXPECT_EQ(words[0][1], 8u);
  ASSERT_EQ(lengths[1], 1u);
  EXPECT_EQ(words[1][0], 9u);
  EXPECT_NE(words[2], words[1]);
  EXPECT_EQ(words[2][0], 9u);
}

TEST(ContextMock, AnswersConfigurationAsATesterOfTheOptions) {
  const VAZUVURIZ_RIX_OPTIONS options = distinct_options("value of ");
  testing::NiceMock<VAZUVURIZ_RIX_CONTEXT_MOCK> mock;
  mock.answer_config_from(options);
  expect_every_key_answers(mock, options);
  EXPECT_EQ(mock.get_config("rix_aux"), "");
}

// A failing expectation says what the plugin did in the contract's words: levels and statuses
// by name, a request's words in hex.
TEST(ContextMock, FailuresNameLevelsStatusesAndWords) {
  struct Row {
    const char* name;
    std::function<void(VAZUVURIZ_RIX_CONTEXT_MOCK&)> fail;
    std::vector<std::string> said;
  };
  const std::uint32_t sent[] = {0x52495801, 3};
  const Row kRows[] = {
      {"a line logged at another level",
       [](VAZUVURIZ_RIX_CONTEXT_MOCK& mock) {
         EXPECT_CALL(mock, log(LOG_INFO, "ready")).Times(testing::AnyNumber());
         mock.log(LOG_ERROR, "ready");
       },
       {"is equal to LOG_INFO", "log(LOG_ERROR, "}},
      {"a line logged at an unknown level",
       [](VAZUVURIZ_RIX_CONTEXT_MOCK& mock) {
         EXPECT_CALL(mock, log(LOG_WARNING, testing::_)).Times(testing::AnyNumber());
         mock.log(static_cast<LogLevel_t>(7), "odd");
       },
       {"is equal to LOG_WARNING", "log(LogLevel_t(7), "}},
      {"another status",
       [](VAZUVURIZ_RIX_CONTEXT_MOCK&) {
         EXPECT_THAT(STATUS_FAILURE, testing::Eq(STATUS_SUCCESS));
       },
       {"is equal to STATUS_SUCCESS", "Actual: STATUS_FAILURE"}},
      {"a request of other words",
       [&sent](VAZUVURIZ_RIX_CONTEXT_MOCK& mock) {
         EXPECT_CALL(mock, send_packet)
             .With(testing::Args<0, 1>(mock.request_is({0x52495801, 2})))
             .Times(testing::AnyNumber());
         std::uint32_t* response = nullptr;
         std::uint64_t length = 0;
         mock.send_packet(sent, 2, &response, length);
       },
       {"is a request of 2 words {0x52495801, 0x00000002}",
        "which is a request of 2 words {0x52495801, 0x00000003}"}},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    testing::TestPartResultArray failures;
    {
      const testing::ScopedFakeTestPartResultReporter reporter(
          testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
      VAZUVURIZ_RIX_CONTEXT_MOCK mock;
      row.fail(mock);
    }
    ASSERT_EQ(failures.size(), 1);
    for (const std::string& said : row.said) {
      EXPECT_THAT(failures.GetTestPartResult(0).message(), testing::HasSubstr(said));
    }
  }
}

}  // namespace
