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
// too. `captured_stdout` returns only then.
//
// A small static library, pgm_vazuvuriz_rix_stdout_capture (CMake:
// pgm_vazuvuriz_rix_tester::stdout_capture; pkg-config: pgm_vazuvuriz_rix_tester), holds the
// capture; it needs nothing but the C and C++ runtimes and is built for the library's C++
// standard library: a file built for another does not link (link_check.hpp).

#include <string>
#include <utility>

#include <vazuvuriz_rix/link_check.hpp>

PGM_VAZUVURIZ_RIX_LINK_CHECK_STATIC(stdout_capture)

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
// A capture never returns a shortened text: when stdio, `std::cout` or `std::wcout` fails to
// write what it was given into the capture's file (a full folder, say), `text()` and
// `captured_stdout` throw `std::system_error`. Only such losses are the capture's: stdout and the
// streams carry no error afterwards that they did not carry before, and an error of the host's
// own (a stream pointed at a file of the host's, a stream already bad, output the host wrote
// before the capture that stdout cannot take) stays as the host left it, uncharged, and is not
// thrown. A stream counts as writing to standard output while it holds the buffer that it held
// when the module that links the capture was loaded, or, with libstdc++ after
// `sync_with_stdio(false)`, the one it holds at the first capture after that. Where stdout
// already carries an error when the first capture starts, glibc and msvcrt.dll let the capture
// clear it and set it again afterwards; the UCRT (Visual Studio's C runtime) has no way to set
// it again, so there the capture cannot see a loss of its own past the host's error, and
// `text()` throws instead. What a host writes to descriptor 1 itself, with `write`, is the
// host's to check.
//
// Captures may overlap in any way: standard output goes to the capture started last among those
// alive, and once the last one ends it goes where it went before the first began. Captures may
// be created and destroyed on any thread, in any order; each takes the output of the whole
// process, all threads included. Call `text()` while no other thread writes to standard output.
// After `std::ios::sync_with_stdio(false)`, starting, reading or ending a capture flushes
// `std::cout`, which races with another thread writing to `std::cout` at that moment, as any two
// threads that use an unsynchronised stream do.
// Each module (a program, a shared library, a DLL) that links the capture's library has captures
// of its own, and exports none of it: captures made in different modules must nest, each ending
// before any capture that started before it. A shared library that uses the capture unloads,
// even from a host that links no C++ standard library itself (on Linux the capture's target, and
// its pkg-config file, link with --exclude-libs for it).
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
  VAZUVURIZ_STDOUT_CAPTURE();
  ~VAZUVURIZ_STDOUT_CAPTURE();

  VAZUVURIZ_STDOUT_CAPTURE(const VAZUVURIZ_STDOUT_CAPTURE&) = delete;
  VAZUVURIZ_STDOUT_CAPTURE& operator=(const VAZUVURIZ_STDOUT_CAPTURE&) = delete;

  // Everything written to standard output while this capture received it, byte for byte.
  // Throws `std::system_error` rather than return less.
  std::string text() const;

 private:
  struct Captures;  // the captures alive in this module

  int sink_ = -1;
  // Guarded by the module's captures, as are newer_ and lost_output_.
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
