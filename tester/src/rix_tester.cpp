#include <cstdio>
#include <cstring>
#include <string_view>
#include <utility>

#if defined(__MINGW32__) && !defined(_UCRT)
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#if defined(__SANITIZE_THREAD__)
#define RIX_TESTER_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define RIX_TESTER_THREAD_SANITIZER 1
#endif
#endif
#ifdef RIX_TESTER_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#endif

#include <vazuvuriz_rix/rix_tester.hpp>

namespace {

#if defined(__MINGW32__) && !defined(_UCRT)
// MinGW-w64 links a `_lock_file` of its own against msvcrt.dll, which numbers the stream locks
// as an older runtime did and so takes a lock that msvcrt.dll's own fwrite and fputs never
// take. The functions that msvcrt.dll exports take the one they do.
struct StreamLockFunctions {
  void(__cdecl* lock)(FILE*);
  void(__cdecl* unlock)(FILE*);
};

const StreamLockFunctions& runtime_stream_lock() {
  static const StreamLockFunctions functions = [] {
    const HMODULE runtime = GetModuleHandleW(L"msvcrt.dll");
    const FARPROC lock = runtime == nullptr ? nullptr : GetProcAddress(runtime, "_lock_file");
    const FARPROC unlock = runtime == nullptr ? nullptr : GetProcAddress(runtime, "_unlock_file");
    if (lock == nullptr || unlock == nullptr) {
      return StreamLockFunctions{_lock_file, _unlock_file};
    }
    // Through void (*)(), which converts to any function pointer type without a warning.
    return StreamLockFunctions{
        reinterpret_cast<void(__cdecl*)(FILE*)>(reinterpret_cast<void (*)()>(lock)),
        reinterpret_cast<void(__cdecl*)(FILE*)>(reinterpret_cast<void (*)()>(unlock))};
  }();
  return functions;
}

void lock_stdout() { runtime_stream_lock().lock(stdout); }
void unlock_stdout() { runtime_stream_lock().unlock(stdout); }
#elif defined(_WIN32)
void lock_stdout() { _lock_file(stdout); }
void unlock_stdout() { _unlock_file(stdout); }
#else
// ThreadSanitizer does not see stdio's lock; it is told, since the library writes into stdio's
// buffer itself.
void lock_stdout() {
  flockfile(stdout);
#ifdef RIX_TESTER_THREAD_SANITIZER
  __tsan_acquire(stdout);
#endif
}
void unlock_stdout() {
#ifdef RIX_TESTER_THREAD_SANITIZER
  __tsan_release(stdout);
#endif
  funlockfile(stdout);
}
#endif

// Holds the lock that the C runtime's own stdio calls take on stdout, while it lives. The lock
// is recursive, so stdio calls made meanwhile take it again at no risk; no other thread's stdio
// output can reach stdout in between.
class LockedStdout {
 public:
  LockedStdout() { lock_stdout(); }
  LockedStdout(const LockedStdout&) = delete;
  LockedStdout& operator=(const LockedStdout&) = delete;
  ~LockedStdout() { unlock_stdout(); }

  // Where `size` bytes can go straight into stdout's buffer, as fwrite would copy them there once
  // its checks had passed; null where they must go through stdio's calls. With glibc, a fully
  // buffered stdout in byte mode, flushed first if the buffer is too full for them; there is no
  // such room in a line-buffered or unbuffered stream (glibc keeps its write end at its write
  // pointer, so that every write goes through the code that flushes it), nor elsewhere.
  char* room_for(std::size_t size) const {
#if defined(__GLIBC__)
    FILE* const out = stdout;
    if (out->_mode >= 0) {
      return nullptr;
    }
    if (free_space(out) < size && out->_IO_write_end == out->_IO_buf_end &&
        static_cast<std::size_t>(out->_IO_buf_end - out->_IO_buf_base) >= size) {
      fflush_unlocked(out);
    }
    return free_space(out) >= size ? out->_IO_write_ptr : nullptr;
#else
    static_cast<void>(size);
    return nullptr;
#endif
  }

  // Counts `size` bytes put at `room_for`'s answer as written.
  void fill(std::size_t size) const {
#if defined(__GLIBC__)
    stdout->_IO_write_ptr += size;
#else
    static_cast<void>(size);
#endif
  }

 private:
#if defined(__GLIBC__)
  static std::size_t free_space(const FILE* out) {
    return static_cast<std::size_t>(out->_IO_write_end - out->_IO_write_ptr);
  }
#endif
};

// A log line's label, stored in a fixed width so that one copy of that constant size, which the
// compiler makes inline, moves any label into a line: no call, fortified or not.
struct Label {
  static constexpr std::size_t kWidth = 24;
  char text[kWidth];
  std::size_t size;
};
constexpr Label kDebugLabel{"RIX PLUGIN DEBUG: ", 18};
constexpr Label kInfoLabel{"RIX PLUGIN INFO: ", 17};
constexpr Label kWarningLabel{"RIX PLUGIN WARNING: ", 20};
constexpr Label kErrorLabel{"RIX PLUGIN ERROR: ", 18};

// Lines up to this long, "\n" included, are assembled on the stack when stdio's buffer has no
// room for them.
constexpr std::size_t kLineBufferSize = 4096;

// Writes `label`, `text` and "\n" to stdout as one line that no other stdio output lands inside,
// whatever its length and however stdout is buffered. The result of the writes is not looked
// at: a console that cannot be written to loses the line.
void write_line(const Label& label, std::string_view text) {
  const std::size_t size = label.size + text.size() + 1;
  const LockedStdout out;
  // The label's whole width is copied, the text then landing over its padding.
  if (char* const line = out.room_for(size + Label::kWidth)) {
    std::memcpy(line, label.text, Label::kWidth);
    std::memcpy(line + label.size, text.data(), text.size());
    line[size - 1] = '\n';
    out.fill(size);
    return;
  }
  if (size <= kLineBufferSize) {
    char line[kLineBufferSize];
    std::memcpy(line, label.text, Label::kWidth);
    std::memcpy(line + label.size, text.data(), text.size());
    line[size - 1] = '\n';
    std::fwrite(line, 1, size, stdout);
    return;
  }
  std::fwrite(label.text, 1, label.size, stdout);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

// `message` as C text: up to its first NUL byte.
std::string_view up_to_first_nul(const std::string& message) {
  return {message.data(), std::strlen(message.c_str())};
}

// The banner's four lines.
constexpr std::string_view kBannerRule = "------------------------------------\n";
constexpr std::string_view kBannerLines[] = {"\n", kBannerRule, "Programmer RIX Plugin Tester\n",
                                             kBannerRule};

// The options field that `key` names, or null. The ten keys have nine lengths, so the length
// picks the one candidate (of two for 17 bytes) and one comparison of a known size, which the
// compiler makes inline, confirms it. The keys differ, so this finds what a search of the key
// table in its order finds.
template <std::size_t Size>
bool is_key(const std::string& key, const char (&constant)[Size]) {
  return std::memcmp(key.data(), constant, Size - 1) == 0;
}
const std::string* field_named(const VAZUVURIZ_RIX_OPTIONS& options, const std::string& key) {
  switch (key.size()) {
    case sizeof RIX_KEY_CFG_ID - 1:
      return is_key(key, RIX_KEY_CFG_ID) ? &options.cfg_id : nullptr;
    case sizeof RIX_KEY_IP - 1:
      return is_key(key, RIX_KEY_IP) ? &options.ip : nullptr;
    case sizeof RIX_KEY_PORT - 1:
      return is_key(key, RIX_KEY_PORT) ? &options.port : nullptr;
    case sizeof RIX_KEY_TLS_CA_CERT - 1:
      return is_key(key, RIX_KEY_TLS_CA_CERT) ? &options.tls_ca_cert : nullptr;
    case sizeof RIX_KEY_TLS_PROG_CERT - 1:
      static_assert(sizeof RIX_KEY_TLS_PROG_CERT == sizeof RIX_KEY_PROXY_ADDRESS);
      return is_key(key, RIX_KEY_TLS_PROG_CERT)   ? &options.tls_prog_cert
             : is_key(key, RIX_KEY_PROXY_ADDRESS) ? &options.proxy_address
                                                  : nullptr;
    case sizeof RIX_KEY_TLS_PROG_KEY - 1:
      return is_key(key, RIX_KEY_TLS_PROG_KEY) ? &options.tls_prog_key : nullptr;
    case sizeof RIX_KEY_TLS_PROG_KEY_PASS - 1:
      return is_key(key, RIX_KEY_TLS_PROG_KEY_PASS) ? &options.tls_prog_key_pass : nullptr;
    case sizeof RIX_KEY_PROXY_USER - 1:
      return is_key(key, RIX_KEY_PROXY_USER) ? &options.proxy_user : nullptr;
    case sizeof RIX_KEY_PROXY_PASSWORD - 1:
      return is_key(key, RIX_KEY_PROXY_PASSWORD) ? &options.proxy_password : nullptr;
    default:
      return nullptr;
  }
}

}  // namespace

// What the header's link check refers to: hosts of this build's standard library find it.
extern "C" PGM_VAZUVURIZ_RIX_TESTER_EXPORT const char PGM_VAZUVURIZ_RIX_LINK_CHECK_DEFINITION(
    tester) = 0;

// Moving the caller's copy in neither allocates nor throws, so nothing can fail after the banner.
// Where stdio's buffer has no room for it, each line is one stdio call, which stdio makes atomic
// with respect to other stdio calls. Not printf: MinGW-w64's printf writes a character at a time
// under a lock of its own, which lets other output land inside a line and deadlocks against a
// thread that holds the runtime's stdout lock.
VAZUVURIZ_RIX_TESTER::VAZUVURIZ_RIX_TESTER(VAZUVURIZ_RIX_OPTIONS given)
    : options(std::move(given)) {
  std::size_t size = 0;
  for (const std::string_view line : kBannerLines) {
    size += line.size();
  }
  const LockedStdout out;
  char* const banner = out.room_for(size);
  std::size_t filled = 0;
  for (const std::string_view line : kBannerLines) {
    if (banner != nullptr) {
      std::memcpy(banner + filled, line.data(), line.size());
      filled += line.size();
    } else {
      std::fwrite(line.data(), 1, line.size(), stdout);
    }
  }
  out.fill(filled);
}

VAZUVURIZ_RIX_TESTER::VAZUVURIZ_RIX_TESTER(const VAZUVURIZ_RIX_TESTER& other) = default;

VAZUVURIZ_RIX_TESTER& VAZUVURIZ_RIX_TESTER::operator=(const VAZUVURIZ_RIX_TESTER& other) = default;

// Defined here so that the virtual table and type information live in the library alone.
VAZUVURIZ_RIX_TESTER::~VAZUVURIZ_RIX_TESTER() = default;

void VAZUVURIZ_RIX_TESTER::log(LogLevel_t level, const std::string& message) {
  const Label* label = nullptr;
  switch (level) {
    case LOG_DEBUG:
      label = &kDebugLabel;
      break;
    case LOG_INFO:
      label = &kInfoLabel;
      break;
    case LOG_WARNING:
      label = &kWarningLabel;
      break;
    case LOG_ERROR:
      label = &kErrorLabel;
      break;
    default:
      return;
  }
  write_line(*label, up_to_first_nul(message));
}

Status_t VAZUVURIZ_RIX_TESTER::send_packet(const std::uint32_t* request,
                                           std::uint64_t request_length, std::uint32_t** response,
                                           std::uint64_t& response_length) {
  response_length = 0;
  // Refusals first, each a branch: fewer instructions on every path than a computed status.
  if (response == nullptr || request == nullptr || request_length == 0) {
    if (response != nullptr) {
      *response = nullptr;
    }
    return STATUS_FAILURE;
  }
  *response = nullptr;
  return STATUS_SUCCESS;
}

std::string VAZUVURIZ_RIX_TESTER::get_config(const std::string& key) {
  const std::string* const field = field_named(options, key);
  return field != nullptr ? *field : std::string();
}
