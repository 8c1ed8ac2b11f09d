#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

#include <vazuvuriz_rix/rix_tester.hpp>

namespace {

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

// Puts `label`, `text` and "\n" at `line`, which has room for Label::kWidth bytes past them.
// The label's whole width is copied, the text then landing over its padding.
inline void assemble(char* line, const Label& label, std::string_view text) {
  std::memcpy(line, label.text, Label::kWidth);
  std::memcpy(line + label.size, text.data(), text.size());
  line[label.size + text.size()] = '\n';
}

// Lines up to this long are assembled on the stack, longer ones on the heap. Under a page, so
// that the frame needs no stack probe.
constexpr std::size_t kStackLineSize = 2048;

// Writes `label`, `text` and "\n" to stdout in one fwrite, which stdio makes atomic with
// respect to its other calls: no other stdio output lands inside the line, and stdout writes and
// flushes it as it would a printf of it. Not printf itself: MinGW-w64's writes a character at a
// time. The result is not looked at: a console that cannot be written to loses the line.
void write_line(const Label& label, std::string_view text) {
  const std::size_t size = label.size + text.size() + 1;
  if (size <= kStackLineSize - Label::kWidth) {
    char line[kStackLineSize];
    assemble(line, label, text);
    std::fwrite(line, 1, size, stdout);
  } else {
    const std::unique_ptr<char[]> line(new char[size + Label::kWidth]);
    assemble(line.get(), label, text);
    std::fwrite(line.get(), 1, size, stdout);
  }
}

// `message` as C text: up to its first NUL byte.
std::string_view up_to_first_nul(const std::string& message) {
  return {message.data(), std::strlen(message.c_str())};
}

// The banner's four lines, written in one fwrite as a log line is.
constexpr char kBanner[] =
    "\n"
    "------------------------------------\n"
    "Programmer RIX Plugin Tester\n"
    "------------------------------------\n";

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
VAZUVURIZ_RIX_TESTER::VAZUVURIZ_RIX_TESTER(VAZUVURIZ_RIX_OPTIONS given)
    : options(std::move(given)) {
  std::fwrite(kBanner, 1, sizeof kBanner - 1, stdout);
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
