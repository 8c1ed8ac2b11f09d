// The entry point of a DLL: its initialisers when a process attaches it and the functions it
// registered with atexit when the process detaches it, around the DLL's own DllMain.
#include <windows.h>

#include "startup.hpp"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved);

extern "C" BOOL WINAPI _DllMainCRTStartup(HINSTANCE module, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    rix_runtime::use_module_exit_table();
    if (!rix_runtime::run_initializers()) {
      return FALSE;
    }
  }
  const BOOL result = DllMain(module, reason, reserved);
  if (reason == DLL_PROCESS_DETACH || (reason == DLL_PROCESS_ATTACH && !result)) {
    rix_runtime::run_module_exit_table();
  }
  return result;
}
