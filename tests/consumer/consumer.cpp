#include <cstdio>
#include <string>

#include <vazuvuriz_rix/rix_tester.hpp>
#include <vazuvuriz_rix/stdout_capture.hpp>

int main() {
  VAZUVURIZ_RIX_OPTIONS options;
  options.port = "8443";
  std::string console;
  std::string port;
  bool recovered = false;
  {
    VAZUVURIZ_STDOUT_CAPTURE capture;
    VAZUVURIZ_RIX_TESTER tester(options);
    // On the tester itself, as a host may: the link needs each member's own exported symbol.
    port = tester.get_config(RIX_KEY_PORT);
    tester.log(LOG_INFO, "consumed");
    TavreneContext& context = tester;
    recovered = dynamic_cast<VAZUVURIZ_RIX_TESTER*>(&context) == &tester;
    console = capture.text();
  }
  const std::string expected_tail =
      "Plugin Tester\n------------------------------------\n"
      "RIX PLUGIN INFO: consumed\n";
  const bool console_ok = console.size() >= expected_tail.size() &&
                          console.compare(console.size() - expected_tail.size(),
                                          expected_tail.size(), expected_tail) == 0;
  if (port != "8443" || !console_ok || !recovered) {
    std::fprintf(stderr, "unexpected: port \"%s\", console \"%s\", tester %s from the interface\n",
                 port.c_str(), console.c_str(), recovered ? "recovered" : "not recovered");
    return 1;
  }
  const std::string header_version = std::to_string(PGM_VAZUVURIZ_RIX_TESTER_VERSION_MAJOR) + "." +
                                     std::to_string(PGM_VAZUVURIZ_RIX_TESTER_VERSION_MINOR) + "." +
                                     std::to_string(PGM_VAZUVURIZ_RIX_TESTER_VERSION_PATCH);
  if (header_version != PGM_VAZUVURIZ_RIX_TESTER_VERSION_STRING ||
      header_version != PACKAGE_VERSION) {
    std::fprintf(stderr, "the headers say version %s (\"%s\"), the package %s\n",
                 header_version.c_str(), PGM_VAZUVURIZ_RIX_TESTER_VERSION_STRING, PACKAGE_VERSION);
    return 1;
  }
  std::printf("installed package works\n");
  return 0;
}
