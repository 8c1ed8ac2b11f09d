// The entry point of a console program: the C runtime's arguments and environment, the module's
// initialisers, main, and exit, which runs what atexit registered.
#include <stdlib.h>

#include "startup.hpp"

extern "C" int __cdecl main(int argc, char** argv, char** environment);

extern "C" int __cdecl mainCRTStartup() {
  _set_app_type(_crt_console_app);
  _configure_narrow_argv(_crt_argv_unexpanded_arguments);
  _initialize_narrow_environment();
  if (!rix_runtime::run_initializers()) {
    return 255;
  }
  exit(main(*__p___argc(), *__p___argv(), _get_initial_narrow_environment()));
}
