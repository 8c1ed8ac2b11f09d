#include <cstdio>

#include <vazuvuriz_rix/rix_tester.hpp>

VAZUVURIZ_RIX_TESTER::VAZUVURIZ_RIX_TESTER(VAZUVURIZ_RIX_OPTIONS given) {
  // The banner goes out before the options are copied: a host sees it even when the copy runs
  // out of memory.
  std::printf("\n");
  std::printf("------------------------------------\n");
  std::printf("Programmer RIX Plugin Tester\n");
  std::printf("------------------------------------\n");
  options = given;
}

VAZUVURIZ_RIX_TESTER::VAZUVURIZ_RIX_TESTER(const VAZUVURIZ_RIX_TESTER& other) = default;

VAZUVURIZ_RIX_TESTER& VAZUVURIZ_RIX_TESTER::operator=(const VAZUVURIZ_RIX_TESTER& other) = default;

// Defined here so that the virtual table and type information live in the library alone.
VAZUVURIZ_RIX_TESTER::~VAZUVURIZ_RIX_TESTER() = default;

void VAZUVURIZ_RIX_TESTER::log(LogLevel_t level, const std::string& message) {
  // One printf per line: stdio locks the stream for the whole call, so concurrent lines never
  // tear, and the message is only ever an argument, never the format.
  switch (level) {
    case LOG_DEBUG:
      std::printf("RIX PLUGIN DEBUG: %s\n", message.c_str());
      return;
    case LOG_INFO:
      std::printf("RIX PLUGIN INFO: %s\n", message.c_str());
      return;
    case LOG_WARNING:
      std::printf("RIX PLUGIN WARNING: %s\n", message.c_str());
      return;
    case LOG_ERROR:
      std::printf("RIX PLUGIN ERROR: %s\n", message.c_str());
      return;
  }
}

Status_t VAZUVURIZ_RIX_TESTER::send_packet(const std::uint32_t* request,
                                           std::uint64_t request_length, std::uint32_t** response,
                                           std::uint64_t& response_length) {
  response_length = 0;
  if (response == nullptr) {
    return STATUS_FAILURE;
  }
  *response = nullptr;
  return request != nullptr && request_length != 0 ? STATUS_SUCCESS : STATUS_FAILURE;
}

std::string VAZUVURIZ_RIX_TESTER::get_config(const std::string& key) {
  for (const VAZUVURIZ_RIX_CONFIG_KEY& entry : VAZUVURIZ_RIX_CONFIG_KEYS) {
    if (key == entry.key) {
      return options.*entry.field;
    }
  }
  return {};
}
