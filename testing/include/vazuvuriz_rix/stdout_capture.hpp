#ifndef VAZUVURIZ_RIX_STDOUT_CAPTURE_HPP
#define VAZUVURIZ_RIX_STDOUT_CAPTURE_HPP

// Captures what the process writes to standard output, so that tests can assert on it:
//
//   #include <vazuvuriz_rix/stdout_capture.hpp>
//
//   EXPECT_EQ(captured_stdout([&] { context.log(LOG_INFO, "ready"); }),
//             "RIX PLUGIN INFO: ready\n");
//
// or, for a scope of your own:
//
//   std::string console;
//   {
//     VAZUVURIZ_STDOUT_CAPTURE capture;   // standard output goes to a temporary file from here
//     context.log(LOG_INFO, "ready");
//     console = capture.text();
//   }                                     // and back where it went before from here
//   EXPECT_EQ(console, "RIX PLUGIN INFO: ready\n");
//
// Assert once the capture has ended: a failure message printed during it would be captured
// too. `captured_stdout` returns only then. Header-only; needs nothing but the C and C++
// runtimes.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <mutex>
#include <string>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#ifdef __GLIBC__
#include <stdio_ext.h>
#endif
#endif

#ifdef _WIN32
// As <windows.h> declares it; declared here so that this header brings none of its macros.
extern "C" __declspec(dllimport) int __stdcall SetHandleInformation(void* object,
                                                                    unsigned long mask,
                                                                    unsigned long flags);
#endif

// Captures, for as long as it lives, every byte the process writes to standard output (file
// descriptor 1: `printf`, `std::cout` and the tester's console lines alike).
//
// The output goes to an anonymous temporary file, in the folder that TMPDIR names (/tmp without
// it; on Windows, the user's temporary folder), so it may be of any size that the folder takes,
// and it is not translated: a "\n" comes back as "\n" on every platform. On Windows, wide output
// (`wprintf`, a synchronised `std::wcout`) comes back as the runtime writes it to a binary file:
// UTF-16 code units, "hi\n" as 68 00 69 00 0a 00. stdio's stdout and the C++ standard output
// streams are flushed when a capture starts, when it is read and when it ends, each whatever the
// others do, so output written before it stays out and output written during it stays in,
// whether or not the C++ streams are synchronised with stdio.
//
// A capture never returns a shortened text: when stdio or a C++ standard output stream fails to
// write what it was given into the capture's file (a full folder, say), `text()` and
// `captured_stdout` throw `std::system_error`. The failure is the capture's: stdout and the
// streams carry no error afterwards that they did not carry before. (Where stdout already
// carries an error when the first capture starts, only glibc and msvcrt.dll let the capture
// clear it and set it again afterwards; elsewhere stdio's failures then go unseen.) What a host
// writes to descriptor 1 itself, with `write`, is the host's to check.
//
// Captures may overlap in any way: standard output goes to the capture started last among those
// alive, and once the last one ends it goes where it went before the first began. Captures may
// be created and destroyed on any thread, in any order; each takes the output of the whole
// process, all threads included. Call `text()` while no other thread writes to standard output.
// After `std::ios::sync_with_stdio(false)`, starting, reading or ending a capture flushes
// `std::cout`, which races with another thread writing to `std::cout` at that moment, as any two
// threads that use an unsynchronised stream do.
// Each module (a program, a shared library, a DLL) keeps its own captures: captures made in
// different modules must nest, each ending before any capture that started before it.
//
// Nothing that a capture holds reaches a child process: its descriptors are closed on exec on
// Linux and not inheritable on Windows, and never 0, 1 or 2, even where the process has closed
// one of those. Descriptor 1 is inherited as it would be without it.
//
// Standard output buffers after a capture as it would have without one. stdio chooses stdout's
// buffering, and its buffer's size, from the descriptor that it first writes to, for good; with
// glibc, a capture that is the process's first use of stdout has it choose from the real
// descriptor first, keeping any line buffering asked for with `setvbuf` (on a terminal: by
// lines, with the terminal's buffer size). Elsewhere stdio offers no way to tell whether it has
// chosen yet: write to stdout once before the first capture if it is a console.
//
// Throws `std::system_error` when descriptor 1 is closed or the temporary file or the
// redirection cannot be set up, and whatever a C++ standard output stream with exceptions
// enabled throws when it cannot flush what it holds as the capture starts or is read; either
// way nothing is left open or redirected, and stdout buffers as it would have. Ending a capture
// throws nothing. Should standard output ever fail to be put back, the process ends with a
// message on standard error instead of losing the rest of its output unseen.
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

  ~VAZUVURIZ_STDOUT_CAPTURE() {
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

  VAZUVURIZ_STDOUT_CAPTURE(const VAZUVURIZ_STDOUT_CAPTURE&) = delete;
  VAZUVURIZ_STDOUT_CAPTURE& operator=(const VAZUVURIZ_STDOUT_CAPTURE&) = delete;

  // Everything written to standard output while this capture received it, byte for byte.
  // Throws `std::system_error` rather than return less.
  std::string text() const {
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
    }
    // Descriptor 1 may share the sink's file offset: read from the start, then put the offset
    // back at the end so that later output is appended.
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

 private:
  static constexpr int kStdout = 1;

  // The captures alive in this module, linked in the order they started; the newest receives
  // standard output. Linked through the captures themselves, so that none allocates.
  struct Captures {
    std::mutex mutex;
    VAZUVURIZ_STDOUT_CAPTURE* newest = nullptr;
    int original_stdout = -1;  // where descriptor 1 pointed before the oldest of them
    // The error states that stdout and the streams had before the oldest began: the host's.
    bool host_stdio_error = false;
    bool host_cout_bad = false;
    bool host_wcout_bad = false;

    static Captures& alive() {
      static Captures captures;
      return captures;
    }

    // Called as the oldest capture starts. stdout's error indicator is cleared where it can be
    // set again, so that an error from here on shows; a stream that is bad writes nothing, so
    // it keeps its state.
    void set_host_errors_aside() {
      host_stdio_error = std::ferror(stdout) != 0;
      if (host_stdio_error && kStdioErrorCanBePutBack) {
        std::clearerr(stdout);
      }
      host_cout_bad = std::cout.bad();
      host_wcout_bad = std::wcout.bad();
    }

    // Errors that stdio and the streams met writing since the last look lost output of the
    // newest capture, which then received it: they are its own, and the streams are cleared of
    // them.
    void charge_write_errors() {
      bool lost = false;
      if (std::ferror(stdout) != 0 && !(host_stdio_error && !kStdioErrorCanBePutBack)) {
        std::clearerr(stdout);
        lost = true;
      }
      const auto charge = [&lost](auto& stream, bool bad_before) {
        if (stream.bad() && !bad_before) {
          try {
            stream.clear(stream.rdstate() & ~std::ios::badbit);
          } catch (...) {
            // Cleared all the same: a bit left set that the stream throws for, failbit say.
          }
          lost = true;
        }
      };
      charge(std::cout, host_cout_bad);
      charge(std::wcout, host_wcout_bad);
      if (lost && newest != nullptr) {
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

  // The C++ streams first: unsynchronised, `std::cout` writes to descriptor 1 itself. Each
  // stream is flushed whatever the others do; what the first to fail threw (a stream with
  // exceptions enabled) is thrown again once all are flushed.
  static void flush_stdout() {
    std::exception_ptr failure;
    const auto flush = [&failure](auto& stream) {
      try {
        stream.flush();
      } catch (...) {
        if (failure == nullptr) {
          failure = std::current_exception();
        }
      }
    };
    flush(std::cout);
    flush(std::wcout);
    std::fflush(stdout);
    if (failure != nullptr) {
      std::rethrow_exception(failure);
    }
  }

  // stdio chooses how stdout buffers, and the size of its buffer, when stdout is first written,
  // from where descriptor 1 then points. If it has no buffer yet, let it choose now, from the
  // real descriptor: asked for full buffering without a buffer, glibc allocates at once the
  // buffer that the first write would have; stdout then buffers by lines again if it did before
  // or is a terminal.
  static void settle_stdout_buffering() {
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

  // Whether this C library lets stdout's error indicator be set again once it is cleared.
#if defined(__GLIBC__) || (defined(__MINGW32__) && !defined(_UCRT))
  static constexpr bool kStdioErrorCanBePutBack = true;
#else
  static constexpr bool kStdioErrorCanBePutBack = false;
#endif

  static void set_stdio_error() {
#if defined(__GLIBC__)
    flockfile(stdout);
    stdout->_flags |= _IO_ERR_SEEN;
    funlockfile(stdout);
#elif defined(__MINGW32__) && !defined(_UCRT)
    stdout->_flag |= _IOERR;
#endif
  }

  // The capture's own descriptors reach no child process, and are never 0, 1 or 2, even where
  // the process has closed one of those.
#ifdef _WIN32
  // `tmpfile` would create the file in the root of the current drive, which is often not
  // writable; the user's temporary directory is. _O_TEMPORARY deletes the file on close.
  static int open_sink() {
    char* name = _tempnam(nullptr, "rixout");
    if (name == nullptr) {
      throw std::system_error(errno, std::generic_category(), "cannot name a temporary file");
    }
    int fd = _open(name, _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY | _O_TEMPORARY | _O_NOINHERIT,
                   _S_IREAD | _S_IWRITE);
    int error = errno;
    std::free(name);
    // Windows gives the lowest free descriptor: duplicate it past 2, holding the lower ones.
    int held[3] = {-1, -1, -1};
    while (fd >= 0 && fd <= 2) {
      held[fd] = fd;
      fd = dup_fd(fd);
      error = errno;
    }
    for (const int low : held) {
      close_fd(low);
    }
    if (fd < 0) {
      throw std::system_error(error, std::generic_category(), "cannot create a temporary file");
    }
    return fd;
  }
  // _dup's handle is inheritable; descriptor 1, which _dup2 makes, stays so.
  static int dup_fd(int fd) {
    const int duplicate = _dup(fd);
    if (duplicate >= 0) {
      constexpr unsigned long kHandleFlagInherit = 1;
      SetHandleInformation(reinterpret_cast<void*>(_get_osfhandle(duplicate)), kHandleFlagInherit,
                           0);
    }
    return duplicate;
  }
  static int dup2_fd(int from, int to) { return _dup2(from, to); }
  static void close_fd(int fd) {
    if (fd >= 0) {
      _close(fd);
    }
  }
  static long long seek_fd(int fd, long long offset, int whence) {
    return _lseeki64(fd, offset, whence);
  }
  static long long read_fd(int fd, char* into, std::size_t size) {
    return _read(fd, into, static_cast<unsigned>(size > 0x7fffffff ? 0x7fffffff : size));
  }
#else
  // In TMPDIR, as mkstemp's users expect, and unlinked from the start: the file vanishes with
  // its last descriptor.
  static int open_sink() {
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
  static int dup_fd(int fd) { return ::fcntl(fd, F_DUPFD_CLOEXEC, 3); }
  // dup2 leaves descriptor 1 inheritable.
  static int dup2_fd(int from, int to) { return ::dup2(from, to); }
  static void close_fd(int fd) {
    if (fd >= 0) {
      ::close(fd);
    }
  }
  static long long seek_fd(int fd, long long offset, int whence) {
    return ::lseek(fd, static_cast<off_t>(offset), whence);
  }
  static long long read_fd(int fd, char* into, std::size_t size) { return ::read(fd, into, size); }
#endif

  int sink_ = -1;
  // Guarded by Captures::mutex, as are newer_ and lost_output_.
  VAZUVURIZ_STDOUT_CAPTURE* older_ = nullptr;
  VAZUVURIZ_STDOUT_CAPTURE* newer_ = nullptr;
  bool lost_output_ = false;
};

// Runs `action` with standard output captured and returns what it wrote, once standard output
// is back where it was: assertions on the result, and their failure messages, are seen.
// Throws what the capture or `action` throws.
template <typename Action>
std::string captured_stdout(Action&& action) {
  VAZUVURIZ_STDOUT_CAPTURE capture;
  std::forward<Action>(action)();
  return capture.text();
}

#endif  // VAZUVURIZ_RIX_STDOUT_CAPTURE_HPP
