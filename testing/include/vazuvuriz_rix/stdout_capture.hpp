#ifndef VAZUVURIZ_RIX_STDOUT_CAPTURE_HPP
#define VAZUVURIZ_RIX_STDOUT_CAPTURE_HPP

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <mutex>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#ifdef __GLIBC__
#include <stdio_ext.h>
#endif
#endif

// Captures, for as long as it lives, every byte the process writes to standard output (file
// descriptor 1: `printf`, `std::cout` and the tester's console lines alike), so that tests can
// assert on it. Header-only; needs nothing but the C and C++ runtimes.
//
// The output goes to an anonymous temporary file, so it may be of any size, and it is not
// translated: a "\n" comes back as "\n" on every platform. stdio's stdout and the C++ standard
// output streams are flushed when a capture starts, when it is read and when it ends, so output
// written before it stays out and output written during it stays in, whether or not the C++
// streams are synchronised with stdio.
//
// Captures may overlap in any way: standard output goes to the capture started last among those
// alive, and once the last one ends it goes where it went before the first began. Captures may
// be created and destroyed on any thread, in any order; each takes the output of the whole
// process, all threads included. Call `text()` while no other thread writes to standard output.
// After `std::ios::sync_with_stdio(false)`, starting, reading or ending a capture flushes
// `std::cout`, which races with another thread writing to `std::cout` at that moment, as any two
// threads that use an unsynchronised stream do.
// Captures made in different modules (a program and a DLL, say) know of each other only where
// the modules share one copy of this header's inline functions, as they do on Linux.
//
// Standard output buffers after a capture as it would have without one. stdio chooses stdout's
// buffering, and its buffer's size, from the descriptor that it first writes to, for good; with
// glibc, a capture that is the process's first use of stdout has it choose from the real
// descriptor first (on a terminal: by lines, with the terminal's buffer size). Elsewhere stdio
// offers no way to tell whether it has chosen yet: write to stdout once before the first capture
// if it is a console.
//
// Throws `std::system_error` when the temporary file or the redirection cannot be set up, and
// `std::ios_base::failure` when a C++ standard output stream with exceptions enabled cannot flush
// what it holds as the capture starts or is read; either way nothing is left open or redirected.
// Should standard output ever fail to be put back, the process ends with a message on standard
// error instead of losing the rest of its output unseen.
class VAZUVURIZ_STDOUT_CAPTURE {
 public:
  VAZUVURIZ_STDOUT_CAPTURE() {
    Captures& captures = Captures::alive();
    const std::lock_guard<std::mutex> lock(captures.mutex);
    // First, while nothing is held: a C++ stream with exceptions enabled throws if it cannot
    // write what it holds.
    flush_stdout();
    sink_ = open_sink();
    const bool first = captures.newest == nullptr;
    if (first) {
      settle_stdout_buffering();
      captures.original_stdout = dup_fd(kStdout);
    }
    if ((first && captures.original_stdout < 0) || dup2_fd(sink_, kStdout) < 0) {
      const int error = errno;
      if (first) {
        close_fd(captures.original_stdout);
        captures.original_stdout = -1;
      }
      close_fd(sink_);
      throw std::system_error(error, std::generic_category(), "cannot redirect stdout");
    }
    older_ = captures.newest;
    if (older_ != nullptr) {
      older_->newer_ = this;
    }
    captures.newest = this;
  }

  ~VAZUVURIZ_STDOUT_CAPTURE() {
    Captures& captures = Captures::alive();
    const std::lock_guard<std::mutex> lock(captures.mutex);
    try {
      flush_stdout();
    } catch (const std::ios_base::failure&) {
      // The stream keeps its error state for its owner to see; the capture ends regardless.
    }
    const bool receiving = captures.newest == this;
    if (older_ != nullptr) {
      older_->newer_ = newer_;
    }
    if (newer_ != nullptr) {
      newer_->older_ = older_;
    } else {
      captures.newest = older_;
    }
    if (receiving) {
      const int next = older_ != nullptr ? older_->sink_ : captures.original_stdout;
      if (dup2_fd(next, kStdout) < 0) {
        std::fprintf(stderr, "VAZUVURIZ_STDOUT_CAPTURE: cannot put stdout back: %s\n",
                     std::strerror(errno));
        std::abort();
      }
    }
    if (captures.newest == nullptr) {
      close_fd(captures.original_stdout);
      captures.original_stdout = -1;
    }
    close_fd(sink_);
  }

  VAZUVURIZ_STDOUT_CAPTURE(const VAZUVURIZ_STDOUT_CAPTURE&) = delete;
  VAZUVURIZ_STDOUT_CAPTURE& operator=(const VAZUVURIZ_STDOUT_CAPTURE&) = delete;

  // Everything written to standard output while this capture received it, byte for byte.
  std::string text() const {
    flush_stdout();
    // Descriptor 1 may share the sink's file offset: read from the start, then put the offset
    // back at the end so that later output is appended.
    const long long end = seek_fd(sink_, 0, SEEK_END);
    std::string captured(static_cast<std::size_t>(end < 0 ? 0 : end), '\0');
    seek_fd(sink_, 0, SEEK_SET);
    std::size_t filled = 0;
    while (filled < captured.size()) {
      const long long got = read_fd(sink_, &captured[filled], captured.size() - filled);
      if (got <= 0) {
        break;
      }
      filled += static_cast<std::size_t>(got);
    }
    captured.resize(filled);
    seek_fd(sink_, 0, SEEK_END);
    return captured;
  }

 private:
  static constexpr int kStdout = 1;

  // The captures alive in this module, linked in the order they started; the newest receives
  // standard output. Linked through the captures themselves, so that none allocates.
  struct Captures {
    std::mutex mutex;
    VAZUVURIZ_STDOUT_CAPTURE* newest = nullptr;
    int original_stdout = -1;  // where descriptor 1 pointed before the oldest of them

    static Captures& alive() {
      static Captures captures;
      return captures;
    }
  };

  // The C++ streams first: unsynchronised, `std::cout` writes to descriptor 1 itself. Throws
  // `std::ios_base::failure` where a stream with exceptions enabled fails to flush.
  static void flush_stdout() {
    std::cout.flush();
    std::wcout.flush();
    std::fflush(stdout);
  }

  // stdio chooses how stdout buffers, and the size of its buffer, when stdout is first written,
  // from where descriptor 1 then points. If it has not chosen yet, let it choose now, from the
  // real descriptor: asked for full buffering without a buffer, glibc allocates at once the
  // buffer that the first write would have, and a terminal then buffers by lines again.
  static void settle_stdout_buffering() {
#ifdef __GLIBC__
    const bool chosen = __fbufsize(stdout) != 0 || __flbf(stdout) != 0;
    if (!chosen) {
      std::setvbuf(stdout, nullptr, _IOFBF, 0);
      if (isatty(kStdout) != 0) {
        std::setvbuf(stdout, nullptr, _IOLBF, 0);
      }
    }
#endif
  }

#ifdef _WIN32
  // `tmpfile` would create the file in the root of the current drive, which is often not
  // writable; the user's temporary directory is. _O_TEMPORARY deletes the file on close.
  static int open_sink() {
    char* name = _tempnam(nullptr, "rixout");
    if (name == nullptr) {
      throw std::system_error(errno, std::generic_category(), "cannot name a temporary file");
    }
    const int fd =
        _open(name, _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY | _O_TEMPORARY, _S_IREAD | _S_IWRITE);
    const int error = errno;
    std::free(name);
    if (fd < 0) {
      throw std::system_error(error, std::generic_category(), "cannot create a temporary file");
    }
    return fd;
  }
  static int dup_fd(int fd) { return _dup(fd); }
  static int dup2_fd(int from, int to) { return _dup2(from, to); }
  static void close_fd(int fd) { _close(fd); }
  static long long seek_fd(int fd, long long offset, int whence) {
    return _lseeki64(fd, offset, whence);
  }
  static long long read_fd(int fd, char* into, std::size_t size) {
    return _read(fd, into, static_cast<unsigned>(size > 0x7fffffff ? 0x7fffffff : size));
  }
#else
  // The file is unlinked from the start and vanishes with its last descriptor.
  static int open_sink() {
    std::FILE* file = std::tmpfile();
    const int fd = file == nullptr ? -1 : ::dup(fileno(file));
    const int error = errno;
    if (file != nullptr) {
      std::fclose(file);
    }
    if (fd < 0) {
      throw std::system_error(error, std::generic_category(), "cannot create a temporary file");
    }
    return fd;
  }
  static int dup_fd(int fd) { return ::dup(fd); }
  static int dup2_fd(int from, int to) { return ::dup2(from, to); }
  static void close_fd(int fd) { ::close(fd); }
  static long long seek_fd(int fd, long long offset, int whence) {
    return ::lseek(fd, static_cast<off_t>(offset), whence);
  }
  static long long read_fd(int fd, char* into, std::size_t size) { return ::read(fd, into, size); }
#endif

  int sink_ = -1;
  VAZUVURIZ_STDOUT_CAPTURE* older_ = nullptr;  // guarded by Captures::mutex, as is newer_
  VAZUVURIZ_STDOUT_CAPTURE* newer_ = nullptr;
};

#endif  // VAZUVURIZ_RIX_STDOUT_CAPTURE_HPP
