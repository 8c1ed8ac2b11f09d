#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/resource.h>
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

TEST(StdoutCapture, TakesOutputFarLargerThanAPipeBuffer) {
  std::string written(1 << 20, '\0');
  for (std::size_t i = 0; i < written.size(); ++i) {
    written[i] = static_cast<char>(i % 251);
  }
  std::string captured;
  {
    VAZUVURIZ_STDOUT_CAPTURE capture;
    std::fwrite(written.data(), 1, written.size(), stdout);
    captured = capture.text();
  }
  EXPECT_EQ(captured.size(), written.size());
  EXPECT_TRUE(captured == written);
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
  EXPECT_EQ(inner_text, "b");
  // Descriptor 2 stays closed: what is written to it reaches no file, the real stdout included.
  EXPECT_EQ(written_to_closed_stderr, -1);
  // The original stdout kept aside, and a temporary file each.
  EXPECT_EQ(during.open, before.open + 3);
  EXPECT_EQ(during.inheritable, before.inheritable);
  EXPECT_EQ(function_text, "d");
  EXPECT_EQ(outer_text, "a\nc");
}

// A starts, B starts, A ends, B ends: B keeps the output until it ends, and then stdout is
// back where it was before A, whether one thread or two run the captures.
TEST(StdoutCapture, CapturesThatOverlapWithoutNestingPutStdoutBack) {
  const std::function<void(const std::function<void()>&)> kRunners[] = {
      [](const std::function<void()>& step) { step(); },
      [](const std::function<void()>& step) { std::thread(step).join(); },
  };
  for (const auto& run_on_a_thread_of_its_own : kRunners) {
    std::optional<VAZUVURIZ_STDOUT_CAPTURE> a;
    std::optional<VAZUVURIZ_STDOUT_CAPTURE> b;
    std::string a_text;
    std::string b_text;
    std::string before_text;
    {
      VAZUVURIZ_STDOUT_CAPTURE before;
      run_on_a_thread_of_its_own([&] { a.emplace(); });
      std::printf("1");
      run_on_a_thread_of_its_own([&] { b.emplace(); });
      std::printf("2");
      a_text = a->text();
      run_on_a_thread_of_its_own([&] { a.reset(); });
      std::printf("3");
      b_text = b->text();
      run_on_a_thread_of_its_own([&] { b.reset(); });
      std::printf("4");
      before_text = before.text();
    }
    EXPECT_EQ(a_text, "1");
    EXPECT_EQ(b_text, "23");
    EXPECT_EQ(before_text, "4");
  }
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
template <typename Action>
void with_stdout_closed(Action action) {
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
template <typename Action>
void with_output_pending_for_a_failing_stdout(Action action) {
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
// as a full disk would (a streambuf's own overflow takes nothing).
class HostFileCout : public std::streambuf {
 public:
  HostFileCout() : cout_buffer_(std::cout.rdbuf(this)) {}
  ~HostFileCout() override { std::cout.rdbuf(cout_buffer_); }

 private:
  std::streambuf* cout_buffer_;
};

// A capture that cannot take the output throws rather than return less, and leaves nothing open
// and no error on stdout or std::cout that it did not carry before. What the host's own std::cout
// meets is the host's: it charges the capture with nothing and stays.
TEST(StdoutCapture, ThrowsRatherThanLoseOutputLeavingNothingBehind) {
  using Fault = std::function<void(const std::function<void()>&)>;
#ifndef _WIN32
  const Fault with_file_size_limit = [](const std::function<void()>& attempt) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{64 * 1024, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &limit);
    attempt();
    limit.rlim_cur = RLIM_INFINITY;
    setrlimit(RLIMIT_FSIZE, &limit);
  };
#endif
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
    bool stdout_error_after = false;  // the host's, which the capture keeps
  };
  const Row kFaults[] = {
      {"stdout closed: nowhere to put it back to", with_stdout_closed<std::function<void()>>,
       printf_megabyte, nullptr, std::ios::goodbit},
#ifndef _WIN32
      {"TMPDIR names no folder",
       [](const std::function<void()>& attempt) {
         const char* const tmpdir = std::getenv("TMPDIR");
         const std::string kept = tmpdir != nullptr ? tmpdir : "";
         setenv("TMPDIR", "/nonexistent/rix", 1);
         attempt();
         if (tmpdir != nullptr) {
           setenv("TMPDIR", kept.c_str(), 1);
         } else {
           unsetenv("TMPDIR");
         }
       },
       printf_megabyte, nullptr, std::ios::goodbit},
      {"the temporary file cannot grow past 64 KiB, as in a full folder", with_file_size_limit,
       printf_megabyte, nullptr, std::ios::goodbit},
      {"a std::cout write lost to a temporary file that cannot grow", with_file_size_limit,
       [&] { std::cout << megabyte; }, nullptr, std::ios::goodbit},
#endif
      {"std::cout pointed at a file of the host's, which fails",
       [](const std::function<void()>& attempt) {
         const HostFileCout host_file;
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
      // The host's error, met as the capture flushes what the host wrote: std::cout, whose flush
      // flushes stdio, must not take it. The UCRT cannot set an error again once cleared, so there
      // the capture cannot see its own losses past the host's, and throws rather than vouch.
      {"printf output pending for a stdout that fails, std::cout never used",
       with_output_pending_for_a_failing_stdout<std::function<void()>>,
       [] { std::printf("captured"); },
#ifdef _UCRT
       nullptr,
#else
       "captured",
#endif
       std::ios::goodbit, true},
  };
  for (const Row& row : kFaults) {
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
    EXPECT_EQ(threw, row.kept == nullptr);
    if (row.kept != nullptr) {
      EXPECT_EQ(text, row.kept);
    }
    EXPECT_EQ(open_after, open_before);
    EXPECT_EQ(stdout_error, row.stdout_error_after);
    EXPECT_EQ(cout_after, row.cout_after);
  }

  with_stdout_closed([] { std::fputs("lost", stdout), std::fflush(stdout); });
  ASSERT_NE(std::ferror(stdout), 0);
#ifdef _UCRT
  // The UCRT cannot set the error again once cleared: the capture cannot vouch for its text.
  EXPECT_THROW(captured_stdout([] { std::printf("not vouched for"); }), std::system_error);
#else
  EXPECT_EQ(captured_stdout([] { std::printf("still captured"); }), "still captured");
#endif
  EXPECT_NE(std::ferror(stdout), 0);
  std::clearerr(stdout);
}

// While it lives, std::cout cannot flush, as with output pending for a full device, and has its
// exceptions enabled: it throws a failure of its own, or what its buffer's sync threw.
class UnflushableCout : public std::streambuf {
 public:
  explicit UnflushableCout(bool sync_throws)
      : sync_throws_(sync_throws), cout_buffer_(std::cout.rdbuf(this)) {
    std::cout.exceptions(std::ios::badbit);
  }
  ~UnflushableCout() override {
    std::cout.exceptions(std::ios::goodbit);
    std::cout.rdbuf(cout_buffer_);  // and clears its error state
  }

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

TEST(StdoutCapture, FailingCoutFlushStopsACaptureStartingButNotOneEnding) {
  for (const bool sync_throws : {false, true}) {
    SCOPED_TRACE(sync_throws ? "sync throws" : "sync fails");
    const Descriptors before = descriptors();
    bool opening_threw = false;
    {
      const UnflushableCout unflushable(sync_throws);
      try {
        VAZUVURIZ_STDOUT_CAPTURE capture;
      } catch (...) {
        opening_threw = true;
      }
    }
    const Descriptors after = descriptors();
    // Ending, the capture still flushes stdio's stdout, and lets nothing out.
    const std::string outer_text = captured_stdout([sync_throws] {
      std::optional<VAZUVURIZ_STDOUT_CAPTURE> inner(std::in_place);
      std::printf("inside;");
      {
        const UnflushableCout unflushable(sync_throws);
        inner.reset();
      }
      std::printf("after;");
    });

    EXPECT_TRUE(opening_threw);
    EXPECT_EQ(after.open, before.open);
    EXPECT_EQ(outer_text, "after;");
  }
}

}  // namespace
