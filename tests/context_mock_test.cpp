#include <cstdint>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vazuvuriz_rix/config_keys.hpp>
#include <vazuvuriz_rix/context_mock.hpp>

namespace {

struct Response {
  Status_t status;
  std::uint32_t* words = nullptr;
  std::uint64_t length = 99;
};

Response send(TavreneContext& context) {
  const std::uint32_t request = 1;
  Response response{};
  response.status = context.send_packet(&request, 1, &response.words, response.length);
  return response;
}

TEST(ContextMock, RespondsWithACopyPerCallThatTheMockKeeps) {
  VAZUVURIZ_RIX_CONTEXT_MOCK mock;
  EXPECT_CALL(mock, send_packet)
      .WillOnce(mock.respond_with({7, 8}, STATUS_FAILURE))
      .WillRepeatedly(mock.respond_with({9}));
  const Response refused = send(mock);
  refused.words[0] = 70;  // the code under test may write its copy
  const Response accepted = send(mock);
  const Response again = send(mock);
  std::uint64_t length = 5;
  const std::uint32_t request = 1;
  EXPECT_EQ(mock.send_packet(&request, 1, nullptr, length), STATUS_SUCCESS);

  EXPECT_EQ(refused.status, STATUS_FAILURE);
  ASSERT_EQ(refused.length, 2u);
  EXPECT_EQ(refused.words[0], 70u);
  EXPECT_EQ(refused.words[1], 8u);
  EXPECT_EQ(accepted.status, STATUS_SUCCESS);
  ASSERT_EQ(accepted.length, 1u);
  EXPECT_EQ(accepted.words[0], 9u);
  EXPECT_NE(again.words, accepted.words);
  EXPECT_EQ(again.words[0], 9u);
  EXPECT_EQ(length, 1u);
}

TEST(ContextMock, AnswersAnEmptyResponseAndEmptyTextUnlessToldOtherwise) {
  testing::NiceMock<VAZUVURIZ_RIX_CONTEXT_MOCK> mock;
  std::uint32_t word = 0;
  Response response{};
  response.words = &word;
  response.status = mock.send_packet(nullptr, 0, &response.words, response.length);
  EXPECT_EQ(response.status, STATUS_SUCCESS);
  EXPECT_EQ(response.words, nullptr);
  EXPECT_EQ(response.length, 0u);
  EXPECT_EQ(mock.get_config(RIX_KEY_IP), "");
}

}  // namespace
