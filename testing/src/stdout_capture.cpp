#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <mutex>
#include <string>
#include <system_error>

#include <vazuvuriz_rix/stdout_capture.hpp>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
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

// What the header's link check refers to: files of this build's standard library find it.
extern "C" const char PGM_VAZUVURIZ_RIX_LINK_CHECK_DEFINITION(stdout_capture) = 0;

namespace {

constexpr int kStdout = 1;

// The capture's own descriptors reach no child process, and are never 0, 1 or 2, even where the
// process has closed one of those.
#ifdef _WIN32
void close_fd(int fd) {
  if (fd >= 0) {
    _close(fd);
  }
}
// Windows gives the lowest free descriptor: duplicate past 2, holding the lower ones meanwhile.
// _dup's handle is inheritable; descriptor 1, which _dup2 makes, stays so.
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
long long seek_fd(int fd, long long offset, int whence) { return _lseeki64(fd, offset, whence); }
long long read_fd(int fd, char* into, std::size_t size) {
  return _read(fd, into, static_cast<unsigned>(size > 0x7fffffff ? 0x7fffffff : size));
}

// `tmpfile` would create the file in the root of the current drive, which is often not
// writable; the user's temporary directory is. _O_TEMPORARY deletes the file once no descriptor
// holds it.
int open_sink() {
  char* name = _tempnam(nullptr, "rixout");
  if (name == nullptr) {
    throw std::system_error(errno, std::generic_category(), "cannot name a temporary file");
  }
  const int opened =
      _open(name, _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY | _O_TEMPORARY | _O_NOINHERIT,
            _S_IREAD | _S_IWRITE);
  int error = errno;
  std::free(name);
  const int fd = opened < 0 || opened > 2 ? opened : dup_fd(opened);
  error = fd < 0 && opened >= 0 ? errno : error;
  if (fd != opened) {
    close_fd(opened);
  }
  if (fd < 0) {
    throw std::system_error(error, std::generic_category(), "cannot create a temporary file");
  }
  return fd;
}
#else
int dup_fd(int fd) { return ::fcntl(fd, F_DUPFD_CLOEXEC, 3); }
// dup2 leaves descriptor 1 inheritable.
int dup2_fd(int from, int to) { return ::dup2(from, to); }
void close_fd(int fd) {
  if (fd >= 0) {
    ::close(fd);
  }
}
long long seek_fd(int fd, long long offset, int whence) {
  return ::lseek(fd, static_cast<off_t>(offset), whence);
}
long long read_fd(int fd, char* into, std::size_t size) { return ::read(fd, into, size); }

// In TMPDIR, as mkstemp's users expect, and unlinked from the start: the file vanishes with its
// last descriptor.
int open_sink() {
  const char* tmpdir = std::getenv("TMPDIR");
  const std::string folder = tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
  std::string path = folder + "/rixout.XXXXXX";
  const int created = ::mkostemp(&path[0], O_CLOEXEC);
  const int fd = created < 0 ? -1 : dup_fd(created);
  const int error = errno;
  if (created >= 0) {
    ::unlink(path.c_str());
    ::close(created);
  }
  if (fd < 0) {
    throw std::system_error(error, std::generic_category(),
                            "cannot create a temporary file in " + folder);
  }
  return fd;
}
#endif

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

// Whether this C library lets stdout's error indicator be set again once it is cleared. No
// interface sets it, so it is set in the runtime's own FILE.
#if defined(__GLIBC__) || (defined(__MINGW32__) && !defined(_UCRT))
constexpr bool kStdioErrorCanBePutBack = true;
#else
constexpr bool kStdioErrorCanBePutBack = false;
#endif

void set_stdio_error() {
#if defined(__GLIBC__)
  flockfile(stdout);
  stdout->_flags |= _IO_ERR_SEEN;
  funlockfile(stdout);
#elif defined(__MINGW32__) && !defined(_UCRT)
  stdout->_flag |= _IOERR;
#endif
}

// Flushes `stream`. A stream in error writes nothing, and flushing it would only add failbit: its
// buffer alone is flushed, and its state left as it is.
template <typename Char>
void flush_stream(std::basic_ostream<Char>& stream) {
  if (stream.good()) {
    stream.flush();
  } else if (stream.rdbuf() != nullptr) {
    stream.rdbuf()->pubsync();
  }
}

// The C++ streams first: unsynchronised, `std::cout` writes to descriptor 1 itself. Each stream
// is flushed whatever the others do; what the first to fail threw (a stream with exceptions
// enabled) is thrown again once all are flushed. (Without std::exception_ptr, whose members a
// libstdc++ older than this build's compiler may not export.)
void flush_stdout() {
  try {
    flush_stream(std::cout);
  } catch (...) {
    try {
      flush_stream(std::wcout);
    } catch (...) {
      // The first failure is the one thrown.
    }
    std::fflush(stdout);
    throw;
  }
  try {
    flush_stream(std::wcout);
  } catch (...) {
    std::fflush(stdout);
    throw;
  }
  std::fflush(stdout);
}

// The buffers that the standard library gave the standard output streams, as this module first
// saw them (at its load, before a host could point the streams elsewhere): a stream that holds
// one writes to standard output. libstdc++ alone gives them others once synchronisation with
// stdio is off (which is only done before any output), buffers of their own that write to
// descriptor 1 past stdio: those are the ones the streams hold at the first capture after that.
struct StandardBuffers {
  std::streambuf* cout = std::cout.rdbuf();
  std::wstreambuf* wcout = std::wcout.rdbuf();
  std::streambuf* unsynchronised_cout = nullptr;
  std::wstreambuf* unsynchronised_wcout = nullptr;

  std::streambuf* synchronised(const std::ostream&) const { return cout; }
  std::wstreambuf* synchronised(const std::wostream&) const { return wcout; }
  std::streambuf* unsynchronised(const std::ostream&) const { return unsynchronised_cout; }
  std::wstreambuf* unsynchronised(const std::wostream&) const { return unsynchronised_wcout; }

  // Called as a capture starts.
  void note_unsynchronised_buffers() {
#ifdef __GLIBCXX__
    // libstdc++'s sync_with_stdio(true) changes nothing: it answers whether the streams are.
    if (unsynchronised_cout == nullptr && !std::ios_base::sync_with_stdio(true)) {
      unsynchronised_cout = std::cout.rdbuf();
      unsynchronised_wcout = std::wcout.rdbuf();
    }
#endif
  }
};
StandardBuffers standard_buffers;

// Whether `stream` writes to standard output, so that what it fails to write is lost to the
// capture: through stdio, whose error indicator, `stdio_lost`, then shows the loss too, or to
// descriptor 1 itself.
template <typename Char>
bool writes_to_stdout(std::basic_ostream<Char>& stream, bool stdio_lost) {
  const std::basic_streambuf<Char>* const buffer = stream.rdbuf();
  return (buffer == standard_buffers.synchronised(stream) && stdio_lost) ||
         (buffer != nullptr && buffer == standard_buffers.unsynchronised(stream));
}

// Puts `stream` back to `state`, which it may throw for: it is set all the same.
template <typename Char>
void restore_state(std::basic_ostream<Char>& stream, std::ios::iostate state) {
  try {
    stream.clear(state);
  } catch (...) {
    // Set all the same: a bit that the host left set and the stream throws for.
  }
}

// Flushes what the host wrote before a capture, to where it goes. Where stdout cannot take it
// (a full pipe, a full device), the failure is the host's and stdio keeps its error; a stream
// that went bad only because its flush met that failure goes back to the state it was in, and
// throws nothing. What a stream fails to write of its own is thrown as flush_stdout throws it.
void flush_host_output() {
  const bool stdio_error = std::ferror(stdout) != 0;
  const std::ios::iostate cout_state = std::cout.rdstate();
  const std::ios::iostate wcout_state = std::wcout.rdstate();
  const auto restore_if_stdio_failed = [&] {
    if (stdio_error || std::ferror(stdout) == 0) {
      return false;
    }
    restore_state(std::cout, cout_state);
    restore_state(std::wcout, wcout_state);
    return true;
  };
  try {
    flush_stdout();
  } catch (...) {
    if (!restore_if_stdio_failed()) {
      throw;
    }
    return;
  }
  restore_if_stdio_failed();
}

// A stream that went bad since the last look, writing to standard output, lost output of the
// capture then receiving it: the loss is the capture's, and the stream goes back to the state
// that the host had left it in. Any other state is the host's, and stays. Returns whether the
// capture lost output.
template <typename Char>
bool take_loss(std::basic_ostream<Char>& stream, std::ios::iostate& host_state, bool stdio_lost) {
  const std::ios::iostate state = stream.rdstate();
  if ((state & ~host_state & std::ios::badbit) == 0 || !writes_to_stdout(stream, stdio_lost)) {
    host_state = state;
    return false;
  }
  restore_state(stream, host_state);
  return true;
}

}  // namespace

// The captures alive in this module, linked in the order they started; the newest receives
// standard output. Linked through the captures themselves, so that none allocates.
struct VAZUVURIZ_STDOUT_CAPTURE::Captures {
  std::mutex mutex;
  VAZUVURIZ_STDOUT_CAPTURE* newest = nullptr;
  int original_stdout = -1;  // where descriptor 1 pointed before the oldest of them
  // The error states that the host left stdout and the streams in, as last seen.
  bool host_stdio_error = false;
  std::ios::iostate host_cout_state = std::ios::goodbit;
  std::ios::iostate host_wcout_state = std::ios::goodbit;

  static Captures& alive() {
    static Captures captures;
    return captures;
  }

  // Called as the oldest capture starts. stdout's error indicator is cleared where it can be set
  // again, so that an error from here on shows.
  void set_host_errors_aside() {
    host_stdio_error = std::ferror(stdout) != 0;
    if (host_stdio_error && kStdioErrorCanBePutBack) {
      std::clearerr(stdout);
    }
    host_cout_state = std::cout.rdstate();
    host_wcout_state = std::wcout.rdstate();
  }

  // Errors that stdio and the streams met writing to standard output since the last look lost
  // output of the newest capture, which then received it: they are its own, and taken off them.
  void charge_write_errors() {
    bool stdio_lost = false;
    if (std::ferror(stdout) != 0 && !(host_stdio_error && !kStdioErrorCanBePutBack)) {
      std::clearerr(stdout);
      stdio_lost = true;
    }
    const bool cout_lost = take_loss(std::cout, host_cout_state, stdio_lost);
    const bool wcout_lost = take_loss(std::wcout, host_wcout_state, stdio_lost);
    if ((stdio_lost || cout_lost || wcout_lost) && newest != nullptr) {
      newest->lost_output_ = true;
    }
  }

  // Called as the last capture ends.
  void put_host_errors_back() {
    if (host_stdio_error && kStdioErrorCanBePutBack) {
      set_stdio_error();
    }
    host_stdio_error = false;
  }
};

VAZUVURIZ_STDOUT_CAPTURE::VAZUVURIZ_STDOUT_CAPTURE() {
  Captures& captures = Captures::alive();
  const std::lock_guard<std::mutex> lock(captures.mutex);
  // First, while nothing is held: a C++ stream with exceptions enabled throws if it cannot write
  // what it holds. What the first flushes is the host's, and so are its failures.
  const bool first = captures.newest == nullptr;
  if (first) {
    flush_host_output();
  } else {
    flush_stdout();
  }
  standard_buffers.note_unsynchronised_buffers();
  sink_ = open_sink();
  int error = 0;
  if (first) {
    captures.original_stdout = dup_fd(kStdout);
    error = captures.original_stdout < 0 ? errno : 0;
  }
  if (error == 0) {
    if (first) {
      settle_stdout_buffering();
    }
    error = dup2_fd(sink_, kStdout) < 0 ? errno : 0;
  }
  if (error != 0) {
    if (first) {
      close_fd(captures.original_stdout);
      captures.original_stdout = -1;
    }
    close_fd(sink_);
    throw std::system_error(error, std::generic_category(), "cannot redirect stdout");
  }
  if (first) {
    captures.set_host_errors_aside();
  } else {
    captures.charge_write_errors();
  }
  older_ = captures.newest;
  if (older_ != nullptr) {
    older_->newer_ = this;
  }
  captures.newest = this;
}

VAZUVURIZ_STDOUT_CAPTURE::~VAZUVURIZ_STDOUT_CAPTURE() {
  Captures& captures = Captures::alive();
  const std::lock_guard<std::mutex> lock(captures.mutex);
  try {
    flush_stdout();
  } catch (...) {
    // The capture ends regardless; what could not be written is charged to it below.
  }
  captures.charge_write_errors();
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
    captures.put_host_errors_back();
  }
  close_fd(sink_);
}

std::string VAZUVURIZ_STDOUT_CAPTURE::text() const {
  Captures& captures = Captures::alive();
  {
    const std::lock_guard<std::mutex> lock(captures.mutex);
    flush_stdout();
    captures.charge_write_errors();
    if (lost_output_) {
      throw std::system_error(std::make_error_code(std::errc::io_error),
                              "stdout capture: output written during it was lost, not kept "
                              "(is its temporary folder full?)");
    }
    if (captures.host_stdio_error && !kStdioErrorCanBePutBack) {
      throw std::system_error(std::make_error_code(std::errc::io_error),
                              "stdout capture: stdout carried an error when the capture began, "
                              "which this C runtime cannot set again once cleared, so a loss of "
                              "output cannot be seen: clear it (clearerr) before capturing");
    }
  }
  // Descriptor 1 may share the sink's file offset: read from the start, then put the offset back
  // at the end so that later output is appended.
  const long long end = seek_fd(sink_, 0, SEEK_END);
  if (end < 0 || seek_fd(sink_, 0, SEEK_SET) < 0) {
    throw std::system_error(errno, std::generic_category(), "stdout capture: cannot seek");
  }
  std::string captured(static_cast<std::size_t>(end), '\0');
  std::size_t filled = 0;
  while (filled < captured.size()) {
    const long long got = read_fd(sink_, &captured[filled], captured.size() - filled);
    if (got <= 0) {
      seek_fd(sink_, 0, SEEK_END);
      throw std::system_error(got < 0 ? errno : EIO, std::generic_category(),
                              "stdout capture: cannot read back what it took");
    }
    filled += static_cast<std::size_t>(got);
  }
  seek_fd(sink_, 0, SEEK_END);
  return captured;
}
