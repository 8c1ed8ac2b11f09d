#include <cstddef>
#include <string>
#include <type_traits>

#include <gtest/gtest.h>

#include <vazuvuriz_rix/rix_tester.hpp>

#include "test_support.hpp"

// The binary layout that hosts compiled on their own rely on.
static_assert(std::is_same_v<std::underlying_type_t<LogLevel_t>, int>);
static_assert(std::is_same_v<std::underlying_type_t<Status_t>, int>);
static_assert(sizeof(VAZUVURIZ_RIX_OPTIONS) == 11 * sizeof(std::string));
static_assert(std::is_abstract_v<TavreneContext> && std::has_virtual_destructor_v<TavreneContext>);
static_assert(sizeof(TavreneContext) == sizeof(void*), "the interface holds only its vptr");
static_assert(sizeof(VAZUVURIZ_RIX_TESTER) == sizeof(void*) + sizeof(VAZUVURIZ_RIX_OPTIONS),
              "the tester's only state is its options");
// A tester always starts from options or from another tester, never implicitly.
static_assert(!std::is_default_constructible_v<VAZUVURIZ_RIX_TESTER>);
static_assert(!std::is_convertible_v<VAZUVURIZ_RIX_OPTIONS, VAZUVURIZ_RIX_TESTER>);
static_assert(std::is_copy_constructible_v<VAZUVURIZ_RIX_TESTER> &&
              std::is_copy_assignable_v<VAZUVURIZ_RIX_TESTER>);

namespace {

void expect_answers(TavreneContext& context, const std::string& base) {
  EXPECT_EQ(context.get_config("rix_cfg_id"), base + "cfg_id");
  EXPECT_EQ(context.get_config("rix_proxy_password"), base + "proxy_password");
}

TEST(Lifecycle, CopiesAreIndependentAndAssignmentReplacesOptions) {
  const std::string long_base(1000, 'L');
  VAZUVURIZ_RIX_TESTER original = quiet_tester(distinct_options(long_base));
  VAZUVURIZ_RIX_TESTER copy(original);
  original = quiet_tester(distinct_options("replaced-"));
  expect_answers(copy, long_base);
  expect_answers(original, "replaced-");

  VAZUVURIZ_RIX_TESTER& alias = copy;
  copy = alias;
  expect_answers(copy, long_base);
}

TEST(Lifecycle, HostsCanRecoverTheTesterFromTheInterface) {
  VAZUVURIZ_RIX_TESTER tester = quiet_tester(distinct_options("cast-"));
  TavreneContext& context = tester;
  EXPECT_EQ(dynamic_cast<VAZUVURIZ_RIX_TESTER*>(&context), &tester);
}

}  // namespace
