// A plugin as hosts load and unload it, built with default visibility: it uses the tester and
// the capture, and must neither export anything of theirs nor stay loaded.

#include <string>

#include <vazuvuriz_rix/rix_tester.hpp>
#include <vazuvuriz_rix/stdout_capture.hpp>

#ifdef _WIN32
#define RIX_PLUGIN_EXPORT extern "C" __declspec(dllexport)
#else
#define RIX_PLUGIN_EXPORT extern "C"
#endif

RIX_PLUGIN_EXPORT bool rix_capture_plugin_logs_a_line() {
  const std::string console = captured_stdout([] {
    VAZUVURIZ_RIX_TESTER tester{VAZUVURIZ_RIX_OPTIONS{}};
    tester.log(LOG_INFO, "from the plugin");
  });
  const std::string line = "RIX PLUGIN INFO: from the plugin\n";
  return console.size() > line.size() &&
         console.compare(console.size() - line.size(), line.size(), line) == 0;
}

// A capture that lives until the plugin unloads, or the process exits.
namespace {
struct HeldCapture {
  VAZUVURIZ_STDOUT_CAPTURE* capture = nullptr;
  ~HeldCapture() { delete capture; }
} held;
}  // namespace

RIX_PLUGIN_EXPORT void rix_capture_plugin_holds_a_capture() {
  if (held.capture == nullptr) {
    held.capture = new VAZUVURIZ_STDOUT_CAPTURE;
  }
}
