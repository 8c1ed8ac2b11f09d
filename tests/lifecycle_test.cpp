#include <cstddef>
#include <memory>
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

TEST(Lifecycle, TesterKeepsItsOwnCopyOfTheOptions) {
  VAZUVURIZ_RIX_OPTIONS options = distinct_options("given-");
  VAZUVURIZ_RIX_TESTER tester = quiet_tester(options);
  options = distinct_options("changed afterwards-");
  expect_answers(tester, "given-");
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

// A tester that records its own destruction, to prove that deleting through the interface
// reaches the most derived destructor and so the tester's.
class DestructionProbe : public VAZUVURIZ_RIX_TESTER {
 public:
  DestructionProbe(const VAZUVURIZ_RIX_OPTIONS& given, bool& destroyed)
      : VAZUVURIZ_RIX_TESTER(given), destroyed_(destroyed) {}
  DestructionProbe(const DestructionProbe&) = delete;
  DestructionProbe& operator=(const DestructionProbe&) = delete;
  ~DestructionProbe() override { destroyed_ = true; }

 private:
  bool& destroyed_;
};

TEST(Lifecycle, DestructionThroughTheInterfaceRunsTheImplementationsDestructor) {
  bool destroyed = false;
  std::unique_ptr<TavreneContext> context;
  captured_stdout([&] {
    context =
        std::make_unique<DestructionProbe>(distinct_options(std::string(4096, 'x')), destroyed);
  });
  context.reset();
  EXPECT_TRUE(destroyed);
}

TEST(Lifecycle, HostsCanRecoverTheTesterFromTheInterface) {
  VAZUVURIZ_RIX_TESTER tester = quiet_tester(distinct_options("cast-"));
  TavreneContext& context = tester;
  EXPECT_EQ(dynamic_cast<VAZUVURIZ_RIX_TESTER*>(&context), &tester);
}

}  // namespace
