// Built for libstdc++'s old std::string ABI, under the name OLD_ABI_PART. It calls only members
// whose names that ABI leaves as they are: only the link check can refuse it.

#include <cstdint>

#include <vazuvuriz_rix/rix_tester.hpp>

int OLD_ABI_PART() {
  VAZUVURIZ_RIX_TESTER tester{VAZUVURIZ_RIX_OPTIONS{}};
  std::uint32_t* response = nullptr;
  std::uint64_t response_length = 0;
  return tester.send_packet(nullptr, 0, &response, response_length) == STATUS_FAILURE ? 0 : 1;
}
