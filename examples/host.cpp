// An example host: creates a tester from built-in options and runs plugin-style code against
// it through `TavreneContext&` alone, as code written for the real RIX service would.

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <string>

#include <vazuvuriz_rix/rix_tester.hpp>

namespace {

VAZUVURIZ_RIX_OPTIONS default_options() {
  VAZUVURIZ_RIX_OPTIONS options;
  options.cfg_id = "bench-07";
  options.aux = "site=lab-2";
  options.ip = "192.0.2.41";
  options.port = "8443";
  options.tls_ca_cert = "/etc/rix/tls/ca.pem";
  options.tls_prog_cert = "/etc/rix/tls/programmer.pem";
  options.tls_prog_key = "/etc/rix/tls/programmer.key";
  options.tls_prog_key_pass = "correct horse battery staple";
  options.proxy_address = "http://proxy.example.net:3128";
  options.proxy_user = "rix-bench";
  options.proxy_password = "s3cret!";
  return options;
}

const char* status_name(Status_t status) {
  switch (status) {
    case STATUS_SUCCESS:
      return "STATUS_SUCCESS";
    case STATUS_FAILURE:
      return "STATUS_FAILURE";
  }
  return "unknown status";
}

void send_and_report(TavreneContext& context, const char* what, const std::uint32_t* request,
                     std::uint64_t length) {
  std::uint32_t* response = nullptr;
  std::uint64_t response_length = 0;
  const Status_t status = context.send_packet(request, length, &response, response_length);
  std::printf("  %s (%" PRIu64 " words): %s, response %s, %" PRIu64 " words\n", what, length,
              status_name(status), response == nullptr ? "null" : "non-null", response_length);
}

// What a plugin does with its context, knowing nothing of the implementation behind it.
void run_plugin(TavreneContext& context) {
  std::printf("\nConfiguration:\n");
  for (const VAZUVURIZ_RIX_CONFIG_KEY& entry : VAZUVURIZ_RIX_CONFIG_KEYS) {
    const std::string key(entry.key);
    std::printf("  %-21s = \"%s\"\n", key.c_str(), context.get_config(key).c_str());
  }

  std::printf("\nLog lines:\n");
  const std::string endpoint =
      context.get_config(RIX_KEY_IP) + ":" + context.get_config(RIX_KEY_PORT);
  context.log(LOG_DEBUG, "connecting to " + endpoint);
  context.log(LOG_INFO, "session opened, config " + context.get_config(RIX_KEY_CFG_ID));
  context.log(LOG_WARNING, "programmer certificate expires in 12 days");
  context.log(LOG_ERROR, "programming aborted at block 3 of 9");

  std::printf("\nPackets:\n");
  const std::uint32_t request[] = {0x52495801u, 0x00000010u, 0xdeadbeefu};
  send_and_report(context, "request", request, 3);
  send_and_report(context, "empty request", request, 0);
}

}  // namespace

int main() {
  VAZUVURIZ_RIX_TESTER tester(default_options());
  run_plugin(tester);
  return 0;
}
