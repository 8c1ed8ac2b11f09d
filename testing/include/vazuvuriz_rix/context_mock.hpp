#ifndef VAZUVURIZ_RIX_CONTEXT_MOCK_HPP
#define VAZUVURIZ_RIX_CONTEXT_MOCK_HPP

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>

#include <vazuvuriz_rix/tavrene_context.hpp>

// A gMock mock of `TavreneContext`, for tests of plugin code that must react to what its
// context answers: a packet's response or refusal, a configuration value, or a log line that
// the plugin must write. Header-only; needs gMock and the plugin contract, not the tester.
//
// Every operation is a gMock method, set up with `ON_CALL` and `EXPECT_CALL` as usual and
// wrapped in `testing::NiceMock` or `testing::StrictMock` at will. Unless told otherwise,
// `send_packet` answers as `respond_with({})` does: an empty response and `STATUS_SUCCESS`;
// `get_config` answers empty text; `log` does nothing.
//
// Thread safety: as gMock's, calls may come from several threads; set expectations before.
// Header-only, as gMock's mocks are: clang's -Wweak-vtables is silenced for it.
#ifdef __clang__
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wweak-vtables"
#endif
class VAZUVURIZ_RIX_CONTEXT_MOCK : public TavreneContext {
 public:
  using SendPacket = Status_t(const std::uint32_t* request, std::uint64_t request_length,
                              std::uint32_t** response, std::uint64_t& response_length);

  VAZUVURIZ_RIX_CONTEXT_MOCK() { ON_CALL(*this, send_packet).WillByDefault(respond_with({})); }

  MOCK_METHOD(void, log, (LogLevel_t level, const std::string& message), (override));
  MOCK_METHOD(Status_t, send_packet,
              (const std::uint32_t* request, std::uint64_t request_length, std::uint32_t** response,
               std::uint64_t& response_length),
              (override));
  MOCK_METHOD(std::string, get_config, (const std::string& key), (override));

  // An action for `send_packet` that answers with `words` and returns `status`:
  //
  //   EXPECT_CALL(context, send_packet).WillOnce(context.respond_with({0x52495881, 42}));
  //
  // Each call it answers gets a copy of `words` of its own, whose address goes to `*response`
  // (null when `words` is empty) and whose number of words goes to `response_length`. The copy
  // belongs to this mock: it stays valid, and writable, until the mock is destroyed, and the
  // code under test must not release it. A null `response` is not written through. The action
  // refers to this mock, so it must not outlive it.
  testing::Action<SendPacket> respond_with(std::vector<std::uint32_t> words,
                                           Status_t status = STATUS_SUCCESS) {
    return [this, words = std::move(words), status](
               const std::uint32_t* /*request*/, std::uint64_t /*request_length*/,
               std::uint32_t** response, std::uint64_t& response_length) {
      response_length = words.size();
      if (response != nullptr) {
        *response = words.empty() ? nullptr : keep(words);
      }
      return status;
    };
  }

 private:
  std::uint32_t* keep(const std::vector<std::uint32_t>& words) {
    const std::lock_guard<std::mutex> lock(responses_mutex_);
    return responses_.emplace_back(words).data();
  }

  std::mutex responses_mutex_;
  // A deque keeps its elements where they are as it grows, so handed-out addresses hold.
  std::deque<std::vector<std::uint32_t>> responses_;
};
#ifdef __clang__
#pragma clang diagnostic pop
#endif

#endif  // VAZUVURIZ_RIX_CONTEXT_MOCK_HPP
