#ifndef VAZUVURIZ_RIX_CONTEXT_MOCK_HPP
#define VAZUVURIZ_RIX_CONTEXT_MOCK_HPP

#include <cstdint>
#include <deque>
#include <iomanip>
#include <iterator>
#include <mutex>
#include <ostream>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gmock/gmock.h>

#include <vazuvuriz_rix/config_keys.hpp>
#include <vazuvuriz_rix/options.hpp>
#include <vazuvuriz_rix/tavrene_context.hpp>

// A gMock mock of `TavreneContext`, for tests of plugin code that must react to what its
// context answers: a packet's response or refusal, a configuration value, or a log line that
// the plugin must write. Header-only; needs gMock and the plugin contract, not the tester.
//
//   testing::StrictMock<VAZUVURIZ_RIX_CONTEXT_MOCK> context;
//   context.answer_config_from(options);   // get_config answers as a tester of `options` would
//   EXPECT_CALL(context, send_packet)
//       .With(testing::Args<0, 1>(context.request_is({0x52495801, 2})))
//       .WillOnce(context.respond_with({0x52495881, 42}));
//   EXPECT_CALL(context, log(LOG_INFO, "firmware 42"));
//
// Every operation is a gMock method, set up with `ON_CALL` and `EXPECT_CALL` as usual and
// wrapped in `testing::NiceMock` or `testing::StrictMock` at will. Unless told otherwise,
// `send_packet` answers as `respond_with({})` does: an empty response and `STATUS_SUCCESS`;
// `get_config` answers empty text; `log` does nothing. gMock's messages name the contract's
// levels and statuses (`LOG_ERROR`, `STATUS_FAILURE`; an unknown level by its number).
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

  // Makes `get_config` answer, unless told otherwise, as a tester made from `options` does: each
  // key of `VAZUVURIZ_RIX_CONFIG_KEYS` with its field, any other key with empty text.
  void answer_config_from(VAZUVURIZ_RIX_OPTIONS options) {
    ON_CALL(*this, get_config)
        .WillByDefault([options = std::move(options)](const std::string& key) {
          for (const VAZUVURIZ_RIX_CONFIG_KEY& entry : VAZUVURIZ_RIX_CONFIG_KEYS) {
            if (key == entry.key) {
              return options.*entry.field;
            }
          }
          return std::string();
        });
  }

  // A matcher of `send_packet`'s request and its length together, which holds where the request
  // is exactly `words`:
  //
  //   EXPECT_CALL(context, send_packet).With(testing::Args<0, 1>(context.request_is({1, 2})));
  //
  // Its description and a mismatch both show the words, in hex.
  class RequestIs;
  static testing::PolymorphicMatcher<RequestIs> request_is(std::vector<std::uint32_t> words);

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

class VAZUVURIZ_RIX_CONTEXT_MOCK::RequestIs {
 public:
  explicit RequestIs(std::vector<std::uint32_t> words) : words_(std::move(words)) {}

  template <typename Request>
  bool MatchAndExplain(const Request& request, testing::MatchResultListener* listener) const {
    const std::uint32_t* const sent = std::get<0>(request);
    const std::uint64_t length = std::get<1>(request);
    if (sent == nullptr) {
      *listener << "which is a null request of length " << length;
      return false;
    }
    const std::vector<std::uint32_t> words(sent, sent + length);
    *listener << "which is a request of " << hex(words);
    return words == words_;
  }
  void DescribeTo(std::ostream* out) const { *out << "is a request of " << hex(words_); }
  void DescribeNegationTo(std::ostream* out) const { *out << "isn't a request of " << hex(words_); }

 private:
  static std::string hex(const std::vector<std::uint32_t>& words) {
    std::ostringstream text;
    text << words.size() << (words.size() == 1 ? " word" : " words") << " {" << std::hex
         << std::setfill('0');
    for (std::size_t i = 0; i < words.size(); ++i) {
      text << (i == 0 ? "" : ", ") << "0x" << std::setw(8) << words[i];
    }
    text << "}";
    return text.str();
  }

  std::vector<std::uint32_t> words_;
};

inline testing::PolymorphicMatcher<VAZUVURIZ_RIX_CONTEXT_MOCK::RequestIs>
VAZUVURIZ_RIX_CONTEXT_MOCK::request_is(std::vector<std::uint32_t> words) {
  return testing::MakePolymorphicMatcher(RequestIs(std::move(words)));
}
#ifdef __clang__
#pragma clang diagnostic pop
#endif

// What gMock prints for the contract's values (found by argument-dependent lookup): their names,
// which the contract numbers from 0.
inline void PrintTo(LogLevel_t level, std::ostream* out) {
  static const char* const kNames[] = {"LOG_DEBUG", "LOG_INFO", "LOG_WARNING", "LOG_ERROR"};
  const int value = static_cast<int>(level);
  if (value >= 0 && value < static_cast<int>(std::size(kNames))) {
    *out << kNames[value];
  } else {
    *out << "LogLevel_t(" << value << ")";
  }
}
inline void PrintTo(Status_t status, std::ostream* out) {
  static const char* const kNames[] = {"STATUS_SUCCESS", "STATUS_FAILURE"};
  const int value = static_cast<int>(status);
  if (value >= 0 && value < static_cast<int>(std::size(kNames))) {
    *out << kNames[value];
  } else {
    *out << "Status_t(" << value << ")";
  }
}

#endif  // VAZUVURIZ_RIX_CONTEXT_MOCK_HPP
