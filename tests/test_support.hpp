#ifndef RIX_TESTER_TESTS_TEST_SUPPORT_HPP
#define RIX_TESTER_TESTS_TEST_SUPPORT_HPP

#include <string>

#include <gtest/gtest.h>

#include <vazuvuriz_rix/config_keys.hpp>
#include <vazuvuriz_rix/options.hpp>
#include <vazuvuriz_rix/rix_tester.hpp>
#include <vazuvuriz_rix/stdout_capture.hpp>

// What each construction of a tester writes.
inline const std::string kBanner =
    "\n"
    "------------------------------------\n"
    "Programmer RIX Plugin Tester\n"
    "------------------------------------\n";

// A tester whose banner is kept out of the test log.
inline VAZUVURIZ_RIX_TESTER quiet_tester(const VAZUVURIZ_RIX_OPTIONS& options) {
  VAZUVURIZ_STDOUT_CAPTURE banner;
  return VAZUVURIZ_RIX_TESTER(options);
}

// Options whose every field holds `base` followed by the field's own name, so that a key
// wired to the wrong field, or a field lost in a copy, shows.
inline VAZUVURIZ_RIX_OPTIONS distinct_options(const std::string& base) {
  VAZUVURIZ_RIX_OPTIONS options;
  options.aux = base + "aux";
  for (const VAZUVURIZ_RIX_CONFIG_KEY& entry : VAZUVURIZ_RIX_CONFIG_KEYS) {
    options.*entry.field = base + std::string(entry.key).substr(4);  // the key less its "rix_"
  }
  return options;
}

// Checks that every key answers with the field of `options` that it names.
inline void expect_every_key_answers(TavreneContext& context,
                                     const VAZUVURIZ_RIX_OPTIONS& options) {
  for (const VAZUVURIZ_RIX_CONFIG_KEY& entry : VAZUVURIZ_RIX_CONFIG_KEYS) {
    EXPECT_EQ(context.get_config(std::string(entry.key)), options.*entry.field) << entry.key;
  }
}

// Names each instance of a parameterised test after its case's `name`.
struct CaseName {
  template <typename Case>
  std::string operator()(const testing::TestParamInfo<Case>& instance) const {
    return instance.param.name;
  }
};

#endif  // RIX_TESTER_TESTS_TEST_SUPPORT_HPP
