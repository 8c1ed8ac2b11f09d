// Loads the capture plugin, which starts a capture that it keeps, and then unloads the plugin
// or exits with the capture alive: neither may hang. Usage: capture_module_host PLUGIN
// unload|exit. After an unload, standard output is back where it was.
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: capture_module_host PLUGIN unload|exit\n", stderr);
    return 1;
  }
#ifdef _WIN32
  const HMODULE plugin = LoadLibraryA(argv[1]);
  const auto hold = plugin == nullptr
                        ? nullptr
                        : reinterpret_cast<void (*)()>(reinterpret_cast<void*>(
                              GetProcAddress(plugin, "rix_capture_plugin_holds_a_capture")));
#else
  void* const plugin = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  const auto hold =
      plugin == nullptr
          ? nullptr
          : reinterpret_cast<void (*)()>(dlsym(plugin, "rix_capture_plugin_holds_a_capture"));
#endif
  if (hold == nullptr) {
    std::fputs("cannot load the plugin\n", stderr);
    return 1;
  }
  hold();
  std::printf("captured by the plugin\n");
  if (std::strcmp(argv[2], "unload") == 0) {
#ifdef _WIN32
    FreeLibrary(plugin);
#else
    dlclose(plugin);
#endif
    std::printf("stdout is back\n");
  }
  return 0;
}
