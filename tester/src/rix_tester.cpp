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
void lock_stdout() { flockfile(stdout); }
void unlock_stdout() { funlockfile(stdout); }
#endif

// Holds the lock that the C runtime's own stdio calls take on stdout, while it lives. The lock
// is recursive, so stdio calls made meanwhile take it again at no risk; no other thread's stdio
// output can reach stdout in between.
class StdoutLock {
 public:
  StdoutLock() { lock_stdout(); }
  StdoutLock(const StdoutLock&) = delete;
  StdoutLock& operator=(const StdoutLock&) = delete;
  ~StdoutLock() { unlock_stdout(); }
};

// Lines up to this long, "\n" included, are assembled on the stack.
constexpr std::size_t kLineBufferSize = 4096;

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

// Writes `label`, `text` and "\n" to stdout as one line that no other stdio output lands inside,
// whatever its length and however stdout is buffered. The result of the writes is not looked
// at: a console that cannot be written to loses the line.
void write_line(const Label& label, std::string_view text) {
  // Nearly every line is assembled here and handed to stdio in one call, which stdio makes
  // atomic with respect to other stdio calls. The text lands over the label's padding.
  char line[kLineBufferSize];
  if (text.size() < sizeof line - label.size) {
    std::memcpy(line, label.text, Label::kWidth);
    std::memcpy(line + label.size, text.data(), text.size());
    line[label.size + text.size()] = '\n';
    std::fwrite(line, 1, label.size + text.size() + 1, stdout);
    return;
  }
  // A longer line goes in pieces, under the lock that each piece's call would take alone.
  const StdoutLock lock;
  std::fwrite(label.text, 1, label.size, stdout);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

// The banner's lines after its empty one, each whole, its "\n" included.
constexpr std::string_view kBannerRule = "------------------------------------\n";
constexpr std::string_view kBannerTitle = "Programmer RIX Plugin Tester\n";

}  // namespace

// What the header's link check refers to: hosts of this build's standard library find it.
extern "C" PGM_VAZUVURIZ_RIX_TESTER_EXPORT const char PGM_VAZUVURIZ_RIX_TESTER_LINK_CHECK_SYMBOL(
    PGM_VAZUVURIZ_RIX_TESTER_STANDARD_LIBRARY, PGM_VAZUVURIZ_RIX_TESTER_STANDARD_LIBRARY) = 0;

// Moving the caller's copy in neither allocates nor throws, so nothing can fail after the banner.
// Each line is one stdio call, which stdio makes atomic with respect to other stdio calls (a
// one-byte fwrite costs some 130 instructions more than fputc). Not printf: MinGW-w64's printf
// writes a character at a time under a lock of its own, which lets other output land inside a line
// and deadlocks against a thread that holds the runtime's stdout lock.
VAZUVURIZ_RIX_TESTER::VAZUVURIZ_RIX_TESTER(VAZUVURIZ_RIX_OPTIONS given)
    : options(std::move(given)) {
  std::fputc('\n', stdout);
  for (const std::string_view line : {kBannerRule, kBannerTitle, kBannerRule}) {
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
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
  // The message is C text: it ends at its first NUL byte.
  const std::string_view text(message);
  write_line(*label, text.substr(0, text.find('\0')));
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
  for (const VAZUVURIZ_RIX_CONFIG_KEY& row : VAZUVURIZ_RIX_CONFIG_KEYS) {
    if (key == row.key) {
      return options.*row.field;
    }
  }
  return {};
}
