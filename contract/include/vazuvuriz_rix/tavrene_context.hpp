#ifndef VAZUVURIZ_RIX_TAVRENE_CONTEXT_HPP
#define VAZUVURIZ_RIX_TAVRENE_CONTEXT_HPP

#include <cstdint>
#include <string>

// Severity of a message given to `TavreneContext::log`. The underlying type is fixed, so any
// `int` converts to a `LogLevel_t`; implementations ignore values outside the four below.
enum LogLevel_t : int {
  LOG_DEBUG = 0,    // Debugging detail.
  LOG_INFO = 1,     // Information.
  LOG_WARNING = 2,  // A warning.
  LOG_ERROR = 3,    // An error.
};

// Outcome of `TavreneContext::send_packet`. Other implementations may define further values;
// callers treat anything but `STATUS_SUCCESS` as a refusal.
enum Status_t : int {
  STATUS_SUCCESS = 0,  // The packet was accepted.
  STATUS_FAILURE = 1,  // The packet was refused.
};

#if defined(__GNUC__) && !defined(_WIN32)
#define VAZUVURIZ_RIX_CONTRACT_VISIBLE __attribute__((visibility("default")))
#else
#define VAZUVURIZ_RIX_CONTRACT_VISIBLE
#endif

// The context through which RIX plugin code logs, exchanges packets with the RIX service and
// reads its configuration, without knowing which implementation it holds.
//
// Binary contract: code built against this header reaches each operation through its virtual
// table slot, so the slot order (destructor, `log`, `send_packet`, `get_config`) and the
// signatures below never change. The class has no data members and its special members do
// nothing.
//
// Implementations state what they guarantee beyond this contract. Code that holds only the
// interface and knows nothing of the implementation behind it assumes the least:
// - no thread safety: it never calls one context from two threads at once;
// - a response from `send_packet` is not its own: it never releases one unless it has agreed
//   with the implementation how, and it reads one only before its next call on the context.
//
// Its type information has default visibility on ELF platforms, so that modules built with hidden
// visibility share one copy. libc++ compares type information by address, so there
// `dynamic_cast` from the interface to an implementation in another module needs that one copy:
// a host that loads plugins with `dlopen` loads them with `RTLD_GLOBAL`, or links the
// implementation's library itself. With `RTLD_LOCAL` each plugin keeps a copy of its own, and the
// cast fails in every plugin but the first loaded. libstdc++ compares names and needs neither.
//
// The contract is headers only, so every file that needs the interface's virtual table has a
// copy of it, which the linker merges: clang's -Wweak-vtables says so, and is silenced here.
#ifdef __clang__
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wweak-vtables"
#endif
class VAZUVURIZ_RIX_CONTRACT_VISIBLE TavreneContext {
 public:
  // Destroying an implementation through a `TavreneContext*` runs the implementation's own
  // destructor.
  virtual ~TavreneContext() = default;

  // Writes `message` at `level`. Reports no failure. An implementation may ignore a level
  // outside `LogLevel_t`'s four values.
  virtual void log(LogLevel_t level, const std::string& message) = 0;

  // Sends the `request_length` words at `request` and hands back the response: the
  // implementation stores the address of the response words in `*response` and their length in
  // `response_length`. Returns `STATUS_SUCCESS` when the packet was accepted. The unit of both
  // lengths, who releases a non-empty response and how long it stays valid are the
  // implementation's to state.
  virtual Status_t send_packet(const std::uint32_t* request, std::uint64_t request_length,
                               std::uint32_t** response, std::uint64_t& response_length) = 0;

  // Returns a new copy of the value configured under `key`, or empty text for a key the
  // implementation does not know. Never fails for any key.
  virtual std::string get_config(const std::string& key) = 0;

 protected:
  // Implementations are copyable; copying or assigning through the interface alone would
  // slice, so only they may do it.
  TavreneContext() = default;
  TavreneContext(const TavreneContext&) = default;
  TavreneContext& operator=(const TavreneContext&) = default;
};
#ifdef __clang__
#pragma clang diagnostic pop
#endif

#endif  // VAZUVURIZ_RIX_TAVRENE_CONTEXT_HPP
