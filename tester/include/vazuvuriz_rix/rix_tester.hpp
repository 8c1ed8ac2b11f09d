#ifndef VAZUVURIZ_RIX_RIX_TESTER_HPP
#define VAZUVURIZ_RIX_RIX_TESTER_HPP

#include <cstdint>
#include <string>

#include <vazuvuriz_rix/config_keys.hpp>
#include <vazuvuriz_rix/export.hpp>
#include <vazuvuriz_rix/link_check.hpp>
#include <vazuvuriz_rix/options.hpp>
#include <vazuvuriz_rix/tavrene_context.hpp>
#include <vazuvuriz_rix/version.hpp>

// A `TavreneContext` that works on the console alone, so that plugin code runs without the
// RIX service: it answers configuration keys from the options it was created with, prints log
// messages to standard output and accepts packets without sending them anywhere.
//
// It opens no connection and reads no file or environment variable. Standard output is written
// as stdio writes it: flushed where stdio would flush it (a line-buffered stdout, a terminal,
// after each line), never otherwise. Its only state is its own copy of the options.
//
// Thread safety: beyond what `TavreneContext` promises, `get_config`, `log` and `send_packet`
// may be called concurrently on one tester, from any threads, as long as nobody assigns to it
// or destroys it meanwhile. Each operation below says what it guarantees.
//
// Binary contract: the class is exported whole; its only data member is `options` and it adds
// no virtual function to those of `TavreneContext`.
class PGM_VAZUVURIZ_RIX_TESTER_EXPORT VAZUVURIZ_RIX_TESTER : public TavreneContext {
 public:
  // Keeps `given` and writes the banner to standard output: an empty line, a rule of 36 hyphens,
  // "Programmer RIX Plugin Tester" and the rule again. Each of the four lines reaches stdio
  // whole, as a log line does; other output may come between them.
  // `given` is moved in, so the constructor itself allocates nothing: the record is copied, if at
  // all, by the caller before the call, and running out of memory there writes no banner. (When
  // the banner is stdout's first use, stdio allocates its own buffer, as on any first use.)
  explicit VAZUVURIZ_RIX_TESTER(VAZUVURIZ_RIX_OPTIONS given);

  // Copy and assignment copy the options and write nothing. Self-assignment changes nothing.
  // Copying may run beside the source's own operations; assigning may run beside none of the
  // target's.
  VAZUVURIZ_RIX_TESTER(const VAZUVURIZ_RIX_TESTER& other);
  VAZUVURIZ_RIX_TESTER& operator=(const VAZUVURIZ_RIX_TESTER& other);

  // Writes nothing.
  ~VAZUVURIZ_RIX_TESTER() override;

  // Writes one line to standard output: "RIX PLUGIN ", the level word ("DEBUG", "INFO",
  // "WARNING" or "ERROR"), ": ", the message and "\n". Every level is written; a level outside
  // the four writes nothing. The message is never interpreted as a format, so "%" comes out as
  // it is; it is written up to its first NUL byte, and line breaks inside it are kept.
  //
  // The line reaches stdio whole, at any length and however stdout is buffered: no other stdio
  // output of the process, concurrent log lines included, lands inside it, and it always ends
  // with its "\n". A line of up to 2,024 bytes, label and "\n" included, allocates nothing
  // (stdio may, for its buffer, on stdout's first use); a longer one is assembled on the heap,
  // and running out of memory there throws std::bad_alloc and writes nothing. Thread-safe.
  void log(LogLevel_t level, const std::string& message) override;

  // Never reads or sends the request. Always leaves the response empty: `*response` null and
  // `response_length` 0. Returns `STATUS_SUCCESS` for a non-null `request` with a non-zero
  // `request_length` and a non-null `response`, `STATUS_FAILURE` otherwise. A null `response`
  // is never written through; the packet is refused, since its response could not be handed
  // back. There is never a response to release. Thread-safe: touches none of the tester's state.
  Status_t send_packet(const std::uint32_t* request, std::uint64_t request_length,
                       std::uint32_t** response, std::uint64_t& response_length) override;

  // Returns a copy of the options field that `key` names (see `VAZUVURIZ_RIX_CONFIG_KEYS`),
  // exactly as stored and unmasked, or empty text when `key` is not one of the ten keys byte
  // for byte. `aux` is returned by no key. Writes nothing and changes nothing. Thread-safe, but
  // not beside an assignment to the tester.
  std::string get_config(const std::string& key) override;

 private:
  PGM_VAZUVURIZ_RIX_TESTER_SUPPRESS_C4251
  VAZUVURIZ_RIX_OPTIONS options;
};

// Every file that includes this header refers to a symbol that only a library built for the
// file's C++ standard library defines, so that a host built for another does not link
// (link_check.hpp says how). A program that loads the library with dlopen or LoadLibrary
// instead of linking it defines PGM_VAZUVURIZ_RIX_TESTER_NO_LINK_CHECK first. The DLL has no
// import of its own to refer to; elsewhere the library's own files check too.
#if !defined(PGM_VAZUVURIZ_RIX_TESTER_NO_LINK_CHECK) && \
    !(defined(_WIN32) && defined(pgm_vazuvuriz_rix_tester_EXPORTS))
PGM_VAZUVURIZ_RIX_LINK_CHECK_SHARED(tester)
#endif

#endif  // VAZUVURIZ_RIX_RIX_TESTER_HPP
