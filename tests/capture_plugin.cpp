// A plugin as hosts load and unload it, built with default visibility: it uses the tester and
// the capture, and must neither export anything of theirs nor stay loaded.

#include <string>

#include <vazuvuriz_rix/rix_tester.hpp>
#include <vazuvuriz_rix/stdout_capture.hpp>

extern "C" bool rix_capture_plugin_logs_a_line() {
  const std::string console = captured_stdout([] {
    VAZUVURIZ_RIX_TESTER tester{VAZUVURIZ_RIX_OPTIONS{}};
    tester.log(LOG_INFO, "from the plugin");
  });
  const std::string line = "RIX PLUGIN INFO: from the plugin\n";
  return console.size() > line.size() &&
         console.compare(console.size() - line.size(), line.size(), line) == 0;
}
