#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include <vazuvuriz_rix/stdout_capture.hpp>

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

}  // namespace
