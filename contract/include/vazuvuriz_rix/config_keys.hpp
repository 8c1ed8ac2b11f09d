#ifndef VAZUVURIZ_RIX_CONFIG_KEYS_HPP
#define VAZUVURIZ_RIX_CONFIG_KEYS_HPP

#include <string>
#include <string_view>

#include <vazuvuriz_rix/options.hpp>

// The keys under which `TavreneContext::get_config` answers, one per field of
// `VAZUVURIZ_RIX_OPTIONS` except `aux`, which no key returns.
//
// The texts are fixed: a key matches only byte for byte and length for length, so case,
// surrounding blanks, prefixes and extensions of a key match nothing. They are compile-time
// constants, so they are usable from any static initializer, in any module, at any time.
inline constexpr char RIX_KEY_CFG_ID[] = "rix_cfg_id";
inline constexpr char RIX_KEY_IP[] = "rix_ip";
inline constexpr char RIX_KEY_PORT[] = "rix_port";
inline constexpr char RIX_KEY_TLS_CA_CERT[] = "rix_tls_ca_cert";
inline constexpr char RIX_KEY_TLS_PROG_CERT[] = "rix_tls_prog_cert";
inline constexpr char RIX_KEY_TLS_PROG_KEY[] = "rix_tls_prog_key";
inline constexpr char RIX_KEY_TLS_PROG_KEY_PASS[] = "rix_tls_prog_key_pass";
inline constexpr char RIX_KEY_PROXY_ADDRESS[] = "rix_proxy_address";
inline constexpr char RIX_KEY_PROXY_USER[] = "rix_proxy_user";
inline constexpr char RIX_KEY_PROXY_PASSWORD[] = "rix_proxy_password";

// One row of the key table: a key and the options field that it names.
struct VAZUVURIZ_RIX_CONFIG_KEY {
  std::string_view key;
  std::string VAZUVURIZ_RIX_OPTIONS::*field;
};

// Every key, in the order in which lookups try them. No two rows name the same field.
inline constexpr VAZUVURIZ_RIX_CONFIG_KEY VAZUVURIZ_RIX_CONFIG_KEYS[] = {
    {RIX_KEY_CFG_ID, &VAZUVURIZ_RIX_OPTIONS::cfg_id},
    {RIX_KEY_IP, &VAZUVURIZ_RIX_OPTIONS::ip},
    {RIX_KEY_PORT, &VAZUVURIZ_RIX_OPTIONS::port},
    {RIX_KEY_TLS_CA_CERT, &VAZUVURIZ_RIX_OPTIONS::tls_ca_cert},
    {RIX_KEY_TLS_PROG_CERT, &VAZUVURIZ_RIX_OPTIONS::tls_prog_cert},
    {RIX_KEY_TLS_PROG_KEY, &VAZUVURIZ_RIX_OPTIONS::tls_prog_key},
    {RIX_KEY_TLS_PROG_KEY_PASS, &VAZUVURIZ_RIX_OPTIONS::tls_prog_key_pass},
    {RIX_KEY_PROXY_ADDRESS, &VAZUVURIZ_RIX_OPTIONS::proxy_address},
    {RIX_KEY_PROXY_USER, &VAZUVURIZ_RIX_OPTIONS::proxy_user},
    {RIX_KEY_PROXY_PASSWORD, &VAZUVURIZ_RIX_OPTIONS::proxy_password},
};

#endif  // VAZUVURIZ_RIX_CONFIG_KEYS_HPP
