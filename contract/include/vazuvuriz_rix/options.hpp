#ifndef VAZUVURIZ_RIX_OPTIONS_HPP
#define VAZUVURIZ_RIX_OPTIONS_HPP

#include <string>

// The settings a RIX plugin context is created from: how the RIX service is reached.
//
// The record crosses the library boundary by value, so the order and the type of the fields
// are part of the binary contract: never reorder, insert or remove a field.
//
// Every field is free text of any length and any byte values (embedded NUL bytes included).
// Nothing validates, trims or case-folds a value; `port` is never parsed as a number. A
// default-constructed record holds eleven empty strings. Copies are deep and independent;
// assigning a field from itself leaves it unchanged. No field depends on another.
struct VAZUVURIZ_RIX_OPTIONS {
  std::string cfg_id;             // Configuration identifier; key "rix_cfg_id".
  std::string aux;                // Carried with the others but returned by no key.
  std::string ip;                 // Address of the service; key "rix_ip".
  std::string port;               // Port of the service, as text; key "rix_port".
  std::string tls_ca_cert;        // TLS certificate-authority certificate; "rix_tls_ca_cert".
  std::string tls_prog_cert;      // TLS certificate of the programming side; "rix_tls_prog_cert".
  std::string tls_prog_key;       // Private key of the programming side; "rix_tls_prog_key".
  std::string tls_prog_key_pass;  // Pass phrase of that key; "rix_tls_prog_key_pass".
  std::string proxy_address;      // Proxy address; key "rix_proxy_address".
  std::string proxy_user;         // Proxy user name; key "rix_proxy_user".
  std::string proxy_password;     // Proxy password; key "rix_proxy_password".
};

#endif  // VAZUVURIZ_RIX_OPTIONS_HPP
