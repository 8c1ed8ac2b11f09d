// Plugin-style code that must react to its context's answers, tested against the mock.

#include <cstdint>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vazuvuriz_rix/config_keys.hpp>
#include <vazuvuriz_rix/context_mock.hpp>

namespace {

// Asks the device for its firmware version: the response's second word. Logs a refusal and
// returns -1.
long firmware_version(TavreneContext& context) {
  const std::uint32_t request[] = {0x52495801u, 0x00000001u};
  std::uint32_t* response = nullptr;
  std::uint64_t response_length = 0;
  if (context.send_packet(request, 2, &response, response_length) != STATUS_SUCCESS ||
      response_length < 2) {
    context.log(LOG_ERROR, "version request refused by " + context.get_config(RIX_KEY_IP));
    return -1;
  }
  return static_cast<long>(response[1]);
}

TEST(Plugin, ReadsTheVersionFromTheResponse) {
  VAZUVURIZ_RIX_CONTEXT_MOCK context;
  EXPECT_CALL(context, send_packet).WillOnce(context.respond_with({0x52495881u, 42}));
  EXPECT_EQ(firmware_version(context), 42);
}

TEST(Plugin, LogsARefusal) {
  testing::NiceMock<VAZUVURIZ_RIX_CONTEXT_MOCK> context;
  ON_CALL(context, get_config(RIX_KEY_IP)).WillByDefault(testing::Return("192.0.2.41"));
  EXPECT_CALL(context, send_packet).WillOnce(context.respond_with({}, STATUS_FAILURE));
  EXPECT_CALL(context, log(LOG_ERROR, "version request refused by 192.0.2.41"));
  EXPECT_EQ(firmware_version(context), -1);
}

}  // namespace
