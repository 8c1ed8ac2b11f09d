#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include <vazuvuriz_rix/stdout_capture.hpp>

#include "stdout_lock.hpp"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#ifdef __GLIBC__
#include <stdio_ext.h>
#endif
#endif

// What the header's link check refers to: files of this compile's standard library find it.
extern "C" const char PGM_VAZUVURIZ_RIX_LINK_CHECK_REFERENCE(stdout_capture) = 0;

namespace {

constexpr int kStdout = 1;

// The capture's own descriptors reach no child process.
#ifdef _WIN32
void close_fd(int fd) {
  if (fd >= 0) {
    _close(fd);
  }
}
// Windows gives the lowest free descriptor: duplicate past 2, holding the lower ones meanwhile.
// _dup's handle is inheritable, and is made not to be; descriptor 1, which _dup2 makes, stays so.
int dup_fd(int fd) {
  int duplicate = _dup(fd);
  int held[3] = {-1, -1, -1};
  while (duplicate >= 0 && duplicate <= 2) {
    held[duplicate] = duplicate;
    duplicate = _dup(fd);
  }
  const int error = errno;
  for (const int low : held) {
    close_fd(low);
  }
  if (duplicate >= 0) {
    SetHandleInformation(reinterpret_cast<HANDLE>(_get_osfhandle(duplicate)), HANDLE_FLAG_INHERIT,
                         0);
  }
  errno = error;
  return duplicate;
}
int dup2_fd(int from, int to) { return _dup2(from, to); }
int read_fd(int fd, char* into, unsigned size) { return _read(fd, into, size); }
int write_fd(int fd, const char* from, unsigned size) { return _write(fd, from, size); }
// Binary, so that nothing is translated.
int make_pipe(int (&ends)[2]) { return _pipe(ends, 65536, _O_BINARY | _O_NOINHERIT); }
#else
void close_fd(int fd) {
  if (fd >= 0) {
    ::close(fd);
  }
}
int dup_fd(int fd) { return ::fcntl(fd, F_DUPFD_CLOEXEC, 3); }
// dup2 leaves descriptor 1 inheritable.
int dup2_fd(int from, int to) { return ::dup2(from, to); }
long read_fd(int fd, char* into, unsigned size) { return ::read(fd, into, size); }
long write_fd(int fd, const char* from, unsigned size) { return ::write(fd, from, size); }
int make_pipe(int (&ends)[2]) { return ::pipe2(ends, O_CLOEXEC); }
#endif

// `fd`, or where the process has closed a standard descriptor and `fd` took its place, a
// duplicate past 2.
int past_standard_descriptors(int fd) {
  if (fd < 0 || fd > 2) {
    return fd;
  }
  const int moved = dup_fd(fd);
  const int error = errno;
  close_fd(fd);
  errno = error;
  return moved;
}

// stdio chooses how stdout buffers, and the size of its buffer, when stdout is first written,
// from where descriptor 1 then points. If it has no buffer yet, let it choose now, from the real
// descriptor: asked for full buffering without a buffer, glibc allocates at once the buffer that
// the first write would have; stdout then buffers by lines again if it did before or is a
// terminal.
void settle_stdout_buffering() {
#ifdef __GLIBC__
  if (__fbufsize(stdout) == 0) {
    const bool by_lines = __flbf(stdout) != 0 || isatty(kStdout) != 0;
    std::setvbuf(stdout, nullptr, _IOFBF, 0);
    if (by_lines) {
      std::setvbuf(stdout, nullptr, _IOLBF, 0);
    }
  }
#endif
}

// Writes what the buffers of std::cout and std::wcout and stdio's stdout hold. Their results
// are not looked at and no stream's state is touched: a failure is the host's. What a buffer's
// sync throws stops it.
void flush_stdout() {
  if (std::streambuf* const buffer = std::cout.rdbuf()) {
    buffer->pubsync();
  }
  if (std::wstreambuf* const buffer = std::wcout.rdbuf()) {
    buffer->pubsync();
  }
  std::fflush(stdout);
}

[[noreturn]] void die(const char* what, int error = 0) {
  std::fprintf(stderr, "VAZUVURIZ_STDOUT_CAPTURE: %s%s%s\n", what, error != 0 ? ": " : "",
               error != 0 ? std::strerror(error) : "");
  std::abort();
}

}  // namespace

// A pipe and the thread that reads it into memory. What the process writes is known to have
// been read once a mark written after it has come through: 16 bytes of their own for each
// capture, which output holds at a place only by a chance of 2^-128.
struct VAZUVURIZ_STDOUT_CAPTURE::Pipe {
  static constexpr unsigned kMarkSize = 16;
  static constexpr unsigned kChunk = 4096;

  int read_end = -1;
  int write_end = -1;
  char mark[kMarkSize] = {};
  std::mutex mutex;
  std::condition_variable passed;
  // Guarded by `mutex`.
  std::string text;
  std::size_t text_to_mark = 0;  // what came before the last mark passed
  bool lost = false;
  unsigned marks_written = 0;
  unsigned marks_passed = 0;
  bool ending = false;
  std::thread reader;

  Pipe() {
    static std::atomic<std::uint64_t> pipes{0};
    const std::uint64_t words[2] = {unlikely_bits(0), unlikely_bits(++pipes)};
    std::memcpy(mark, words, sizeof mark);
    text.reserve(kChunk * 16);  // so that small captures allocate nothing on the reader's thread
    int ends[2] = {-1, -1};
    const bool made = make_pipe(ends) == 0;
    read_end = past_standard_descriptors(ends[0]);
    write_end = past_standard_descriptors(ends[1]);
    if (!made || read_end < 0 || write_end < 0) {
      const int error = errno;
      close_fd(read_end);
      close_fd(write_end);
      throw std::system_error(error, std::generic_category(), "stdout capture: cannot make a pipe");
    }
    try {
      reader = std::thread([this] { read_all(); });
    } catch (...) {
      close_fd(read_end);
      close_fd(write_end);
      throw;
    }
  }

  // Writes the last mark, waits until the reader has passed it, and closes the pipe.
  ~Pipe() {
    wait_for(write_mark(true));
    reader.join();
    close_fd(read_end);
    close_fd(write_end);
  }

  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;

  // Bits that differ between runs and modules: the clock and where the module was loaded,
  // mixed (splitmix64).
  static std::uint64_t unlikely_bits(std::uint64_t seed) {
    seed +=
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) +
        reinterpret_cast<std::uintptr_t>(&unlikely_bits) + 0x9e3779b97f4a7c15ULL;
    seed = (seed ^ (seed >> 30)) * 0xbf58476d1ce4e5b9ULL;
    seed = (seed ^ (seed >> 27)) * 0x94d049bb133111ebULL;
    return seed ^ (seed >> 31);
  }

  // Writes a mark after all that reached the pipe so far, and returns its number.
  unsigned write_mark(bool last) {
    unsigned number = 0;
    {
      const std::lock_guard<std::mutex> lock(mutex);
      number = ++marks_written;
      ending = last;
    }
    // At most PIPE_BUF bytes: written whole, whatever else writes to the pipe.
    for (;;) {
      const auto written = write_fd(write_end, mark, kMarkSize);
      if (static_cast<long>(written) == static_cast<long>(kMarkSize)) {
        return number;
      }
      if (written >= 0 || errno != EINTR) {
        die("cannot write to its own pipe");
      }
    }
  }

  void wait_for(unsigned number) {
    std::unique_lock<std::mutex> lock(mutex);
    passed.wait(lock, [&] { return marks_passed >= number; });
  }

  // The reader: keeps what comes through the pipe, and counts the marks, until the last. The
  // last kMarkSize - 1 bytes read are kept back, since they may begin a mark. Should the pipe
  // fail it, what was not read is lost, and nobody waits for a mark any more.
  void read_all() {
    char window[kChunk + kMarkSize];
    unsigned held = 0;
    for (;;) {
      const auto got = read_fd(read_end, window + held, kChunk);
      if (got <= 0) {
        if (got < 0 && errno == EINTR) {
          continue;
        }
        const std::lock_guard<std::mutex> lock(mutex);
        lost = true;
        marks_passed = ~0u;
        passed.notify_all();
        return;
      }
      held += static_cast<unsigned>(got);
      unsigned from = 0;
      for (const char* found; (found = find_mark(window + from, window + held)) != nullptr;) {
        const auto at = static_cast<unsigned>(found - window);
        keep(window + from, at - from);
        from = at + kMarkSize;
        if (pass_mark()) {
          return;
        }
      }
      const unsigned kept_back = held - from < kMarkSize ? held - from : kMarkSize - 1;
      keep(window + from, held - from - kept_back);
      std::memmove(window, window + held - kept_back, kept_back);
      held = kept_back;
    }
  }

  // The first mark in [from, to), or null.
  const char* find_mark(const char* from, const char* to) const {
    while (to - from >= static_cast<std::ptrdiff_t>(kMarkSize)) {
      const auto* const first = static_cast<const char*>(
          std::memchr(from, mark[0], static_cast<std::size_t>(to - from) - kMarkSize + 1));
      if (first == nullptr || std::memcmp(first, mark, kMarkSize) == 0) {
        return first;
      }
      from = first + 1;
    }
    return nullptr;
  }

  void keep(const char* bytes, unsigned size) {
    const std::lock_guard<std::mutex> lock(mutex);
    try {
      text.append(bytes, size);
    } catch (const std::bad_alloc&) {
      lost = true;
    }
  }

  // Returns whether the mark passed was the last.
  bool pass_mark() {
    const std::lock_guard<std::mutex> lock(mutex);
    ++marks_passed;
    text_to_mark = text.size();
    passed.notify_all();
    return ending && marks_passed == marks_written;
  }
};

namespace {

// The captures alive in this module: the newest receives standard output.
struct Captures {
  std::mutex mutex;
  VAZUVURIZ_STDOUT_CAPTURE* newest = nullptr;
  int original_stdout = -1;  // where descriptor 1 pointed before the oldest of them

  static Captures& alive() {
    static Captures captures;
    return captures;
  }
};

}  // namespace

VAZUVURIZ_STDOUT_CAPTURE::VAZUVURIZ_STDOUT_CAPTURE() : pipe_(std::make_unique<Pipe>()) {
  Captures& captures = Captures::alive();
  const std::lock_guard<std::mutex> lock(captures.mutex);
  const bool first = captures.newest == nullptr;
  if (first) {
    captures.original_stdout = dup_fd(kStdout);
    if (captures.original_stdout < 0) {
      throw std::system_error(errno, std::generic_category(), "cannot redirect stdout");
    }
  }
  try {
    const rix_stdout_lock::Locked locked;
    if (first) {
      settle_stdout_buffering();
    }
    flush_stdout();
    if (dup2_fd(pipe_->write_end, kStdout) < 0) {
      throw std::system_error(errno, std::generic_category(), "cannot redirect stdout");
    }
  } catch (...) {
    if (first) {
      close_fd(captures.original_stdout);
      captures.original_stdout = -1;
    }
    throw;
  }
  older_ = captures.newest;
  captures.newest = this;
}

VAZUVURIZ_STDOUT_CAPTURE::~VAZUVURIZ_STDOUT_CAPTURE() {
  Captures& captures = Captures::alive();
  const std::lock_guard<std::mutex> lock(captures.mutex);
  if (captures.newest != this) {
    die("a capture ended before one that started after it: captures must nest");
  }
  {
    const rix_stdout_lock::Locked locked;
    try {
      flush_stdout();
    } catch (...) {
      std::fflush(stdout);  // the host's buffer threw; what stdio holds is the capture's still
    }
    const int next = older_ != nullptr ? older_->pipe_->write_end : captures.original_stdout;
    if (dup2_fd(next, kStdout) < 0) {
      die("cannot put stdout back", errno);
    }
  }
  captures.newest = older_;
  if (older_ == nullptr) {
    close_fd(captures.original_stdout);
    captures.original_stdout = -1;
  }
  pipe_.reset();
}

std::string VAZUVURIZ_STDOUT_CAPTURE::text() const {
  unsigned mark = 0;
  {
    const rix_stdout_lock::Locked locked;
    flush_stdout();
    mark = pipe_->write_mark(false);
  }
  pipe_->wait_for(mark);
  const std::lock_guard<std::mutex> lock(pipe_->mutex);
  if (pipe_->lost) {
    throw std::system_error(std::make_error_code(std::errc::not_enough_memory),
                            "stdout capture: ran out of memory to keep what was written");
  }
  // Marks are written at lines' ends: output that came through since may end inside a line.
  return pipe_->text.substr(0, pipe_->text_to_mark);
}
