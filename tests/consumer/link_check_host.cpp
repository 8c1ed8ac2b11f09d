// A host that makes a tester and nothing more, for the link check to refuse when it is built for
// another C++ standard library than the library's. With CONSUMER_OLD_ABI_PARTS it also calls code
// built for libstdc++'s old std::string ABI, as a host's prebuilt libraries may be: one object
// and one member of an archive of its own, each linked after this file. With
// CONSUMER_USES_THE_CAPTURE_ALONE it captures its own output instead, linking the capture alone;
// with CONSUMER_USES_THE_CAPTURE_TOO it captures the tester's.

#ifdef CONSUMER_USES_THE_CAPTURE_ALONE
#include <cstdio>

#include <vazuvuriz_rix/stdout_capture.hpp>

int main() {
  return captured_stdout([] { std::puts("linked"); }) == "linked\n" ? 0 : 1;
}
#else
#include <vazuvuriz_rix/rix_tester.hpp>

#ifdef CONSUMER_OLD_ABI_PARTS
int old_abi_object();
int old_abi_archive_member();
#endif

#ifdef CONSUMER_USES_THE_CAPTURE_TOO
#include <vazuvuriz_rix/stdout_capture.hpp>
#endif

int main() {
  VAZUVURIZ_RIX_TESTER tester{VAZUVURIZ_RIX_OPTIONS{}};
  TavreneContext& context = tester;
#ifdef CONSUMER_USES_THE_CAPTURE_TOO
  if (captured_stdout([&] { context.log(LOG_INFO, "linked"); }) != "RIX PLUGIN INFO: linked\n") {
    return 1;
  }
#else
  context.log(LOG_INFO, "linked");
#endif
#ifdef CONSUMER_OLD_ABI_PARTS
  return old_abi_object() + old_abi_archive_member();
#else
  return 0;
#endif
}
#endif
