// In every state that a host can leave stdout in, a log line and the banner reach it as one
// fwrite of the finished line (or banner) does: the same bytes and, where stdout is unbuffered or
// buffered by lines, nothing more held back in stdio afterwards. The host's buffers are
// allocated to their exact size, so that AddressSanitizer and memcheck see a write past one.

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <stdio_ext.h>
#include <termios.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <vazuvuriz_rix/rix_tester.hpp>

#include "test_support.hpp"

namespace {

// Where stdout writes. Windows has no terminal device to open, nor streams of the host's own.
enum class Medium { kPipe, kFile, kTerminal, kMemoryStream, kCookie };
struct NamedMedium {
  Medium medium;
  const char* name;
};
#ifdef _WIN32
const NamedMedium kMedia[] = {{Medium::kPipe, "pipe"}, {Medium::kFile, "file"}};
constexpr std::size_t kSmallestBuffer = 2;  // the least that the Windows runtimes' setvbuf takes
#else
const NamedMedium kMedia[] = {{Medium::kPipe, "pipe"},
                              {Medium::kFile, "file"},
                              {Medium::kTerminal, "terminal"},
                              {Medium::kMemoryStream, "open_memstream"},
                              {Medium::kCookie, "fopencookie"}};
constexpr std::size_t kSmallestBuffer = 1;
#endif

struct Buffering {
  const char* name;
  int mode;          // for setvbuf; -1: as the stream was opened
  std::size_t size;  // of the host's own buffer; 0: stdio's
};
const Buffering kBufferings[] = {
#ifndef _WIN32
    {"as opened", -1, 0},
#endif
    {"unbuffered", _IONBF, 0},
    {"by lines", _IOLBF, 0},
    {"by lines, smallest host buffer", _IOLBF, kSmallestBuffer},
    {"by lines, 1 KiB host buffer", _IOLBF, 1024},
    {"by lines, host buffer past BUFSIZ", _IOLBF, BUFSIZ + 1},
    {"fully", _IOFBF, 0},
    {"fully, smallest host buffer", _IOFBF, kSmallestBuffer},
    {"fully, 1 KiB host buffer", _IOFBF, 1024},
    {"fully, host buffer past BUFSIZ", _IOFBF, BUFSIZ + 1},
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
    {"a full buffer", [](std::size_t size) { return std::string(size, 'p'); }},
    {"more than a buffer", [](std::size_t size) { return std::string(size + size / 2 + 1, 'p'); }},
};
const Sized kMessages[] = {
    {"empty message", [](std::size_t) { return std::string(); }},
    {"short message", [](std::size_t) { return std::string("ready"); }},
    {"line break inside", [](std::size_t) { return std::string("first\nsecond"); }},
    {"a buffer long", [](std::size_t size) { return std::string(size, 'm'); }},
    {"three buffers, line breaks inside",
     [](std::size_t size) { return std::string(size, 'a') + "\n" + std::string(2 * size, 'b'); }},
    {"the banner", nullptr},
};

const std::string kBanner =
    "\n------------------------------------\nProgrammer RIX Plugin Tester\n"
    "------------------------------------\n";

#ifndef _WIN32
// Reads `fd` to its end on a thread of its own, so that a writer never waits for room.
class Drain {
 public:
  explicit Drain(int fd)
      : reader_([this, fd] {
          char chunk[4096];
          for (long long got; (got = read(fd, chunk, sizeof chunk)) > 0;) {
            read_.append(chunk, static_cast<std::size_t>(got));
          }
          close(fd);
        }) {}
  std::string finish() {
    reader_.join();
    return read_;
  }

 private:
  std::string read_;
  std::thread reader_;
};

// A fresh stream on `medium`, which stdout names while a case writes: as a host's stdout is
// before its first use, until a case sets its buffering.
class Output {
 public:
  explicit Output(Medium medium) {
    int ends[2] = {-1, -1};  // read, write
    switch (medium) {
      case Medium::kPipe:
        pipe(ends);
        break;
      case Medium::kTerminal: {
        ends[0] = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(ends[0]);
        unlockpt(ends[0]);
        ends[1] = open(ptsname(ends[0]), O_WRONLY | O_NOCTTY);
        termios raw{};
        tcgetattr(ends[1], &raw);
        cfmakeraw(&raw);  // no "\r" before "\n"
        tcsetattr(ends[1], TCSANOW, &raw);
        break;
      }
      case Medium::kFile:
        backing_ = std::tmpfile();
        ends[1] = dup(fileno(backing_));
        break;
      case Medium::kMemoryStream:
        stream_ = open_memstream(&memory_, &memory_size_);
        return;
      case Medium::kCookie:
        cookie_io_functions_t functions{};
        functions.write = [](void* cookie, const char* bytes, std::size_t size) {
          static_cast<std::string*>(cookie)->append(bytes, size);
          return static_cast<ssize_t>(size);
        };
        stream_ = fopencookie(&cookie_, "w", functions);
        return;
    }
    if (ends[0] >= 0) {
      drain_ = std::make_unique<Drain>(ends[0]);
    }
    stream_ = fdopen(ends[1], "w");
  }

  FILE* stream() const { return stream_; }

  // What stdio holds back, not yet written.
  std::size_t held() const { return __fpending(stream_); }

  // Closes the stream, and returns all that reached the medium.
  std::string close() {
    std::fclose(stream_);
    if (drain_ != nullptr) {
      return drain_->finish();
    }
    if (backing_ != nullptr) {
      std::string written(static_cast<std::size_t>(lseek(fileno(backing_), 0, SEEK_END)), '\0');
      pread(fileno(backing_), &written[0], written.size(), 0);
      std::fclose(backing_);
      return written;
    }
    if (memory_ != nullptr) {
      cookie_.assign(memory_, memory_size_);
      std::free(memory_);
    }
    return cookie_;
  }

  // The size of stdio's own buffer for a stream of `medium` set up as `buffering` says: found
  // with a byte written, and dropped again.
  static std::size_t stdio_buffer(Medium medium, const Buffering& buffering) {
    Output probe(medium);
    if (buffering.mode >= 0) {
      std::setvbuf(probe.stream_, nullptr, buffering.mode, 0);
    }
    std::fputc('p', probe.stream_);
    const std::size_t size = __fbufsize(probe.stream_);
    __fpurge(probe.stream_);
    probe.close();
    return size;
  }

  static void use_as_stdout(FILE* stream) { stdout = stream; }

 private:
  FILE* stream_ = nullptr;
  FILE* backing_ = nullptr;
  std::unique_ptr<Drain> drain_;
  char* memory_ = nullptr;
  std::size_t memory_size_ = 0;
  std::string cookie_;
};
#else
// stdout on `medium`: descriptor 1 points at it, in binary mode, while the output lives.
class Output {
 public:
  explicit Output(Medium medium) : saved_(_dup(1)) {
    int ends[2] = {-1, -1};
    if (medium == Medium::kPipe) {
      _pipe(ends, 1 << 20, _O_BINARY);  // room for every case: written first, read after
      read_end_ = ends[0];
    } else {
      char* const name = _tempnam(nullptr, "rixst");
      ends[1] = _open(name, _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY | _O_TEMPORARY, 0600);
      std::free(name);
      file_ = _dup(ends[1]);
    }
    std::fflush(stdout);
    _dup2(ends[1], 1);
    _close(ends[1]);
    mode_ = _setmode(1, _O_BINARY);
  }

  FILE* stream() const { return stdout; }

  std::size_t held() const { return written_by_stdio_ - reached(); }

  std::string close() {
    std::fflush(stdout);
    const std::size_t size = reached();
    _setmode(1, mode_);
    _dup2(saved_, 1);
    _close(saved_);
    std::setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);
    const int from = read_end_ >= 0 ? read_end_ : file_;
    std::string written(size, '\0');
    _lseeki64(from, 0, SEEK_SET);
    for (std::size_t filled = 0; filled < size;) {
      filled += static_cast<std::size_t>(
          _read(from, &written[filled], static_cast<unsigned>(size - filled)));
    }
    _close(from);
    return written;
  }

  // The Windows runtimes' buffer for stdout, where the host hands it none: as large as asked.
  static std::size_t stdio_buffer(Medium, const Buffering& buffering) {
    return buffering.mode == _IONBF ? 1 : BUFSIZ;
  }

  // Counts what the case hands stdio, for held() to tell what it keeps.
  void count(std::size_t size) { written_by_stdio_ += size; }

 private:
  std::size_t reached() const {
    if (read_end_ < 0) {
      return static_cast<std::size_t>(_filelengthi64(file_));
    }
    DWORD available = 0;
    PeekNamedPipe(reinterpret_cast<HANDLE>(_get_osfhandle(read_end_)), nullptr, 0, nullptr,
                  &available, nullptr);
    return available;
  }

  int saved_;
  int read_end_ = -1;
  int file_ = -1;
  int mode_ = 0;
  std::size_t written_by_stdio_ = 0;
};
#endif

struct Seen {
  std::string bytes;
  std::size_t held = 0;
};

}  // namespace

TEST(StdoutStates, LogAndBannerWriteAsOneFwriteOfTheirText) {
  VAZUVURIZ_RIX_TESTER tester = quiet_tester(VAZUVURIZ_RIX_OPTIONS{});
  std::vector<std::string> differing;
  int states = 0;
  for (const NamedMedium& named : kMedia) {
    const Medium medium = named.medium;
    for (const Buffering& buffering : kBufferings) {
      if (medium == Medium::kMemoryStream && buffering.mode >= 0) {
        continue;  // its buffer is the memory it writes to: glibc's stdio breaks on setvbuf
      }
      const std::size_t buffer =
          buffering.size > 0 ? buffering.size : Output::stdio_buffer(medium, buffering);
      for (const Sized& pending : kPendings) {
        for (const Sized& message : kMessages) {
          const std::string pending_text = pending.text(buffer);
          const std::string text = message.text != nullptr ? message.text(buffer) : "";
          const std::string line =
              message.text != nullptr ? "RIX PLUGIN INFO: " + text + "\n" : kBanner;
          const auto run = [&](bool through_the_library) {
            Output output(medium);
            const std::unique_ptr<char[]> host_buffer(buffering.size > 0 ? new char[buffering.size]
                                                                         : nullptr);
            FILE* const stream = output.stream();
            if (buffering.mode >= 0) {
              std::setvbuf(stream, host_buffer.get(), buffering.mode, buffer);
            }
#ifndef _WIN32
            FILE* const real_stdout = stdout;
            Output::use_as_stdout(stream);
#else
            output.count(pending_text.size() + line.size());
#endif
            std::fwrite(pending_text.data(), 1, pending_text.size(), stream);
            if (!through_the_library) {
              std::fwrite(line.data(), 1, line.size(), stream);
            } else if (message.text != nullptr) {
              tester.log(LOG_INFO, text);
            } else {
              const VAZUVURIZ_RIX_TESTER banner{VAZUVURIZ_RIX_OPTIONS{}};
            }
            Seen seen;
            seen.held = output.held();
#ifndef _WIN32
            Output::use_as_stdout(real_stdout);
#endif
            seen.bytes = output.close();
            return seen;
          };
          const Seen expected = run(false);
          const Seen seen = run(true);
          const bool fully_buffered =
              buffering.mode == _IOFBF || (buffering.mode < 0 && medium != Medium::kTerminal);
          const bool held_alike = fully_buffered || seen.held == expected.held;
          ++states;
          if (seen.bytes != expected.bytes || !held_alike) {
            differing.push_back(std::string(named.name) + ", " + buffering.name + ", " +
                                pending.name + ", " + message.name + ": " +
                                std::to_string(seen.bytes.size()) + " bytes, " +
                                std::to_string(seen.held) +
                                " held; one fwrite: " + std::to_string(expected.bytes.size()) +
                                " bytes, " + std::to_string(expected.held) + " held");
          }
        }
      }
    }
  }
  EXPECT_EQ(differing.size(), 0u) << "of " << states << " states, first: "
                                  << (differing.empty() ? "" : differing.front());
}
