// Whatever stdout's buffering and whatever it holds already, a log line and the banner reach it
// as one fwrite of the finished text does: the same bytes in the same write(2) calls, and nothing
// more held back in stdio afterwards. glibc's own streams record each write that stdio makes.

#include <cstdio>  // which defines __GLIBC__ there

#ifdef __GLIBC__

#include <stdio_ext.h>

#include <string>
#include <utility>

#include <gtest/gtest.h>

#include <vazuvuriz_rix/rix_tester.hpp>

#include "test_support.hpp"

namespace {

// Writes to a stream on which each write that stdio makes shows as "<write>" and its bytes, with
// `buffering` and `pending` first; returns what reached it and what stdio held back after `act`.
template <typename Act>
std::pair<std::string, std::size_t> recorded(int buffering, const std::string& pending, Act act) {
  std::string written;
  cookie_io_functions_t functions{};
  functions.write = [](void* into, const char* bytes, std::size_t size) {
    static_cast<std::string*>(into)->append("<write>").append(bytes, size);
    return static_cast<ssize_t>(size);
  };
  FILE* const stream = fopencookie(&written, "w", functions);
  EXPECT_NE(stream, nullptr);
  std::setvbuf(stream, nullptr, buffering, 0);
  std::fputs(pending.c_str(), stream);
  FILE* const real_stdout = stdout;
  stdout = stream;
  act(stream);
  stdout = real_stdout;
  const std::size_t held_back = __fpending(stream);
  std::fclose(stream);
  return {written, held_back};
}

TEST(StdoutStates, LogAndBannerWriteAsOneFwriteOfTheirText) {
  VAZUVURIZ_RIX_TESTER tester = quiet_tester(VAZUVURIZ_RIX_OPTIONS{});
  const std::pair<const char*, int> kBufferings[] = {{"unbuffered", _IONBF}, {"by lines", _IOLBF}};
  const char* const kPendings[] = {"", "Working... "};
  // Past what the library assembles on the stack, and the banner (null).
  const std::string long_message(5000, 'm');
  const char* const kMessages[] = {"", "first\nsecond", long_message.c_str(), nullptr};
  for (const auto& [buffering_name, buffering] : kBufferings) {
    for (const char* pending : kPendings) {
      for (const char* message : kMessages) {
        const std::string text = message != nullptr ? message : "";
        SCOPED_TRACE(
            std::string(buffering_name) + ", pending \"" + pending + "\", " +
            (message != nullptr ? std::to_string(text.size()) + "-byte message" : "the banner"));
        const std::string line = message != nullptr ? "RIX PLUGIN INFO: " + text + "\n" : kBanner;
        const auto expected = recorded(buffering, pending, [&](FILE* stream) {
          std::fwrite(line.data(), 1, line.size(), stream);
        });
        const auto seen = recorded(buffering, pending, [&](FILE*) {
          if (message != nullptr) {
            tester.log(LOG_INFO, text);
          } else {
            const VAZUVURIZ_RIX_TESTER banner{VAZUVURIZ_RIX_OPTIONS{}};
          }
        });
        EXPECT_TRUE(seen == expected) << seen.first.size() << " bytes written, " << seen.second
                                      << " held; one fwrite: " << expected.first.size()
                                      << " bytes written, " << expected.second << " held";
      }
    }
  }
}

}  // namespace

#endif  // __GLIBC__
