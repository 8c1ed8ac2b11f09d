// Loads the capture plugin, which logs a line into a capture of its own and then starts a
// capture that it keeps, and unloads the plugin or exits with the capture alive: neither may
// hang. Usage: capture_module_host PLUGIN unload|exit. After an unload, standard output is back
// where it was, and (on POSIX systems) the plugin is no longer loaded.
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
  const auto function = [plugin](const char* name) {
    return plugin == nullptr ? nullptr : reinterpret_cast<void*>(GetProcAddress(plugin, name));
  };
#else
  void* const plugin = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  const auto function = [plugin](const char* name) {
    return plugin == nullptr ? nullptr : dlsym(plugin, name);
  };
#endif
  const auto logs_a_line = reinterpret_cast<bool (*)()>(function("rix_capture_plugin_logs_a_line"));
  const auto hold = reinterpret_cast<void (*)()>(function("rix_capture_plugin_holds_a_capture"));
  if (logs_a_line == nullptr || hold == nullptr || !logs_a_line()) {
    std::fputs("cannot load the plugin, or it logged no line\n", stderr);
    return 1;
  }
  hold();
  std::printf("captured by the plugin\n");
  if (std::strcmp(argv[2], "unload") == 0) {
#ifdef _WIN32
    FreeLibrary(plugin);
#else
    if (dlclose(plugin) != 0 || dlopen(argv[1], RTLD_NOW | RTLD_NOLOAD) != nullptr) {
      std::fputs("the plugin stayed loaded\n", stderr);
      return 1;
    }
#endif
    std::printf("stdout is back\n");
  }
  return 0;
}
