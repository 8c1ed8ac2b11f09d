#include <cstdint>
#include <limits>
#include <ostream>

#include <gtest/gtest.h>

#include <vazuvuriz_rix/rix_tester.hpp>

#include "test_support.hpp"

namespace {

struct PacketCase {
  const char* name;
  bool has_request;
  std::uint64_t request_length;
  bool has_response_slot;
  Status_t expected;
};
void PrintTo(const PacketCase& packet, std::ostream* out) { *out << packet.name; }

const PacketCase kPacketCases[] = {
    {"Accepted", true, 5, true, STATUS_SUCCESS},
    {"SingleWordAccepted", true, 1, true, STATUS_SUCCESS},
    // The words are never read, so even an impossible length is only tested against zero.
    {"HugeLengthAcceptedUnread", true, std::numeric_limits<std::uint64_t>::max(), true,
     STATUS_SUCCESS},
    {"NullRequest", false, 5, true, STATUS_FAILURE},
    {"EmptyRequest", true, 0, true, STATUS_FAILURE},
    {"NullAndEmptyRequest", false, 0, true, STATUS_FAILURE},
    {"NullResponseSlot", true, 5, false, STATUS_FAILURE},
};

class SendPacket : public testing::TestWithParam<PacketCase> {};

TEST_P(SendPacket, AnswersWithStatusAndEmptyResponse) {
  const PacketCase& packet = GetParam();
  VAZUVURIZ_RIX_TESTER tester = quiet_tester(distinct_options("packet-"));
  TavreneContext& context = tester;
  const std::uint32_t word = 0x52495801u;
  std::uint32_t stale_word = 0;
  std::uint32_t* response = &stale_word;
  std::uint64_t response_length = 0xdeadbeefu;

  const Status_t status =
      context.send_packet(packet.has_request ? &word : nullptr, packet.request_length,
                          packet.has_response_slot ? &response : nullptr, response_length);

  EXPECT_EQ(status, packet.expected);
  EXPECT_EQ(response_length, 0u);
  if (packet.has_response_slot) {
    EXPECT_EQ(response, nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, SendPacket, testing::ValuesIn(kPacketCases), CaseName());

}  // namespace
