// Running out of memory at every allocation point, one at a time, of each operation that
// allocates: std::bad_alloc is what leaves, nothing leaks, and what was promised holds.

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <new>
#include <string>
#include <system_error>
#include <utility>

#include <gtest/gtest.h>

#include <vazuvuriz_rix/rix_tester.hpp>

#include "test_support.hpp"

namespace {

constexpr long kNeverFail = -1;
std::atomic<long> successes_left{
    kNeverFail};  // allocations that may still succeed before one fails
std::atomic<long> live_blocks{0};
constexpr std::size_t kAnySize = ~std::size_t{0};
std::atomic<std::size_t> largest_allocation{kAnySize};  // a larger one fails

}  // namespace

// The executable's allocation functions serve the library too. They forward to malloc, so that
// sanitizers still see every block.
void* operator new(std::size_t size) {
  if (successes_left == 0 || size > largest_allocation) {
    throw std::bad_alloc();
  }
  if (successes_left > 0) {
    --successes_left;
  }
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) {
    throw std::bad_alloc();
  }
  ++live_blocks;
  return block;
}
void operator delete(void* block) noexcept {
  if (block != nullptr) {
    --live_blocks;
    std::free(block);
  }
}
void operator delete(void* block, std::size_t) noexcept { operator delete(block); }
// Replaced too, rather than left to reach operator new through the C++ library: valgrind takes
// the library's own in hand.
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete[](void* block) noexcept { operator delete(block); }
void operator delete[](void* block, std::size_t) noexcept { operator delete(block); }

namespace {

// Lets `successes` more allocations succeed, then fails the next one.
void fail_allocation_after(long successes) { successes_left = successes; }

// Runs `operation` armed by `fail_allocation_after` and disarms. Returns whether it ran out of
// memory; any other exception fails the test.
template <typename Operation>
bool ran_out_of_memory(Operation&& operation) {
  bool ran_out = false;
  try {
    operation();
  } catch (const std::bad_alloc&) {
    ran_out = true;
  }
  successes_left = kNeverFail;
  return ran_out;
}

// Runs `attempt(point)` for point 0, 1, 2, ... until it no longer runs out of memory, and
// returns the number of allocation points so walked. Each attempt sets up, arms the failure of
// allocation `point` right before the operation under test, checks what must hold, tears down
// and returns whether it ran out; when it has returned, every block it allocated is free again.
template <typename Attempt>
long walk_allocation_points(Attempt&& attempt) {
  for (long point = 0;; ++point) {
    const long live_before = live_blocks;
    const bool ran_out = attempt(point);
    EXPECT_EQ(live_blocks, live_before) << "leaked at allocation point " << point;
    if (!ran_out) {
      return point;
    }
  }
}

// Every field of the record, in declaration order.
constexpr std::string VAZUVURIZ_RIX_OPTIONS::*kAllOptionFields[] = {
    &VAZUVURIZ_RIX_OPTIONS::cfg_id,
    &VAZUVURIZ_RIX_OPTIONS::aux,
    &VAZUVURIZ_RIX_OPTIONS::ip,
    &VAZUVURIZ_RIX_OPTIONS::port,
    &VAZUVURIZ_RIX_OPTIONS::tls_ca_cert,
    &VAZUVURIZ_RIX_OPTIONS::tls_prog_cert,
    &VAZUVURIZ_RIX_OPTIONS::tls_prog_key,
    &VAZUVURIZ_RIX_OPTIONS::tls_prog_key_pass,
    &VAZUVURIZ_RIX_OPTIONS::proxy_address,
    &VAZUVURIZ_RIX_OPTIONS::proxy_user,
    &VAZUVURIZ_RIX_OPTIONS::proxy_password,
};

// Longer than any small-string buffer, so that copying a field allocates exactly once.
const std::string kLong(100, 'L');
constexpr long kFields = 11;

std::size_t field_index(std::string VAZUVURIZ_RIX_OPTIONS::*field) {
  return static_cast<std::size_t>(
      std::find(std::begin(kAllOptionFields), std::end(kAllOptionFields), field) -
      std::begin(kAllOptionFields));
}

// The constructor moves its own copy of the record in and so allocates nothing: the only
// allocation points of a construction are the caller's copy of the record, before any banner.
TEST(OutOfMemory, ConstructionFailsOnlyWhileTheRecordIsCopiedBeforeTheBanner) {
  const VAZUVURIZ_RIX_OPTIONS options = distinct_options(kLong);
  const long copy_points = walk_allocation_points([&](long point) {
    std::string console;
    bool ran_out = false;
    {
      VAZUVURIZ_STDOUT_CAPTURE capture;
      fail_allocation_after(point);
      ran_out = ran_out_of_memory([&] { VAZUVURIZ_RIX_TESTER tester(options); });
      console = capture.text();
    }
    if (ran_out) {
      EXPECT_EQ(console, "") << "at allocation point " << point;
    }
    return ran_out;
  });
  EXPECT_EQ(copy_points, kFields);

  const long moved_points = walk_allocation_points([&](long point) {
    VAZUVURIZ_RIX_OPTIONS given = options;
    const VAZUVURIZ_STDOUT_CAPTURE banner;
    fail_allocation_after(point);
    return ran_out_of_memory([&] { VAZUVURIZ_RIX_TESTER tester(std::move(given)); });
  });
  EXPECT_EQ(moved_points, 0);
}

TEST(OutOfMemory, FailedCopyLeavesTheSourceWhole) {
  const VAZUVURIZ_RIX_OPTIONS options = distinct_options(kLong);
  VAZUVURIZ_RIX_TESTER source = quiet_tester(options);
  const long points = walk_allocation_points([&](long point) {
    fail_allocation_after(point);
    const bool ran_out = ran_out_of_memory([&] { VAZUVURIZ_RIX_TESTER copy(source); });
    expect_every_key_answers(source, options);
    return ran_out;
  });
  EXPECT_EQ(points, kFields);
}

TEST(OutOfMemory, FailedAssignmentKeepsEarlierFieldsNewAndLaterFieldsOld) {
  const VAZUVURIZ_RIX_OPTIONS old_options = distinct_options("old-");  // no heap: short
  const VAZUVURIZ_RIX_OPTIONS new_options = distinct_options(kLong);
  const VAZUVURIZ_RIX_TESTER source = quiet_tester(new_options);
  const long points = walk_allocation_points([&](long point) {
    VAZUVURIZ_RIX_TESTER target = quiet_tester(old_options);
    fail_allocation_after(point);
    if (!ran_out_of_memory([&] { target = source; })) {
      expect_every_key_answers(target, new_options);
      return false;
    }
    // Fields are assigned in declaration order, each with one allocation; `aux` answers to no
    // key, so it alone goes unseen.
    for (const VAZUVURIZ_RIX_CONFIG_KEY& entry : VAZUVURIZ_RIX_CONFIG_KEYS) {
      const auto index = static_cast<long>(field_index(entry.field));
      const std::string value = target.get_config(std::string(entry.key));
      if (index < point) {
        EXPECT_EQ(value, new_options.*entry.field) << entry.key << " at point " << point;
      } else if (index > point) {
        EXPECT_EQ(value, old_options.*entry.field) << entry.key << " at point " << point;
      } else {
        EXPECT_TRUE(value == old_options.*entry.field || value == new_options.*entry.field)
            << entry.key << " at point " << point;
      }
    }
    return true;
  });
  EXPECT_EQ(points, kFields);
}

TEST(OutOfMemory, FailedLookupLeavesTheTesterAnsweringAsBefore) {
  const VAZUVURIZ_RIX_OPTIONS options = distinct_options(kLong);
  VAZUVURIZ_RIX_TESTER tester = quiet_tester(options);
  TavreneContext& context = tester;
  for (const VAZUVURIZ_RIX_CONFIG_KEY& entry : VAZUVURIZ_RIX_CONFIG_KEYS) {
    const std::string key(entry.key);
    const long points = walk_allocation_points([&](long point) {
      fail_allocation_after(point);
      const bool ran_out = ran_out_of_memory([&] { context.get_config(key); });
      expect_every_key_answers(context, options);
      return ran_out;
    });
    EXPECT_EQ(points, 1) << key;
  }
}

// A line of up to 2,024 bytes is assembled on the stack; a longer one on the heap, and out of
// memory there it throws and is not written.
TEST(OutOfMemory, ALogLineAllocatesOnlyPastTheStackBuffer) {
  VAZUVURIZ_RIX_TESTER tester = quiet_tester(VAZUVURIZ_RIX_OPTIONS{});
  constexpr std::size_t kLongestStackLine = 2024;
  const std::string label = "RIX PLUGIN INFO: ";
  for (const std::size_t line_size : {kLongestStackLine, kLongestStackLine + 1}) {
    const std::string message(line_size - label.size() - 1, 'm');
    std::string console;
    bool ran_out = false;
    {
      VAZUVURIZ_STDOUT_CAPTURE capture;
      fail_allocation_after(0);
      ran_out = ran_out_of_memory([&] { tester.log(LOG_INFO, message); });
      console = capture.text();
    }
    EXPECT_EQ(ran_out, line_size > kLongestStackLine) << line_size;
    EXPECT_EQ(console, ran_out ? "" : label + message + "\n") << line_size;
  }
}

// A capture that cannot return what was written throws rather than return less, and keeps it:
// once memory is back, it returns it all.
TEST(OutOfMemory, ACaptureThatCannotReturnWhatWasWrittenThrows) {
  const std::string megabyte(1 << 20, 'm');
  VAZUVURIZ_STDOUT_CAPTURE capture;
  std::fwrite(megabyte.data(), 1, megabyte.size(), stdout);
  largest_allocation = 64 * 1024;
  EXPECT_THROW(capture.text(), std::bad_alloc);
  largest_allocation = kAnySize;
  EXPECT_EQ(capture.text().size(), megabyte.size());
}

}  // namespace
