#include <cstdio>
#include <cstring>
#include <string_view>
#include <utility>

#include <vazuvuriz_rix/rix_tester.hpp>

#include "stdout_lock.hpp"

namespace {

// stdout, locked as the C runtime's own stdio calls lock it, while it lives: no other thread's
// stdio output can reach it in between.
class LockedStdout : rix_stdout_lock::Locked {
 public:
#if defined(__GLIBC__)
  // The room in stdout's buffer that bytes can be copied straight into, as glibc's fwrite copies
  // them (fileops.c, _IO_new_file_xsputn); 0 where they must go through stdio's calls. Its flags
  // say which room a stream has, and are read before its pointers: a fully buffered stream
  // fills up to its write end, a line-buffered one up to its buffer's end, which is then
  // flushed (see end_lines). A line-buffered stream keeps its write end at the start of the
  // pending line, where the two pointers cross. An unbuffered stream has no room.
  std::size_t room() const {
    const FILE* const out = stdout;
    if (out->_mode >= 0 || (out->_flags & (kUnbuffered | kWriting)) != kWriting) {
      return 0;
    }
    const char* const end = by_lines() ? out->_IO_buf_end : out->_IO_write_end;
    const char* const next = out->_IO_write_ptr;
    return next != nullptr && next < end ? static_cast<std::size_t>(end - next) : 0;
  }

  // Where the room begins.
  char* next() const { return stdout->_IO_write_ptr; }

  // Counts `size` bytes put at `next()` as written; they fit in the room.
  void fill(std::size_t size) const { stdout->_IO_write_ptr += size; }

  // Called once whole lines are in the room: a line-buffered stream writes them now, as fwrite
  // flushes it after the last line break that it copies.
  void end_lines() const {
    if (by_lines()) {
      fflush_unlocked(stdout);
    }
  }

  // Writes `pieces`, which end a line, in turn, as one fwrite of them joined would: into the
  // room while it lasts; once it is full, the buffer is flushed, as fwrite flushes it, and what
  // is left goes into it if it fits there, or through fwrite. A failed flush loses the rest, as
  // fwrite loses it.
  template <std::size_t Count>
  void write(const std::string_view (&pieces)[Count]) const {
    std::size_t unwritten = 0;
    for (const std::string_view piece : pieces) {
      unwritten += piece.size();
    }
    std::size_t left = room();
    for (std::string_view piece : pieces) {
      if (piece.empty()) {
        continue;  // nothing to copy, where there may be no buffer to copy it to
      }
      if (piece.size() > left && left > 0) {
        copy(piece.substr(0, left));
        piece.remove_prefix(left);
        unwritten -= left;
        if (fflush_unlocked(stdout) != 0) {
          return;
        }
        left = room() >= unwritten ? room() : 0;
      }
      if (piece.size() <= left) {
        copy(piece);
        left -= piece.size();
      } else {
        fwrite_unlocked(piece.data(), 1, piece.size(), stdout);
      }
      unwritten -= piece.size();
    }
    end_lines();
  }

 private:
  // glibc's flag values (libio.h), which its public headers no longer name.
  static constexpr int kUnbuffered = 0x0002;
  static constexpr int kLineBuffered = 0x0200;
  static constexpr int kWriting = 0x0800;

  static bool by_lines() { return (stdout->_flags & kLineBuffered) != 0; }

  void copy(std::string_view bytes) const {
    std::memcpy(next(), bytes.data(), bytes.size());
    fill(bytes.size());
  }
#else
  // Other C libraries offer no way into their buffer: their stdio writes, call after call.
  static constexpr std::size_t room() { return 0; }

  template <std::size_t Count>
  void write(const std::string_view (&pieces)[Count]) const {
    for (const std::string_view piece : pieces) {
      std::fwrite(piece.data(), 1, piece.size(), stdout);
    }
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

// Not inlined, where the compiler has a word for it: a function of its own keeps the 4 KiB
// buffer, with the stack probe and the canary that it brings, off the path that fills stdio's.
#if defined(_MSC_VER)
#define RIX_TESTER_NOINLINE __declspec(noinline)
#elif defined(__GNUC__)
#define RIX_TESTER_NOINLINE __attribute__((noinline))
#else
#define RIX_TESTER_NOINLINE
#endif

// Lines up to this long, "\n" included, are assembled on the stack where stdout's buffer offers
// no room, so that stdio takes each in one call: a line-buffered or unbuffered stdout then
// writes it at once, as it would a printf of it.
constexpr std::size_t kLineBufferSize = 4096;

RIX_TESTER_NOINLINE void write_assembled(const Label& label, std::string_view text,
                                         std::size_t size) {
  char line[kLineBufferSize];
  std::memcpy(line, label.text, Label::kWidth);
  std::memcpy(line + label.size, text.data(), text.size());
  line[size - 1] = '\n';
  std::fwrite(line, 1, size, stdout);
}

// Writes `label`, `text` and "\n" to stdout as one line that no other stdio output lands inside,
// whatever its length and however stdout is buffered, as one fwrite of the line would write it.
// The result of the writes is not looked at: a console that cannot be written to loses the
// line.
void write_line(const Label& label, std::string_view text) {
  const std::size_t size = label.size + text.size() + 1;
  const LockedStdout out;
  const std::size_t room = out.room();
#if defined(__GLIBC__)
  if (room > Label::kWidth && room - Label::kWidth >= size) {
    // The label's whole width is copied, the text then landing over its padding.
    char* const line = out.next();
    std::memcpy(line, label.text, Label::kWidth);
    std::memcpy(line + label.size, text.data(), text.size());
    line[size - 1] = '\n';
    out.fill(size);
    out.end_lines();
    return;
  }
#endif
  if (room == 0 && size <= kLineBufferSize) {
    write_assembled(label, text, size);
  } else {
    const std::string_view pieces[] = {{label.text, label.size}, text, "\n"};
    out.write(pieces);
  }
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
// table in its order finds; the assertion below holds it to the contract's table.
using Field = std::string VAZUVURIZ_RIX_OPTIONS::*;
constexpr Field field_if(std::string_view key, std::string_view constant, Field field) {
  return key == constant ? field : nullptr;
}
constexpr Field field_named(std::string_view key) {
  using Options = VAZUVURIZ_RIX_OPTIONS;
  switch (key.size()) {
    case sizeof RIX_KEY_CFG_ID - 1:
      return field_if(key, RIX_KEY_CFG_ID, &Options::cfg_id);
    case sizeof RIX_KEY_IP - 1:
      return field_if(key, RIX_KEY_IP, &Options::ip);
    case sizeof RIX_KEY_PORT - 1:
      return field_if(key, RIX_KEY_PORT, &Options::port);
    case sizeof RIX_KEY_TLS_CA_CERT - 1:
      return field_if(key, RIX_KEY_TLS_CA_CERT, &Options::tls_ca_cert);
    case sizeof RIX_KEY_TLS_PROG_CERT - 1:
      static_assert(sizeof RIX_KEY_TLS_PROG_CERT == sizeof RIX_KEY_PROXY_ADDRESS);
      return key == RIX_KEY_TLS_PROG_CERT
                 ? &Options::tls_prog_cert
                 : field_if(key, RIX_KEY_PROXY_ADDRESS, &Options::proxy_address);
    case sizeof RIX_KEY_TLS_PROG_KEY - 1:
      return field_if(key, RIX_KEY_TLS_PROG_KEY, &Options::tls_prog_key);
    case sizeof RIX_KEY_TLS_PROG_KEY_PASS - 1:
      return field_if(key, RIX_KEY_TLS_PROG_KEY_PASS, &Options::tls_prog_key_pass);
    case sizeof RIX_KEY_PROXY_USER - 1:
      return field_if(key, RIX_KEY_PROXY_USER, &Options::proxy_user);
    case sizeof RIX_KEY_PROXY_PASSWORD - 1:
      return field_if(key, RIX_KEY_PROXY_PASSWORD, &Options::proxy_password);
    default:
      return nullptr;
  }
}

constexpr bool every_key_has_its_case() {
  for (const VAZUVURIZ_RIX_CONFIG_KEY& row : VAZUVURIZ_RIX_CONFIG_KEYS) {
    if (field_named(row.key) != row.field) {
      return false;
    }
  }
  return true;
}
static_assert(every_key_has_its_case(),
              "a key of VAZUVURIZ_RIX_CONFIG_KEYS finds no field, or another, in field_named");

}  // namespace

// What the header's link check refers to: hosts of this compile's standard library find it. A
// function on Windows, where a DLL's functions, unlike its data, may be delay-loaded.
#if defined(_WIN32)
extern "C" PGM_VAZUVURIZ_RIX_TESTER_EXPORT void PGM_VAZUVURIZ_RIX_LINK_CHECK_REFERENCE(tester)() {}
#else
extern "C" PGM_VAZUVURIZ_RIX_TESTER_EXPORT const char PGM_VAZUVURIZ_RIX_LINK_CHECK_REFERENCE(
    tester) = 0;
#endif
#if !defined(_MSC_VER)
// And what hosts built against the headers of 1.2 and 1.3 refer to.
#define RIX_TESTER_CHECK_OF_1_2(library) RIX_TESTER_CHECK_OF_1_2_(library)
#define RIX_TESTER_CHECK_OF_1_2_(library) \
  pgm_vazuvuriz_rix_tester_built_for_##library##_used_from_##library
extern "C" PGM_VAZUVURIZ_RIX_TESTER_EXPORT const char RIX_TESTER_CHECK_OF_1_2(
    PGM_VAZUVURIZ_RIX_TESTER_STANDARD_LIBRARY) = 0;
#endif

// Moving the caller's copy in neither allocates nor throws, so nothing can fail after the banner.
// Where stdio's buffer has no room for them, the banner's lines go through stdio's calls, which
// stdio makes atomic with respect to other stdio calls. Not printf: MinGW-w64's printf writes a
// character at a time under a lock of its own, which lets other output land inside a line and
// deadlocks against a thread that holds the runtime's stdout lock.
VAZUVURIZ_RIX_TESTER::VAZUVURIZ_RIX_TESTER(VAZUVURIZ_RIX_OPTIONS given)
    : options(std::move(given)) {
  const LockedStdout out;
  out.write(kBannerLines);
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
  const Field field = field_named(key);
  return field != nullptr ? options.*field : std::string();
}
