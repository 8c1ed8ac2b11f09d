#include <cstdio>
#include <functional>
#include <iostream>
#include <optional>
#include <streambuf>
#include <string>
#include <thread>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#endif

#include <gtest/gtest.h>

#include <vazuvuriz_rix/stdout_capture.hpp>

#include "test_support.hpp"

namespace {

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

TEST(StdoutCapture, NestsAndKeepsAppendingAfterARead) {
  std::string outer_text;
  std::string inner_text;
  std::string outer_text_before_inner;
  {
    VAZUVURIZ_STDOUT_CAPTURE outer;
    std::printf("a\n");
    outer_text_before_inner = outer.text();
    {
      VAZUVURIZ_STDOUT_CAPTURE inner;
      std::printf("b");
      inner_text = inner.text();
    }
    std::printf("c");
    outer_text = outer.text();
  }
  EXPECT_EQ(outer_text_before_inner, "a\n");
  EXPECT_EQ(inner_text, "b");
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

// Unsynchronised, std::cout keeps a buffer of its own and writes to descriptor 1 itself.
TEST(StdoutCapture, TakesUnsynchronisedCoutAndLeavesNothingOfItBehind) {
  std::ios::sync_with_stdio(false);
  std::string inner_text;
  std::string outer_text;
  {
    VAZUVURIZ_STDOUT_CAPTURE outer;
    {
      VAZUVURIZ_STDOUT_CAPTURE inner;
      std::cout << "inside";
      inner_text = inner.text();
      std::cout << " and at the end";
    }
    outer_text = outer.text();
  }
  EXPECT_EQ(inner_text, "inside");
  EXPECT_EQ(outer_text, "");
}

int open_descriptors() {
  int open = 0;
  for (int fd = 0; fd < 1024; ++fd) {
#ifdef _WIN32
    open += _get_osfhandle(fd) != -1 ? 1 : 0;
#else
    open += fcntl(fd, F_GETFD) != -1 ? 1 : 0;
#endif
  }
  return open;
}

// As with output pending for a full device: std::cout cannot flush, and throws when it fails.
TEST(StdoutCapture, OpeningFlushThatThrowsLeavesNothingOpenOrRedirected) {
  struct UnflushableBuffer : std::streambuf {
    int sync() override { return -1; }
  } unflushable;
  std::streambuf* const cout_buffer = std::cout.rdbuf(&unflushable);
  std::cout.exceptions(std::ios::badbit);
  const int open_before = open_descriptors();
  bool threw = false;
  try {
    VAZUVURIZ_STDOUT_CAPTURE capture;
  } catch (const std::ios_base::failure&) {
    threw = true;
  }
  const int open_after = open_descriptors();
  std::cout.exceptions(std::ios::goodbit);
  std::cout.rdbuf(cout_buffer);
  std::cout.clear();

  EXPECT_TRUE(threw);
  EXPECT_EQ(open_after, open_before);
  EXPECT_EQ(captured_stdout([] { std::printf("still captured"); }), "still captured");
}

}  // namespace
