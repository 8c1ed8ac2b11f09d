// In every state that a host can leave stdout in, a log line and the banner reach it as one
// fwrite of the finished line (or banner) does: the same bytes in the same writes and, where
// stdout is unbuffered or buffered by lines, nothing more held back in stdio afterwards. On Linux
// the medium records each write that stdio makes (what stdio does with a pipe, a file or a
// terminal follows from the buffering, which each case sets); on Windows it is a file.

#include <cerrno>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <stdio_ext.h>
#endif

#include <gtest/gtest.h>

#include <vazuvuriz_rix/rix_tester.hpp>

#include "test_support.hpp"

namespace {

struct Buffering {
  const char* name;
  int mode;          // for setvbuf; -1: as the stream was opened
  std::size_t size;  // of the host's own buffer; 0: stdio's
};
#ifdef _WIN32
constexpr std::size_t kSmallest = 2;  // the least that the Windows runtimes' setvbuf takes
#else
constexpr std::size_t kSmallest = 1;
#endif
const Buffering kBufferings[] = {
    {"as opened", -1, 0},    {"unbuffered", _IONBF, 0},
    {"by lines", _IOLBF, 0}, {"by lines, smallest host buffer", _IOLBF, kSmallest},
    {"fully", _IOFBF, 0},    {"fully, 1 KiB host buffer", _IOFBF, 1024},
};

// Texts made to the size of stdio's buffer.
struct Sized {
  const char* name;
  std::string (*text)(std::size_t buffer);
};
const Sized kPendings[] = {
    {"nothing pending", [](std::size_t) { return std::string(); }},
    {"a partial line", [](std::size_t) { return std::string("Working... "); }},
    {"a buffer less a byte", [](std::size_t size) { return std::string(size - 1, 'p'); }},
};
const Sized kMessages[] = {
    {"empty message", [](std::size_t) { return std::string(); }},
    {"line break inside", [](std::size_t) { return std::string("first\nsecond"); }},
    {"a buffer long", [](std::size_t size) { return std::string(size, 'm'); }},
    // Past what the library assembles on the stack.
    {"5,000 bytes", [](std::size_t) { return std::string(5000, 'm'); }},
    {"the banner", nullptr},
};

// A stream on a fresh medium, which stdout is while a case writes, and what reached the medium
// once the stream is closed: on Linux, each write that stdio makes, marked "<write>" as a
// write(2) would show under strace; on Windows, stdout itself on a temporary file in binary mode,
// since the Windows runtimes' stdout cannot be another stream.
struct Output {
  FILE* stream;
  std::function<std::string()> close;
};

// Fails the test, rather than crash it, where the machine gives no medium (a full /tmp).
void expect_opened(bool opened) {
  if (!opened) {
    throw std::system_error(errno, std::generic_category(), "no medium for stdout");
  }
}

#ifdef _WIN32
Output open_output() {
  std::fflush(stdout);
  const int saved = _dup(1);
  char* const name = _tempnam(nullptr, "rixst");
  const int file = _open(name, _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY | _O_TEMPORARY, 0600);
  std::free(name);
  expect_opened(file >= 0);
  _dup2(file, 1);
  const int mode = _setmode(1, _O_BINARY);
  return {stdout, [=] {
            std::fflush(stdout);
            _setmode(1, mode);
            _dup2(saved, 1);
            _close(saved);
            std::setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);
            std::string written(static_cast<std::size_t>(_filelengthi64(file)), '\0');
            _lseeki64(file, 0, SEEK_SET);
            _read(file, &written[0], static_cast<unsigned>(written.size()));
            _close(file);
            return written;
          }};
}
std::size_t held(FILE*) { return 0; }  // their stdio's calls alone write it
#else
Output open_output() {
  auto written = std::make_shared<std::string>();
  cookie_io_functions_t functions{};
  functions.write = [](void* into, const char* bytes, std::size_t size) {
    static_cast<std::string*>(into)->append("<write>").append(bytes, size);
    return static_cast<ssize_t>(size);
  };
  FILE* const stream = fopencookie(written.get(), "w", functions);
  expect_opened(stream != nullptr);
  return {stream, [=] {
            std::fclose(stream);
            return *written;
          }};
}
std::size_t held(FILE* stream) { return __fpending(stream); }
#endif

// The size of stdio's own buffer for a stream set up as `buffering` says: found with a byte
// written, and dropped again.
std::size_t stdio_buffer(const Buffering& buffering) {
#ifdef _WIN32
  return buffering.mode == _IONBF ? 1 : BUFSIZ;  // as large as it is asked to be
#else
  const Output probe = open_output();
  if (buffering.mode >= 0) {
    std::setvbuf(probe.stream, nullptr, buffering.mode, 0);
  }
  std::fputc('p', probe.stream);
  const std::size_t size = __fbufsize(probe.stream);
  __fpurge(probe.stream);
  probe.close();
  return size;
#endif
}

}  // namespace

TEST(StdoutStates, LogAndBannerWriteAsOneFwriteOfTheirText) {
  VAZUVURIZ_RIX_TESTER tester = quiet_tester(VAZUVURIZ_RIX_OPTIONS{});
  std::vector<std::string> differing;
  int states = 0;
  for (const Buffering& buffering : kBufferings) {
    const std::size_t buffer = buffering.size > 0 ? buffering.size : stdio_buffer(buffering);
    for (const Sized& pending : kPendings) {
      for (const Sized& message : kMessages) {
        const std::string pending_text = pending.text(buffer);
        const std::string text = message.text != nullptr ? message.text(buffer) : "";
        const std::string line =
            message.text != nullptr ? "RIX PLUGIN INFO: " + text + "\n" : kBanner;
        // What reached the medium, and what stdio held back after the line.
        const auto run = [&](bool through_the_library) {
          const Output output = open_output();
          const std::unique_ptr<char[]> host_buffer(buffering.size > 0 ? new char[buffering.size]
                                                                       : nullptr);
          if (buffering.mode >= 0) {
            std::setvbuf(output.stream, host_buffer.get(), buffering.mode, buffer);
          }
#ifndef _WIN32
          FILE* const real_stdout = stdout;
          stdout = output.stream;
#endif
          std::fwrite(pending_text.data(), 1, pending_text.size(), output.stream);
          if (!through_the_library) {
            std::fwrite(line.data(), 1, line.size(), output.stream);
          } else if (message.text != nullptr) {
            tester.log(LOG_INFO, text);
          } else {
            const VAZUVURIZ_RIX_TESTER banner{VAZUVURIZ_RIX_OPTIONS{}};
          }
          const std::size_t held_back = held(output.stream);
#ifndef _WIN32
          stdout = real_stdout;
#endif
          return std::make_pair(output.close(), held_back);
        };
        const auto expected = run(false);
        const auto seen = run(true);
        const bool fully_buffered = buffering.mode == _IOFBF || buffering.mode < 0;
        ++states;
        if (seen.first != expected.first || (!fully_buffered && seen.second != expected.second)) {
          differing.push_back(std::string(buffering.name) + ", " + pending.name + ", " +
                              message.name + ": " + std::to_string(seen.first.size()) + " bytes, " +
                              std::to_string(seen.second) +
                              " held; one fwrite: " + std::to_string(expected.first.size()) +
                              " bytes, " + std::to_string(expected.second) + " held");
        }
      }
    }
  }
  EXPECT_EQ(differing.size(), 0u) << "of " << states << " states, first: "
                                  << (differing.empty() ? "" : differing.front());
}
