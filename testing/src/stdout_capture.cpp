#include <algorithm>
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
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __GLIBC__
#include <stdio_ext.h>
#endif
#endif

// What the header's link check refers to: files of this compile's standard library find it.
extern "C" const char PGM_VAZUVURIZ_RIX_LINK_CHECK_REFERENCE(stdout_capture) = 0;

namespace {

constexpr int kStdout = 1;

[[noreturn]] void fail(const char* what) {
  throw std::system_error(errno, std::generic_category(), what);
}

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
#else
void close_fd(int fd) {
  if (fd >= 0) {
    ::close(fd);
  }
}
int dup_fd(int fd) { return ::fcntl(fd, F_DUPFD_CLOEXEC, 3); }
// dup2 leaves descriptor 1 inheritable.
int dup2_fd(int from, int to) { return ::dup2(from, to); }
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

// The lock that the C runtime's own stdio calls take on stdout: a capture holds it while it
// switches descriptor 1, so that a line written in one stdio call (a log line) lands whole on
// one side. It is recursive: stdio calls made meanwhile take it again.
#if defined(__MINGW32__) && !defined(_UCRT)
// MinGW-w64 links a `_lock_file` of its own against msvcrt.dll, which numbers the stream locks
// as an older runtime did and so takes a lock that msvcrt.dll's own fwrite and fputs never
// take. The functions that msvcrt.dll exports take the one they do.
// Both from msvcrt.dll, or both MinGW-w64's: never a lock of one with the unlock of the other.
using LockFunction = void(__cdecl*)(FILE*);
struct LockFunctions {
  LockFunction lock;
  LockFunction unlock;
};
const LockFunctions& stdout_lock_functions() {
  static const LockFunctions functions = [] {
    const HMODULE runtime = GetModuleHandleW(L"msvcrt.dll");
    const FARPROC lock = runtime == nullptr ? nullptr : GetProcAddress(runtime, "_lock_file");
    const FARPROC unlock = runtime == nullptr ? nullptr : GetProcAddress(runtime, "_unlock_file");
    if (lock == nullptr || unlock == nullptr) {
      return LockFunctions{_lock_file, _unlock_file};
    }
    // Through void (*)(), which converts to any function pointer type without a warning.
    return LockFunctions{reinterpret_cast<LockFunction>(reinterpret_cast<void (*)()>(lock)),
                         reinterpret_cast<LockFunction>(reinterpret_cast<void (*)()>(unlock))};
  }();
  return functions;
}
void lock_stdout() { stdout_lock_functions().lock(stdout); }
void unlock_stdout() { stdout_lock_functions().unlock(stdout); }
#elif defined(_WIN32)
void lock_stdout() { _lock_file(stdout); }
void unlock_stdout() { _unlock_file(stdout); }
#else
void lock_stdout() { flockfile(stdout); }
void unlock_stdout() { funlockfile(stdout); }
#endif

class StdoutLocked {
 public:
  StdoutLocked() { lock_stdout(); }
  StdoutLocked(const StdoutLocked&) = delete;
  StdoutLocked& operator=(const StdoutLocked&) = delete;
  ~StdoutLocked() { unlock_stdout(); }
};

[[noreturn]] void die(const char* what, int error = 0) {
  std::fprintf(stderr, "VAZUVURIZ_STDOUT_CAPTURE: %s%s%s\n", what, error != 0 ? ": " : "",
               error != 0 ? std::strerror(error) : "");
  std::abort();
}

}  // namespace

// A file that lives in memory and is gone once closed: descriptor `fd` writes at its end, and
// `read_all` reads it from its start without moving where that writes.
struct VAZUVURIZ_STDOUT_CAPTURE::File {
  int fd = -1;
#ifdef _WIN32
  HANDLE reader = INVALID_HANDLE_VALUE;  // a handle of its own, with a position of its own

  File() {
    WCHAR folder[MAX_PATH + 1];
    WCHAR path[MAX_PATH + 1];
    const WCHAR prefix[] = {'r', 'i', 'x', 0};  // WCHAR is not wchar_t in every SDK
    if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, prefix, 0, path) == 0) {
      cannot_make_file();
    }
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const HANDLE writer =
        CreateFileW(path, GENERIC_WRITE, kShareAll, nullptr, CREATE_ALWAYS,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (writer != INVALID_HANDLE_VALUE) {
      reader = CreateFileW(path, GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    const int opened =
        reader == INVALID_HANDLE_VALUE
            ? -1
            : _open_osfhandle(reinterpret_cast<intptr_t>(writer), _O_WRONLY | _O_BINARY);
    if (opened < 0) {
      if (reader != INVALID_HANDLE_VALUE) {
        CloseHandle(reader);
      }
      if (writer != INVALID_HANDLE_VALUE) {
        CloseHandle(writer);
      }
      DeleteFileW(path);
      cannot_make_file();
    }
    fd = past_standard_descriptors(opened);  // which closes `opened`, and so the file, on failure
    if (fd < 0) {
      CloseHandle(reader);
      cannot_make_file();
    }
  }
  // Not std::system_category(), whose messages the MSVC ABI's runtime here cannot make.
  [[noreturn]] static void cannot_make_file() {
    throw std::system_error(std::make_error_code(std::errc::io_error),
                            "stdout capture: cannot make a temporary file (Windows error " +
                                std::to_string(GetLastError()) + ")");
  }
  ~File() {
    close_fd(fd);
    CloseHandle(reader);
  }

  std::string read_all() const {
    LARGE_INTEGER size{};
    GetFileSizeEx(reader, &size);
    std::string text(static_cast<std::size_t>(size.QuadPart), '\0');
    SetFilePointerEx(reader, LARGE_INTEGER{}, nullptr, FILE_BEGIN);
    std::size_t got = 0;
    for (DWORD read = 1; got < text.size() && read > 0; got += read) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - got, 1u << 30));
      if (!ReadFile(reader, &text[got], chunk, &read, nullptr)) {
        break;
      }
    }
    text.resize(got);
    return text;
  }
#else
  File() {
    fd = past_standard_descriptors(memfd_create("stdout capture", MFD_CLOEXEC));
    if (fd < 0) {
      fail("stdout capture: cannot make a file in memory");
    }
  }
  ~File() { close_fd(fd); }

  std::string read_all() const {
    struct stat status {};
    fstat(fd, &status);
    std::string text(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t got = 0;
    for (ssize_t read = 1; got < text.size() && read > 0;) {
      read = pread(fd, &text[got], text.size() - got, static_cast<off_t>(got));
      got += read > 0 ? static_cast<std::size_t>(read) : 0;
    }
    text.resize(got);
    // A file in memory is a file still: writes past the process's size limit fail.
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        got >= limit.rlim_cur) {
      errno = EFBIG;
      fail("stdout capture: output reached the file size limit");
    }
    return text;
  }
#endif

  File(const File&) = delete;
  File& operator=(const File&) = delete;
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

VAZUVURIZ_STDOUT_CAPTURE::VAZUVURIZ_STDOUT_CAPTURE() : file_(std::make_unique<File>()) {
  Captures& captures = Captures::alive();
  const std::lock_guard<std::mutex> lock(captures.mutex);
  const bool first = captures.newest == nullptr;
  if (first) {
    captures.original_stdout = dup_fd(kStdout);
    if (captures.original_stdout < 0) {
      fail("cannot redirect stdout");
    }
  }
  try {
    const StdoutLocked locked;
    if (first) {
      settle_stdout_buffering();
    }
    flush_stdout();
    if (dup2_fd(file_->fd, kStdout) < 0) {
      fail("cannot redirect stdout");
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
    const StdoutLocked locked;
    try {
      flush_stdout();
    } catch (...) {
      std::fflush(stdout);  // the host's buffer threw; what stdio holds is the capture's still
    }
    const int next = older_ != nullptr ? older_->file_->fd : captures.original_stdout;
    if (dup2_fd(next, kStdout) < 0) {
      die("cannot put stdout back", errno);
    }
  }
  captures.newest = older_;
  if (older_ == nullptr) {
    close_fd(captures.original_stdout);
    captures.original_stdout = -1;
  }
}

std::string VAZUVURIZ_STDOUT_CAPTURE::text() const {
  const StdoutLocked locked;
  flush_stdout();
  return file_->read_all();
}
