#ifndef VAZUVURIZ_RIX_STDOUT_LOCK_HPP
#define VAZUVURIZ_RIX_STDOUT_LOCK_HPP

// The lock that the C runtime's own stdio calls take on stdout: a capture holds it while it
// switches descriptor 1, so that a line written in one stdio call (a log line) lands whole on
// one side.

#include <cstdio>

#if defined(__MINGW32__) && !defined(_UCRT)
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace rix_stdout_lock {

#if defined(__MINGW32__) && !defined(_UCRT)
// MinGW-w64 links a `_lock_file` of its own against msvcrt.dll, which numbers the stream locks
// as an older runtime did and so takes a lock that msvcrt.dll's own fwrite and fputs never
// take. The functions that msvcrt.dll exports take the one they do.
struct Functions {
  void(__cdecl* lock)(FILE*);
  void(__cdecl* unlock)(FILE*);
};

inline const Functions& runtime_functions() {
  static const Functions functions = [] {
    const HMODULE runtime = GetModuleHandleW(L"msvcrt.dll");
    const FARPROC lock = runtime == nullptr ? nullptr : GetProcAddress(runtime, "_lock_file");
    const FARPROC unlock = runtime == nullptr ? nullptr : GetProcAddress(runtime, "_unlock_file");
    if (lock == nullptr || unlock == nullptr) {
      return Functions{_lock_file, _unlock_file};
    }
    // Through void (*)(), which converts to any function pointer type without a warning.
    return Functions{reinterpret_cast<void(__cdecl*)(FILE*)>(reinterpret_cast<void (*)()>(lock)),
                     reinterpret_cast<void(__cdecl*)(FILE*)>(reinterpret_cast<void (*)()>(unlock))};
  }();
  return functions;
}

inline void lock() { runtime_functions().lock(stdout); }
inline void unlock() { runtime_functions().unlock(stdout); }
#elif defined(_WIN32)
inline void lock() { _lock_file(stdout); }
inline void unlock() { _unlock_file(stdout); }
#else
inline void lock() { flockfile(stdout); }
inline void unlock() { funlockfile(stdout); }
#endif

// Holds the lock while it lives. The lock is recursive: stdio calls made meanwhile take it again.
class Locked {
 public:
  Locked() { lock(); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
  ~Locked() { unlock(); }
};

}  // namespace rix_stdout_lock

#endif  // VAZUVURIZ_RIX_STDOUT_LOCK_HPP
