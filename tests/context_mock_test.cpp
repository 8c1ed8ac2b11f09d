#include <cstdint>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vazuvuriz_rix/context_mock.hpp>

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

}  // namespace
