// What the objects of the stand-in runtime share.
#pragma once

#include <corecrt_startup.h>

extern "C" {
// ucrtbase.dll's, which Wine's headers do not declare.
_ACRTIMP void __cdecl _initterm(_PVFV* first, _PVFV* last);
_ACRTIMP int __cdecl _initterm_e(_PIFV* first, _PIFV* last);
_ACRTIMP int __cdecl _callnewh(size_t size);

// The static constructors and C initialisers that the compiler placed between the markers.
extern _PIFV __xi_a[], __xi_z[];
extern _PVFV __xc_a[], __xc_z[];
}

namespace rix_runtime {

// Runs the module's C initialisers, then its static constructors; false if an initialiser failed.
bool run_initializers();

// For a DLL: its own table of functions registered with atexit, run when it is unloaded. A
// program registers them with ucrtbase.dll's table instead, which exit() runs.
void use_module_exit_table();
void run_module_exit_table();

}  // namespace rix_runtime
