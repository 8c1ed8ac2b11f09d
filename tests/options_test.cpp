#include <gtest/gtest.h>

#include <vazuvuriz_rix/options.hpp>

#include "test_support.hpp"

namespace {

TEST(OptionsRecord, DefaultRecordAndItsCopiesAreEmpty) {
  const VAZUVURIZ_RIX_OPTIONS fresh;
  const VAZUVURIZ_RIX_OPTIONS constructed = fresh;
  VAZUVURIZ_RIX_OPTIONS assigned = distinct_options("old-");
  assigned = fresh;
  for (const auto field : kAllOptionFields) {
    EXPECT_EQ(fresh.*field, "");
    EXPECT_EQ(constructed.*field, "");
    EXPECT_EQ(assigned.*field, "");
  }
}

class OptionsCopy : public testing::TestWithParam<AwkwardValue> {};

TEST_P(OptionsCopy, CopiesCarryEveryFieldWhole) {
  const VAZUVURIZ_RIX_OPTIONS source = distinct_options(GetParam().text);
  const VAZUVURIZ_RIX_OPTIONS constructed = source;
  VAZUVURIZ_RIX_OPTIONS assigned = distinct_options("an old value beyond the small-string buffer ");
  assigned = source;
  VAZUVURIZ_RIX_OPTIONS self_assigned = source;
  VAZUVURIZ_RIX_OPTIONS& alias = self_assigned;
  self_assigned = alias;
  for (const auto field : kAllOptionFields) {
    EXPECT_EQ(constructed.*field, source.*field);
    EXPECT_EQ(assigned.*field, source.*field);
    EXPECT_EQ(self_assigned.*field, source.*field);
  }
}

INSTANTIATE_TEST_SUITE_P(Values, OptionsCopy, testing::ValuesIn(kAwkwardValues), CaseName());

}  // namespace
