#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include <gtest/gtest.h>

#include <vazuvuriz_rix/stdout_capture.hpp>

#include "test_support.hpp"

namespace {

struct Descriptors {
  int open = 0;
  int inheritable = 0;  // by a child process
};

Descriptors descriptors() {
  Descriptors found;
  for (int fd = 0; fd < 1024; ++fd) {
#ifdef _WIN32
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    DWORD flags = 0;
    const bool open = handle != INVALID_HANDLE_VALUE;
    const bool inheritable =
        open && GetHandleInformation(handle, &flags) && (flags & HANDLE_FLAG_INHERIT) != 0;
#else
    const int flags = fcntl(fd, F_GETFD);
    const bool open = flags != -1;
    const bool inheritable = open && (flags & FD_CLOEXEC) == 0;
#endif
    found.open += open ? 1 : 0;
    found.inheritable += inheritable ? 1 : 0;
  }
  return found;
}

TEST(StdoutCapture, TakesEveryByteOf100MiB) {
  std::string megabyte(1 << 20, '\0');
  for (std::size_t i = 0; i < megabyte.size(); ++i) {
    megabyte[i] = static_cast<char>(i % 251);
  }
  const std::string captured = captured_stdout([&] {
    for (int i = 0; i < 100; ++i) {
      std::fwrite(megabyte.data(), 1, megabyte.size(), stdout);
    }
  });
  ASSERT_EQ(captured.size(), std::size_t{100} << 20);
  for (std::size_t at = 0; at < captured.size(); at += megabyte.size()) {
    ASSERT_TRUE(captured.compare(at, megabyte.size(), megabyte) == 0) << "at byte " << at;
  }
}

// Nothing a capture holds reaches a child process, or takes the place of a closed standard
// descriptor; descriptor 1 is inherited, as without a capture.
TEST(StdoutCapture, NestsAndKeepsAppendingAfterAReadHoldingNothingAChildInherits) {
  const int saved_stderr = dup(2);
  close(2);
  const Descriptors before = descriptors();
  Descriptors during;
  std::string outer_text;
  std::string inner_text;
  std::string outer_text_before_inner;
  std::string function_text;
  long long written_to_closed_stderr = 0;
  {
    VAZUVURIZ_STDOUT_CAPTURE outer;
    std::printf("a\n");
    outer_text_before_inner = outer.text();
    {
      VAZUVURIZ_STDOUT_CAPTURE inner;
      std::printf("b");
      std::fflush(stdout);
#ifdef _WIN32
      _write(1, "c", 1);  // through descriptor 1 itself
#else
      ASSERT_EQ(std::system("printf c"), 0);  // a child process's, through descriptor 1
#endif
      std::fputs("written to a closed stderr", stderr);
      std::fflush(stderr);
      written_to_closed_stderr = write(2, "stderr", 6);
      inner_text = inner.text();
      during = descriptors();
    }
    function_text = captured_stdout([] { std::printf("d"); });
    std::printf("c");
    outer_text = outer.text();
  }
  dup2(saved_stderr, 2);
  close(saved_stderr);
  EXPECT_EQ(outer_text_before_inner, "a\n");
  EXPECT_EQ(inner_text, "bc");
  // Descriptor 2 stays closed: what is written to it reaches no file, the real stdout included.
  EXPECT_EQ(written_to_closed_stderr, -1);
  // The original stdout kept aside, and a file each.
  EXPECT_EQ(during.open, before.open + 3);
  EXPECT_EQ(during.inheritable, before.inheritable);
  EXPECT_EQ(function_text, "d");
  EXPECT_EQ(outer_text, "a\nc");
}

#ifndef _WIN32
// What outlives a capture, or pushes it to a limit, neither hangs nor ends the process, and a
// capture takes all there is or throws.
TEST(StdoutCapture, OutlivedOrPushedToALimitNeitherHangsNorDies) {
  struct Row {
    const char* name;
    std::function<void()> run;
  };
  const Row kRows[] = {
      {"a thread inside a 64 MiB write(1) as the capture ends",
       [] {
         const std::string block(64 << 20, 'w');
         std::atomic<bool> writing{false};
         std::thread writer;
         {
           VAZUVURIZ_STDOUT_CAPTURE capture;
           const int into_capture = dup(1);  // where descriptor 1 points now, whenever it writes
           writer = std::thread([&, into_capture] {
             writing = true;
             EXPECT_EQ(write(into_capture, block.data(), block.size()),
                       static_cast<ssize_t>(block.size()));
             close(into_capture);
           });
           while (!writing) {
             std::this_thread::yield();
           }
         }
         writer.join();
       }},
      {"a forked child writing 256 KiB after the capture ended",
       [] {
         int ended[2];
         ASSERT_EQ(pipe(ended), 0);
         pid_t child = -1;
         {
           VAZUVURIZ_STDOUT_CAPTURE capture;
           child = fork();
           if (child == 0) {
             alarm(60);  // where the write blocks, the child dies and the row fails
             char go = 0;
             const std::string block(256 << 10, 'f');
             _exit(read(ended[0], &go, 1) == 1 && write(1, block.data(), block.size()) > 0 ? 0 : 1);
           }
         }
         ASSERT_EQ(write(ended[1], "g", 1), 1);
         int status = -1;
         waitpid(child, &status, 0);
         close(ended[0]);
         close(ended[1]);
         EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
       }},
      {"10,000 captures in a row",
       [] {
         const int open_before = descriptors().open;
         for (int i = 0; i < 10000; ++i) {
           ASSERT_EQ(captured_stdout([] { std::printf("x"); }), "x");
         }
         EXPECT_EQ(descriptors().open, open_before);
       }},
      {"no descriptor to spare",
       [] {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
         return;  // the sanitizers' runtimes need descriptors of their own to check memory
#endif
         rlimit limit{};
         getrlimit(RLIMIT_NOFILE, &limit);
         const rlimit tight{4, limit.rlim_max};
         setrlimit(RLIMIT_NOFILE, &tight);
         EXPECT_THROW(VAZUVURIZ_STDOUT_CAPTURE(), std::system_error);
         setrlimit(RLIMIT_NOFILE, &limit);
         EXPECT_EQ(captured_stdout([] { std::printf("back"); }), "back");
       }},
      {"no temporary folder",
       [] {
         const char* const tmpdir = std::getenv("TMPDIR");
         const std::string saved = tmpdir != nullptr ? tmpdir : "";
         setenv("TMPDIR", "/nonexistent/rix", 1);
         EXPECT_EQ(captured_stdout([] { std::printf("in memory"); }), "in memory");
         tmpdir != nullptr ? setenv("TMPDIR", saved.c_str(), 1) : unsetenv("TMPDIR");
       }},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    row.run();
  }
}
#endif

TEST(StdoutCapture, LinesComeWithoutTheirLineBreaks) {
  const std::pair<const char*, std::vector<std::string>> kRows[] = {
      {"", {}},
      {"a\nb\n", {"a", "b"}},
      {"a\n\nc", {"a", "", "c"}},
  };
  for (const auto& [text, lines] : kRows) {
    EXPECT_EQ(captured_stdout_lines([text = text] { std::fputs(text, stdout); }), lines) << text;
  }
}

// A capture that ends before a newer one would take descriptor 1 from it: the process ends.
TEST(StdoutCaptureDeathTest, CapturesThatDoNotNestEndTheProcess) {
  EXPECT_DEATH(
      {
        std::optional<VAZUVURIZ_STDOUT_CAPTURE> a(std::in_place);
        const VAZUVURIZ_STDOUT_CAPTURE b;
        a.reset();
      },
      "captures must nest");
}

// Three threads log lines of 300 and 6,000 bytes while captures start, are read and end: each
// line lands whole, in a capture or outside it (here an outer capture). Lines logged after a
// capture is read and before it ends are not seen.
TEST(StdoutCapture, LinesLoggedWhileCapturesStartAndEndLandWhole) {
  VAZUVURIZ_RIX_TESTER tester = quiet_tester(VAZUVURIZ_RIX_OPTIONS{});
  constexpr int kCaptures = 40;
  std::atomic<int> lines{0};
  std::atomic<bool> stop{false};
  std::vector<std::string> texts;
  {
    VAZUVURIZ_STDOUT_CAPTURE outside;
    std::vector<std::thread> loggers;
    for (const char letter : {'a', 'b', 'c'}) {
      loggers.emplace_back([&, letter] {
        for (std::size_t line = 0; !stop; ++line) {
          tester.log(LOG_INFO, std::string(line % 2 == 0 ? 300 : 6000, letter));
          ++lines;
        }
      });
    }
    for (int capture = 0; capture < kCaptures; ++capture) {
      const VAZUVURIZ_STDOUT_CAPTURE inside;
      // Lines are logged while it starts, lives and is read.
      for (const int seen = lines; lines < seen + 2;) {
        std::this_thread::yield();
      }
      texts.push_back(inside.text());
    }
    stop = true;
    for (std::thread& logger : loggers) {
      logger.join();
    }
    texts.push_back(outside.text());
  }
  int whole = 0;
  int torn = 0;
  for (const std::string& text : texts) {
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
      const std::string message = line.substr(line.find(':') + 2);
      const bool is_whole = line.rfind("RIX PLUGIN INFO: ", 0) == 0 &&
                            (message.size() == 300 || message.size() == 6000) &&
                            message.find_first_not_of(message[0]) == std::string::npos;
      ++(is_whole ? whole : torn);
    }
  }
  EXPECT_EQ(torn, 0);
  EXPECT_GT(whole, 2 * kCaptures);
}

// Unsynchronised, std::cout and std::wcout keep buffers of their own beside stdio's, and write to
// descriptor 1 themselves: a capture flushes all three, in that order.
TEST(StdoutCapture, TakesUnsynchronisedStreamsAndLeavesNothingOfThemBehind) {
  std::ios::sync_with_stdio(false);
  std::string inner_text;
  std::string outer_text;
  {
    VAZUVURIZ_STDOUT_CAPTURE outer;
    {
      VAZUVURIZ_STDOUT_CAPTURE inner;
      std::cout << "inside";
      std::wcout << L", wide";
      std::printf(", printf");
      inner_text = inner.text();
      std::cout << " and at the end";
      std::wcout << L" and wide";
      std::printf(" and printf");
    }
    outer_text = outer.text();
  }
#ifdef _MSVC_STL_VERSION
  // Microsoft's streams stay on stdio, whose wide output to a binary file is UTF-16.
  EXPECT_EQ(inner_text, std::string("inside,\0 \0w\0i\0d\0e\0, printf", 26));
#else
  EXPECT_EQ(inner_text, "inside, wide, printf");
#endif
  EXPECT_EQ(outer_text, "");
}

// Runs `action` while descriptor 1 is closed.
void with_stdout_closed(const std::function<void()>& action) {
  std::fflush(stdout);
  const int saved_stdout = dup(1);
  close(1);
  action();
  dup2(saved_stdout, 1);
  close(saved_stdout);
}

// Runs `action` with printf output pending for a descriptor 1 that fails every write, as a full
// pipe or /dev/full does: a pipe whose reader has gone. Whatever error stdout then carries is
// cleared afterwards.
void with_output_pending_for_a_failing_stdout(const std::function<void()>& action) {
  std::fflush(stdout);
  int pipe_ends[2];
#ifdef _WIN32
  ASSERT_EQ(_pipe(pipe_ends, 4096, _O_BINARY), 0);
#else
  ASSERT_EQ(pipe(pipe_ends), 0);
  const auto sigpipe = std::signal(SIGPIPE, SIG_IGN);
#endif
  close(pipe_ends[0]);
  const int saved_stdout = dup(1);
  dup2(pipe_ends[1], 1);
  close(pipe_ends[1]);
  std::printf("pending");
  action();
  dup2(saved_stdout, 1);
  close(saved_stdout);
  std::clearerr(stdout);
#ifndef _WIN32
  std::signal(SIGPIPE, sigpipe);
#endif
}

// Where std::cout writes while it lives: into a buffer of the host's own, which fails every write
// as a full disk would (a streambuf's own overflow takes nothing), and whose sync fails too, or
// with `sync_throws` throws.
class HostCout : public std::streambuf {
 public:
  explicit HostCout(bool sync_throws = false)
      : sync_throws_(sync_throws), cout_buffer_(std::cout.rdbuf(this)) {}
  ~HostCout() override { std::cout.rdbuf(cout_buffer_); }  // which clears its error state

 private:
  int sync() override {
    if (sync_throws_) {
      throw std::runtime_error("cannot sync");
    }
    return -1;
  }

  bool sync_throws_;
  std::streambuf* cout_buffer_;
};

// A capture takes all the output or throws, leaves nothing open, and keeps out of the host's
// errors: what the host's own output meets stays as the host left it, charged to nobody.
TEST(StdoutCapture, KeepsAllOrThrowsAndLeavesTheHostsErrorsToTheHost) {
  using Fault = std::function<void(const std::function<void()>&)>;
  // A file size limit, where there is one: the capture's file is a file too.
  const Fault with_file_size_limit = [](const std::function<void()>& attempt) {
#ifndef _WIN32
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{16 * 1024, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &limit);
    attempt();
    limit.rlim_cur = RLIM_INFINITY;
    setrlimit(RLIMIT_FSIZE, &limit);
#else
    attempt();
#endif
  };
  const std::string megabyte(1 << 20, 'x');
  const std::function<void()> printf_megabyte = [&] {
    std::fwrite(megabyte.data(), 1, megabyte.size(), stdout);
  };
  struct Row {
    const char* name;
    Fault with_fault;
    std::function<void()> write;
    const char* kept;  // what the capture returns; null where it must throw
    std::ios::iostate cout_after;
    bool stdout_error_after = false;  // the host's, which stays
  };
  const Row kRows[] = {
      {"stdout closed: nowhere to put it back to", with_stdout_closed, printf_megabyte, nullptr,
       std::ios::goodbit},
#ifdef _WIN32
      {"a file size limit", with_file_size_limit, printf_megabyte, megabyte.c_str(),
       std::ios::goodbit},
#else
      {"a file size limit", with_file_size_limit, printf_megabyte, nullptr, std::ios::goodbit,
       true},
#endif
      {"std::cout pointed at a file of the host's, which fails",
       [](const std::function<void()>& attempt) {
         const HostCout host_file;
         attempt();
       },
       [] {
         std::printf("complete");
         std::cout.write("to the host's file", 18);  // badbit alone, as any library sets it
       },
       "complete", std::ios::badbit},
      {"std::cout bad before the capture, and throwing for it",
       [](const std::function<void()>& attempt) {
         std::cout.setstate(std::ios::badbit);
         try {
           std::cout.exceptions(std::ios::badbit);
         } catch (const std::ios::failure&) {
           // The mask stays set; the state is what the test wants.
         }
         attempt();
         std::cout.exceptions(std::ios::goodbit);
       },
       [] { std::printf("captured"); }, "captured", std::ios::badbit},
      // The host's error, met as the capture flushes what the host wrote.
      {"printf output pending for a stdout that fails, std::cout never used",
       with_output_pending_for_a_failing_stdout, [] { std::printf("captured"); }, "captured",
       std::ios::goodbit, true},
      // Unsynchronised from here on, as a process cannot undo.
      {"unsynchronised, std::cout pointed at a file of the host's, which fails",
       [](const std::function<void()>& attempt) {
         std::ios::sync_with_stdio(false);
         const HostCout host_file;
         attempt();
       },
       [] {
         std::printf("in\n");
         std::cout.write("to the host's file", 18);
       },
       "in\n", std::ios::badbit},
      {"unsynchronised, std::cout's own buffer back after a capture that saw the host's",
       [&](const std::function<void()>& attempt) {
         std::ios::sync_with_stdio(false);
         {
           const HostCout host_file;
           captured_stdout([] { std::cout << "to the host's file"; });
         }
         attempt();
       },
       [&] { std::cout << megabyte; }, megabyte.c_str(), std::ios::goodbit},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    int open_before = 0;
    int open_after = 0;
    std::string text;
    bool threw = false;
    bool stdout_error = true;
    std::ios::iostate cout_after = std::ios::goodbit;
    row.with_fault([&] {
      open_before = descriptors().open;
      try {
        text = captured_stdout(row.write);
      } catch (const std::system_error&) {
        threw = true;
      }
      open_after = descriptors().open;
      stdout_error = std::ferror(stdout) != 0;
      cout_after = std::cout.rdstate();
    });
    std::cout.clear();
    std::clearerr(stdout);
    EXPECT_EQ(threw, row.kept == nullptr);
    if (row.kept != nullptr) {
      EXPECT_TRUE(text == row.kept) << text.size() << " bytes";
    }
    EXPECT_EQ(open_after, open_before);
    EXPECT_EQ(stdout_error, row.stdout_error_after);
    EXPECT_EQ(cout_after, row.cout_after);
  }

  with_stdout_closed([] { std::fputs("lost", stdout), std::fflush(stdout); });
  ASSERT_NE(std::ferror(stdout), 0);
  EXPECT_EQ(captured_stdout([] { std::printf("still captured"); }), "still captured");
  EXPECT_NE(std::ferror(stdout), 0);
  std::clearerr(stdout);
}

// While std::cout's buffer cannot sync, as with output pending for a full device: what its sync
// throws stops a capture starting, and a sync that fails is the host's. Neither stops one ending.
TEST(StdoutCapture, ThrowingCoutSyncStopsACaptureStartingButNotOneEnding) {
  for (const bool sync_throws : {false, true}) {
    SCOPED_TRACE(sync_throws ? "sync throws" : "sync fails");
    const Descriptors before = descriptors();
    bool opening_threw = false;
    {
      const HostCout unflushable(sync_throws);
      std::cout.exceptions(std::ios::badbit);  // so that a flush through std::cout would throw
      try {
        VAZUVURIZ_STDOUT_CAPTURE capture;
      } catch (...) {
        opening_threw = true;
      }
      std::cout.exceptions(std::ios::goodbit);
    }
    const Descriptors after = descriptors();
    // Ending, the capture still flushes stdio's stdout, and lets nothing out.
    const std::string outer_text = captured_stdout([sync_throws] {
      std::optional<VAZUVURIZ_STDOUT_CAPTURE> inner(std::in_place);
      std::printf("inside;");
      {
        const HostCout unflushable(sync_throws);
        std::cout.exceptions(std::ios::badbit);
        inner.reset();
        std::cout.exceptions(std::ios::goodbit);
      }
      std::printf("after;");
    });

    EXPECT_EQ(opening_threw, sync_throws);
    EXPECT_EQ(after.open, before.open);
    EXPECT_EQ(outer_text, "after;");
  }
}

}  // namespace
