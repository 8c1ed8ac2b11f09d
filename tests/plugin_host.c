/* A host written in C, which brings no C++ standard library into the process: a plugin that
 * uses the capture must unload from it too, though it is the plugin that loads the C++ library.
 * Usage: plugin_host PLUGIN. Exits 0 when the plugin logged its line and unloaded, 77 when the
 * C++ standard library was already loaded (as a sanitizer's runtime may load it), 1 otherwise. */
#include <dlfcn.h>
#include <stdbool.h>
#include <stdio.h>

int main(int argc, char** argv) {
  static const char* const cxx_libraries[] = {"libstdc++.so.6", "libc++.so.1"};
  if (argc != 2) {
    fputs("usage: plugin_host PLUGIN\n", stderr);
    return 1;
  }
  for (size_t i = 0; i < sizeof cxx_libraries / sizeof cxx_libraries[0]; ++i) {
    if (dlopen(cxx_libraries[i], RTLD_NOW | RTLD_NOLOAD) != NULL) {
      fprintf(stderr, "%s is loaded before the plugin\n", cxx_libraries[i]);
      return 77;
    }
  }
  void* plugin = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (plugin == NULL) {
    fprintf(stderr, "%s\n", dlerror());
    return 1;
  }
  bool (*logs_a_line)(void) = (bool (*)(void))dlsym(plugin, "rix_capture_plugin_logs_a_line");
  if (logs_a_line == NULL || !logs_a_line()) {
    fputs("the plugin did not log its line\n", stderr);
    return 1;
  }
  if (dlclose(plugin) != 0 || dlopen(argv[1], RTLD_NOW | RTLD_NOLOAD) != NULL) {
    fputs("the plugin stayed loaded\n", stderr);
    return 1;
  }
  return 0;
}
