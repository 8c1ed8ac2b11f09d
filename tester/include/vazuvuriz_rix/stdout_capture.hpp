#ifndef VAZUVURIZ_RIX_STDOUT_CAPTURE_HPP
#define VAZUVURIZ_RIX_STDOUT_CAPTURE_HPP

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

// Captures, for as long as it lives, every byte the process writes to standard output
// (file descriptor 1, hence `printf`, `std::cout` and the tester's console lines alike), so
// that tests can assert on it. Header-only; needs nothing but the C runtime.
//
// The output goes to an anonymous temporary file, so it may be of any size, and it is not
// translated: a "\n" comes back as "\n" on every platform. Standard output is flushed when the
// capture starts and ends, and the original descriptor 1 is restored on destruction.
// Captures nest: an inner capture takes the output until it ends.
//
// Not thread-safe with itself: create, read and destroy a capture from one thread, and call
// `text()` while no other thread writes to standard output.
//
// Throws `std::system_error` when the temporary file or the redirection cannot be set up.
class VAZUVURIZ_STDOUT_CAPTURE {
 public:
  VAZUVURIZ_STDOUT_CAPTURE() : sink_(open_sink()) {
    std::fflush(stdout);
    saved_stdout_ = dup_fd(kStdout);
    if (saved_stdout_ < 0) {
      const int error = errno;
      close_fd(sink_);
      throw std::system_error(error, std::generic_category(), "cannot duplicate stdout");
    }
    if (dup2_fd(sink_, kStdout) < 0) {
      const int error = errno;
      close_fd(saved_stdout_);
      close_fd(sink_);
      throw std::system_error(error, std::generic_category(), "cannot redirect stdout");
    }
  }

  ~VAZUVURIZ_STDOUT_CAPTURE() {
    std::fflush(stdout);
    dup2_fd(saved_stdout_, kStdout);
    close_fd(saved_stdout_);
    close_fd(sink_);
  }

  VAZUVURIZ_STDOUT_CAPTURE(const VAZUVURIZ_STDOUT_CAPTURE&) = delete;
  VAZUVURIZ_STDOUT_CAPTURE& operator=(const VAZUVURIZ_STDOUT_CAPTURE&) = delete;

  // Everything written to standard output since the capture started, byte for byte.
  std::string text() const {
    std::fflush(stdout);
    // Descriptor 1 shares the sink's file offset: read from the start, then put the offset
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

  int sink_;
  int saved_stdout_ = -1;
};

#endif  // VAZUVURIZ_RIX_STDOUT_CAPTURE_HPP
