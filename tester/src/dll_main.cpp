#include <windows.h>

// C linkage, or MinGW's runtime would not find this entry point and would supply a silent one.
//
// Runs under the loader lock: no locks, no library loads, no output. The module's static data
// is set up and torn down by the C runtime around this call; the only work left is to turn off
// the thread notifications, which the library does not use.
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(module);
  }
  return TRUE;
}
