// The parts of the static runtime that every program and DLL needs. Without the STL's headers,
// whose checks of the iterator debug level would bind every program to this file's.
#include <stdlib.h>
#include <vcruntime_exception.h>
#include <vcruntime_new.h>
#include <windows.h>

#include "startup.hpp"

// The import libraries of the runtime's DLLs, which Visual Studio's msvcrt.lib names too; and
// Wine's start-up library, for _fltused and the DllMain of a DLL that defines none.
#pragma comment(lib, "winecrt0")
#ifdef _DEBUG
#pragma comment(lib, "vcruntimed")
#pragma comment(lib, "ucrtd")
#else
#pragma comment(lib, "vcruntime")
#pragma comment(lib, "ucrt")
#endif

// Markers: the linker sorts the sections named .CRT$X<letters> by name and merges them, so the
// compiler's entries (.CRT$XCU, ...) lie between the A and Z markers of their group.
#pragma section(".CRT$XIA", long, read)
#pragma section(".CRT$XIZ", long, read)
#pragma section(".CRT$XCA", long, read)
#pragma section(".CRT$XCZ", long, read)
#pragma section(".CRT$XLA", long, read)
#pragma section(".CRT$XLZ", long, read)

extern "C" {
__declspec(allocate(".CRT$XIA")) _PIFV __xi_a[] = {nullptr};
__declspec(allocate(".CRT$XIZ")) _PIFV __xi_z[] = {nullptr};
__declspec(allocate(".CRT$XCA")) _PVFV __xc_a[] = {nullptr};
__declspec(allocate(".CRT$XCZ")) _PVFV __xc_z[] = {nullptr};

// The image's TLS directory, which the linker points the loader at: thread-local variables,
// among them the epoch of thread-safe statics, lie between _tls_start and _tls_end.
#pragma section(".tls", long, read, write)
#pragma section(".tls$ZZZ", long, read, write)
unsigned long _tls_index = 0;
__declspec(allocate(".tls")) char _tls_start = 0;
__declspec(allocate(".tls$ZZZ")) char _tls_end = 0;
__declspec(allocate(".CRT$XLA")) PIMAGE_TLS_CALLBACK __xl_a = nullptr;
__declspec(allocate(".CRT$XLZ")) PIMAGE_TLS_CALLBACK __xl_z = nullptr;
extern const IMAGE_TLS_DIRECTORY64 _tls_used = {reinterpret_cast<ULONGLONG>(&_tls_start),
                                                reinterpret_cast<ULONGLONG>(&_tls_end),
                                                reinterpret_cast<ULONGLONG>(&_tls_index),
                                                reinterpret_cast<ULONGLONG>(&__xl_a + 1),
                                                0,
                                                {}};
}

namespace {

_onexit_table_t module_exit_table;
bool module_has_exit_table = false;

}  // namespace

bool rix_runtime::run_initializers() {
  if (_initterm_e(__xi_a, __xi_z) != 0) {
    return false;
  }
  _initterm(__xc_a, __xc_z);
  return true;
}

void rix_runtime::use_module_exit_table() {
  _initialize_onexit_table(&module_exit_table);
  module_has_exit_table = true;
}

void rix_runtime::run_module_exit_table() { _execute_onexit_table(&module_exit_table); }

extern "C" int __cdecl atexit(_PVFV function) {
  if (module_has_exit_table) {
    return _register_onexit_function(&module_exit_table, reinterpret_cast<_onexit_t>(function));
  }
  return _crt_atexit(function);
}

extern "C" int __cdecl at_quick_exit(_PVFV function) { return _crt_at_quick_exit(function); }

// Thread-safe local statics, as the MSVC ABI has them: a guard holds 0 until its static is
// initialised, -1 while a thread initialises it, and then the epoch of its completion; a thread
// whose epoch is at least that has seen it initialised.
extern "C" {
int _Init_global_epoch = INT_MIN;
__declspec(thread) int _Init_thread_epoch = INT_MIN;
}

namespace {

SRWLOCK init_lock = SRWLOCK_INIT;
CONDITION_VARIABLE init_done = CONDITION_VARIABLE_INIT;
constexpr int kUninitialized = 0;
constexpr int kBeingInitialized = -1;

}  // namespace

extern "C" void __cdecl _Init_thread_header(int* const guard) {
  AcquireSRWLockExclusive(&init_lock);
  while (*guard == kBeingInitialized) {
    SleepConditionVariableSRW(&init_done, &init_lock, INFINITE, 0);
  }
  if (*guard == kUninitialized) {
    *guard = kBeingInitialized;  // this thread initialises it
  } else {
    _Init_thread_epoch = _Init_global_epoch;
  }
  ReleaseSRWLockExclusive(&init_lock);
}

extern "C" void __cdecl _Init_thread_footer(int* const guard) {
  AcquireSRWLockExclusive(&init_lock);
  ++_Init_global_epoch;
  *guard = _Init_global_epoch;
  _Init_thread_epoch = _Init_global_epoch;
  ReleaseSRWLockExclusive(&init_lock);
  WakeAllConditionVariable(&init_done);
}

extern "C" void __cdecl _Init_thread_abort(int* const guard) {
  AcquireSRWLockExclusive(&init_lock);
  *guard = kUninitialized;
  ReleaseSRWLockExclusive(&init_lock);
  WakeAllConditionVariable(&init_done);
}

// type_info's virtual table, to which every type descriptor points, which Visual Studio's
// vcruntime140.dll exports and Wine's does not. Type descriptors are never destroyed: its one
// slot, the deleting destructor, ends the process.
extern "C" void __cdecl rix_type_info_not_destroyed() { abort(); }
__asm__(
    ".section .rdata,\"dr\"\n\t"
    ".p2align 3\n\t"
    ".quad 0\n\t"  // no complete object locator: type_info's own type is not asked for
    ".globl \"??_7type_info@@6B@\"\n"
    "\"??_7type_info@@6B@\":\n\t"
    ".quad rix_type_info_not_destroyed\n\t"
    ".text");

// The list in which vcruntime140.dll keeps the names that type_info::name() made.
struct __type_info_node {
  alignas(16) void* header[2];
};
__type_info_node __type_info_root_node = {};

// Allocation, as Visual Studio's: malloc, and the new handler while it can free memory.
namespace std {
const nothrow_t nothrow{};
}

void* __cdecl operator new(size_t size) {
  for (;;) {
    if (void* const block = malloc(size == 0 ? 1 : size)) {
      return block;
    }
    if (_callnewh(size) == 0) {
      throw std::bad_alloc();
    }
  }
}
void* __cdecl operator new(size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (...) {
    return nullptr;
  }
}
void* __cdecl operator new[](size_t size) { return operator new(size); }
void* __cdecl operator new[](size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void __cdecl operator delete(void* block) noexcept { free(block); }
void __cdecl operator delete(void* block, const std::nothrow_t&) noexcept { free(block); }
void __cdecl operator delete[](void* block) noexcept { free(block); }
void __cdecl operator delete[](void* block, const std::nothrow_t&) noexcept { free(block); }
void __cdecl operator delete(void* block, size_t) noexcept { free(block); }
void __cdecl operator delete[](void* block, size_t) noexcept { free(block); }

void* __cdecl operator new(size_t size, std::align_val_t alignment) {
  for (;;) {
    if (void* const block = _aligned_malloc(size == 0 ? 1 : size, static_cast<size_t>(alignment))) {
      return block;
    }
    if (_callnewh(size) == 0) {
      throw std::bad_alloc();
    }
  }
}
void* __cdecl operator new(size_t size, std::align_val_t alignment,
                           const std::nothrow_t&) noexcept {
  try {
    return operator new(size, alignment);
  } catch (...) {
    return nullptr;
  }
}
void* __cdecl operator new[](size_t size, std::align_val_t alignment) {
  return operator new(size, alignment);
}
void* __cdecl operator new[](size_t size, std::align_val_t alignment,
                             const std::nothrow_t& tag) noexcept {
  return operator new(size, alignment, tag);
}
void __cdecl operator delete(void* block, std::align_val_t) noexcept { _aligned_free(block); }
void __cdecl operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  _aligned_free(block);
}
void __cdecl operator delete[](void* block, std::align_val_t) noexcept { _aligned_free(block); }
void __cdecl operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  _aligned_free(block);
}
void __cdecl operator delete(void* block, size_t, std::align_val_t) noexcept {
  _aligned_free(block);
}
void __cdecl operator delete[](void* block, size_t, std::align_val_t) noexcept {
  _aligned_free(block);
}
