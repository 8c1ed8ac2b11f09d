#ifndef VAZUVURIZ_RIX_STDOUT_CAPTURE_HPP
#define VAZUVURIZ_RIX_STDOUT_CAPTURE_HPP

// Captures what the process writes to standard output, so that tests can assert on it:
//
//   #include <vazuvuriz_rix/stdout_capture.hpp>
//
//   EXPECT_EQ(captured_stdout([&] { context.log(LOG_INFO, "ready"); }),
//             "RIX PLUGIN INFO: ready\n");
//
// or, to assert on some lines of many, with gMock's container matchers:
//
//   EXPECT_THAT(captured_stdout_lines([&] { plugin.start(context); }),
//               testing::Contains("RIX PLUGIN INFO: ready"));
//
// or, for a scope of your own:
//
//   std::string console;
//   {
//     VAZUVURIZ_STDOUT_CAPTURE capture;   // standard output is captured from here
//     context.log(LOG_INFO, "ready");
//     console = capture.text();
//   }                                     // and goes back where it went before from here
//   EXPECT_EQ(console, "RIX PLUGIN INFO: ready\n");
//
// Assert once the capture has ended: a failure message printed during it would be captured
// too. `captured_stdout` returns only then.
//
// A small static library, pgm_vazuvuriz_rix_stdout_capture (CMake:
// pgm_vazuvuriz_rix_tester::stdout_capture; pkg-config: pgm_vazuvuriz_rix_tester), holds the
// capture; it needs nothing but the C and C++ runtimes and is built for the library's C++
// standard library: a file built for another does not link (link_check.hpp).

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <vazuvuriz_rix/link_check.hpp>

PGM_VAZUVURIZ_RIX_LINK_CHECK_STATIC(stdout_capture)

// Captures, for as long as it lives, every byte the process writes to standard output (file
// descriptor 1: `printf`, `std::cout`, `write(1, ...)` and the tester's console lines alike).
//
// Descriptor 1 points at a file that lives in memory (Linux: `memfd_create`, which needs no
// temporary folder; Windows: a temporary file in the temporary folder, kept in memory where the
// cache allows and deleted when closed), so the output may be of any size that memory takes,
// and nothing is translated: a "\n" comes back as "\n" on every platform. On Windows, wide output
// (`wprintf`, a synchronised `std::wcout`) comes back as the runtime writes it to a binary file:
// UTF-16 code units, "hi\n" as 68 00 69 00 0a 00. No thread is started: nothing waits when a
// capture ends, at exit or while a module unloads.
//
// stdio's stdout and the buffers of `std::cout` and `std::wcout` are flushed when a capture
// starts, when it is read and when it ends, while stdout's stdio lock is held: output written
// before it stays out, output written during it stays in, and a line that another thread writes
// in one stdio call (a log line) lands whole on one side. A capture reads, sets and clears no
// error state: what the host's own output meets stays with the host.
//
// Captures nest: one started while another is alive ends before it, whatever thread starts or
// ends them; standard output goes to the newest, and once the outermost ends, back where it
// went before. Each module (a program, a shared library, a DLL) that links the capture's
// library has captures of its own, and exports none of it; captures made in different modules
// must nest too. `text()` may be called from any thread, while others write.
//
// Nothing that a capture holds reaches a child process (close-on-exec on Linux, not inheritable
// on Windows) or takes the place of a closed descriptor 0, 1 or 2. Descriptor 1 is inherited as
// it would be without a capture.
//
// Standard output buffers after a capture as it would have without one. stdio chooses stdout's
// buffering, and its buffer's size, from the descriptor that it first writes to, for good; with
// glibc, a capture that is the process's first use of stdout has it choose from the real
// descriptor first, keeping any line buffering asked for with `setvbuf` (on a terminal: by
// lines, with the terminal's buffer size). Elsewhere stdio offers no way to tell whether it has
// chosen yet: write to stdout once before the first capture if it is a console.
//
// Limits, each what any capture of descriptor 1 meets:
// - One capture takes standard output for every thread of the process: two threads that each
//   capture at once get each other's output, or end the process ("captures must nest").
// - A GoogleTest failure reported while a capture is alive (in a fixture that holds one across
//   `SetUp` and `TearDown`, say) is captured too: assert once the capture has ended.
// - What another thread writes with `write(1, ...)`, or an unsynchronised C++ stream flushes,
//   while a capture starts or ends may land on either side, split; while it is read, `text()`
//   may hold only its beginning.
// - A forked child, or a `write` still running, that outlives the capture writes the rest into
//   the capture's file, where nobody reads it: it is lost, without an error.
// - The file is subject to the process's file size limit (`RLIMIT_FSIZE`) like any other:
//   `text()` throws where output reached it.
//
// Throws `std::system_error` when descriptor 1 is closed or the file or the redirection cannot
// be set up, `std::bad_alloc` when `text()` runs out of memory to return the output, and what a
// C++ stream's buffer throws when it is flushed as the capture starts or is read; a capture
// that fails to start leaves nothing open or redirected. Ending a capture throws nothing.
// Should standard output ever fail to be put back, the process ends with a message on standard
// error instead of losing the rest of its output unseen.
//
// A shared library (a plugin) that links the capture's archive by hand keeps its symbols to
// itself with `-Wl,--exclude-libs,libpgm_vazuvuriz_rix_stdout_capture.a`, as the CMake target
// and the pkg-config file do: otherwise the C++ library, where the plugin brought it into the
// process, binds to the standard library code that the archive holds and keeps the plugin
// loaded.
class VAZUVURIZ_STDOUT_CAPTURE {
 public:
  VAZUVURIZ_STDOUT_CAPTURE();
  ~VAZUVURIZ_STDOUT_CAPTURE();

  VAZUVURIZ_STDOUT_CAPTURE(const VAZUVURIZ_STDOUT_CAPTURE&) = delete;
  VAZUVURIZ_STDOUT_CAPTURE& operator=(const VAZUVURIZ_STDOUT_CAPTURE&) = delete;

  // Everything written to standard output while this capture received it, byte for byte.
  std::string text() const;

 private:
  struct File;  // where standard output goes meanwhile

  std::unique_ptr<File> file_;
  VAZUVURIZ_STDOUT_CAPTURE* older_ = nullptr;  // the capture that this one nests in
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

// Runs `action` as `captured_stdout` does and returns what it wrote as lines, each without its
// "\n"; text after the last "\n" is a line of its own.
template <typename Action>
std::vector<std::string> captured_stdout_lines(Action&& action) {
  const std::string text = captured_stdout(std::forward<Action>(action));
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    start = end == std::string::npos ? text.size() : end + 1;
  }
  return lines;
}

#endif  // VAZUVURIZ_RIX_STDOUT_CAPTURE_HPP
