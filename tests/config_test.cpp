#include <ostream>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include <vazuvuriz_rix/config_keys.hpp>
#include <vazuvuriz_rix/rix_tester.hpp>

#include "test_support.hpp"

namespace {

struct KeyCase {
  const char* text;
  std::string_view constant;
  const char* field_name;
};

// The keys as hosts know them, written out apart from the library's own table.
const KeyCase kKeys[] = {
    {"rix_cfg_id", RIX_KEY_CFG_ID, "cfg_id"},
    {"rix_ip", RIX_KEY_IP, "ip"},
    {"rix_port", RIX_KEY_PORT, "port"},
    {"rix_tls_ca_cert", RIX_KEY_TLS_CA_CERT, "tls_ca_cert"},
    {"rix_tls_prog_cert", RIX_KEY_TLS_PROG_CERT, "tls_prog_cert"},
    {"rix_tls_prog_key", RIX_KEY_TLS_PROG_KEY, "tls_prog_key"},
    {"rix_tls_prog_key_pass", RIX_KEY_TLS_PROG_KEY_PASS, "tls_prog_key_pass"},
    {"rix_proxy_address", RIX_KEY_PROXY_ADDRESS, "proxy_address"},
    {"rix_proxy_user", RIX_KEY_PROXY_USER, "proxy_user"},
    {"rix_proxy_password", RIX_KEY_PROXY_PASSWORD, "proxy_password"},
};

TEST(ConfigKeys, NamedConstantsAndTableHoldTheKeyTexts) {
  ASSERT_EQ(std::size(VAZUVURIZ_RIX_CONFIG_KEYS), std::size(kKeys));
  for (std::size_t i = 0; i < std::size(kKeys); ++i) {
    EXPECT_EQ(kKeys[i].constant, kKeys[i].text);
    EXPECT_EQ(VAZUVURIZ_RIX_CONFIG_KEYS[i].key, kKeys[i].text);
  }
}

// Field prefixes that stress lookup and copying: empty, embedded NUL bytes, bytes above 0x7f with
// format directives, and a value far beyond any small-string buffer.
struct AwkwardValue {
  const char* name;
  std::string text;
};
void PrintTo(const AwkwardValue& value, std::ostream* out) { *out << value.name; }
const AwkwardValue kAwkwardValues[] = {
    {"Empty", ""},
    {"NulBytes", std::string("nul\0inside\0", 11)},
    {"HighBytesAndDirectives", "\xff\xfe%s%n"},
    {"SixtyFourKiB", std::string(64 * 1024, 'k')},
};

class ConfigLookup : public testing::TestWithParam<AwkwardValue> {};

TEST_P(ConfigLookup, EveryKeyReturnsItsOwnFieldWhole) {
  const std::string& base = GetParam().text;
  VAZUVURIZ_RIX_TESTER tester = quiet_tester(distinct_options(base));
  TavreneContext& context = tester;
  for (const KeyCase& key : kKeys) {
    EXPECT_EQ(context.get_config(key.text), base + key.field_name) << key.text;
  }
}

INSTANTIATE_TEST_SUITE_P(Values, ConfigLookup, testing::ValuesIn(kAwkwardValues), CaseName());

TEST(ConfigLookup, NearMissesAndAuxYieldEmptyText) {
  const std::string near_misses[] = {
      "RIX_IP",
      "Rix_ip",
      "rix_iP",
      "rix_proxy_addresS",
      "rix_ip ",
      " rix_ip",
      std::string("rix_ip\0", 7),
      "rix_i",
      "rix_ipp",
      "rix_",
      "",
      "ip",
      "aux",
      "rix_aux",
      "rix_tls",
      "rix_proxy",
      "rix_tls_prog_key_pas",
      "rix_tls_prog_key_passs",
      "rix_proxy_password\n",
  };
  VAZUVURIZ_RIX_TESTER tester = quiet_tester(distinct_options("set-"));
  TavreneContext& context = tester;
  for (const std::string& key : near_misses) {
    EXPECT_EQ(context.get_config(key), "") << '"' << key << '"';
  }
}

TEST(ConfigLookup, EmptyRecordAnswersEveryKeyWithEmptyText) {
  VAZUVURIZ_RIX_TESTER tester = quiet_tester(VAZUVURIZ_RIX_OPTIONS{});
  TavreneContext& context = tester;
  for (const KeyCase& key : kKeys) {
    EXPECT_EQ(context.get_config(key.text), "") << key.text;
  }
}

}  // namespace
