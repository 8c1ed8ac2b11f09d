#ifndef VAZUVURIZ_RIX_LINK_CHECK_HPP
#define VAZUVURIZ_RIX_LINK_CHECK_HPP

// The link check: a program or library whose files were built for another C++ standard library
// than the prebuilt part they use does not link.
//
// The tester's options and members, and the capture's text, are std::strings, whose layout
// belongs to one standard library and one string ABI (with Microsoft's, one iterator debug
// level). A host file built for another would link and then crash, or read garbage, where a
// string crosses. So every file that includes rix_tester.hpp or stdout_capture.hpp refers to a
// symbol that only a part built for the file's own standard library defines:
//
//   pgm_vazuvuriz_rix_<part>_built_for_<library's>_used_from_<file's>
//
// <part> is `tester` (the shared library) or `stdout_capture` (its static library), and each
// library is named as standard_library.hpp names it. The part defines the one whose two names
// are the same; any other stays undefined, and the linker names it:
//
//   undefined reference to
//   `pgm_vazuvuriz_rix_tester_built_for_libstdcxx_cxx11_abi_used_from_libstdcxx_old_abi'
//
// Each file's reference lies where no linker option removes it:
//
// - ELF (Linux; x86-64, i386, aarch64): the file adds an empty note (owner
//   "pgm_vazuvuriz_rix", type NT_VERSION), which every linker keeps whatever --gc-sections
//   drops, and an R_*_NONE relocation in it keeps 4 (aarch64: 8) bytes of the file's own alive
//   that refer to the symbol: through the GOT for the shared library, PC-relative for the static
//   one. No symbol of the file's own, no run-time relocation of the note, no code.
//   See it with `readelf -n file.o` and `readelf -r file.o` (.rela.rodata.pgm_vazuvuriz_rix_
//   link_check); in a host, `nm -D host` lists the check symbol as undefined (U), bound to the
//   library at load time like any other import.
// - Windows with MinGW-w64 (GNU ld or lld): a pointer of the file's own in a section
//   `.xdata$pgm_vazuvuriz_rix_link_check`, which the linkers keep with the unwind data.
//   `objdump -r file.o` shows its relocation against `__imp_<symbol>` (the shared library) or
//   `<symbol>` (the capture).
// - Windows with Microsoft's compiler or clang-cl: a linker directive, `/include:<symbol>`, in
//   the file's `.drectve` section; `/OPT:REF` keeps what it names. The DLL's symbol is named
//   through its import, `__imp_<symbol>`.
// - Other ELF targets (arm, ppc64, riscv64, ...): a pointer of the file's own, kept with
//   `retain` where the compiler has it. GCC 10 and older have not, and there --gc-sections may
//   drop it: such hosts are not checked.
//
// Where the check cannot reach:
//
// - A file that includes only the contract (tavrene_context.hpp, options.hpp, config_keys.hpp)
//   is not checked: the contract is headers alone, belongs to no build and may be implemented by
//   code built for any standard library, so there is nothing for it to refer to.
// - g++'s C++20 header units (`import <vazuvuriz_rix/rix_tester.hpp>;` with -fmodules-ts) leave
//   a header's top-level assembly out of the files that import it. Compiling rix_tester.hpp or
//   stdout_capture.hpp itself as a header unit stops with an error below; a header unit of your
//   own that includes them cannot be told apart and drops the check silently. Include the
//   headers instead. (clang's modules and precompiled headers keep the check.)
// - A shared object linked without -z defs may keep undefined symbols, so one built for another
//   standard library links, and is refused when it is loaded: "undefined symbol:" and the name.
// - A program that loads the library with dlopen or LoadLibrary instead of linking it defines
//   PGM_VAZUVURIZ_RIX_TESTER_NO_LINK_CHECK before including rix_tester.hpp: it has no import to
//   check.
//
// The rows that guard each target (tests/CMakeLists.txt; the consumer is tests/consumer):
// package.old_abi_parts.* (a host whose later object and archive member are built for the old
// string ABI: plain, LTO, --gc-sections, -no-pie, ThinLTO, ld -r) and
// package.mismatched_host.* (a whole host of another standard library) in the dev build for
// x86-64, the linux-i386 and linux-aarch64 builds, and the windows build for MinGW-w64;
// .ci/debian11 for g++ 10 on x86-64 and i386; package.mismatched_host.* in the windows-msvc
// build for another iterator debug level and for a MinGW-w64 host; binary_hygiene for what
// the check leaves in a host (nothing exported, eu-elflint and readelf clean).

#include <vazuvuriz_rix/standard_library.hpp>
#include <vazuvuriz_rix/version.hpp>

#if defined(__cpp_modules) && defined(__GNUC__) && !defined(__clang__) && __INCLUDE_LEVEL__ == 1
#error "g++ leaves the link check out of a header unit: include this header where it is used"
#endif

// The check symbol of `part` for a library built for `built_for`, used from `used_from`.
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_SYMBOL(part, built_for, used_from) \
  PGM_VAZUVURIZ_RIX_LINK_CHECK_SYMBOL_(part, built_for, used_from)
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_SYMBOL_(part, built_for, used_from) \
  pgm_vazuvuriz_rix_##part##_built_for_##built_for##_used_from_##used_from

// What this file refers to for `part`, and what a part built for this file's standard library
// defines.
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_REFERENCE(part)                            \
  PGM_VAZUVURIZ_RIX_LINK_CHECK_SYMBOL(part, PGM_VAZUVURIZ_RIX_TESTER_BUILT_FOR, \
                                      PGM_VAZUVURIZ_RIX_TESTER_STANDARD_LIBRARY)
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_DEFINITION(part)                                  \
  PGM_VAZUVURIZ_RIX_LINK_CHECK_SYMBOL(part, PGM_VAZUVURIZ_RIX_TESTER_STANDARD_LIBRARY, \
                                      PGM_VAZUVURIZ_RIX_TESTER_STANDARD_LIBRARY)

#define PGM_VAZUVURIZ_RIX_LINK_CHECK_TEXT(token) PGM_VAZUVURIZ_RIX_LINK_CHECK_TEXT_(token)
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_TEXT_(token) #token
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_CONCAT(a, b) PGM_VAZUVURIZ_RIX_LINK_CHECK_CONCAT_(a, b)
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_CONCAT_(a, b) a##b

// PGM_VAZUVURIZ_RIX_LINK_CHECK_SHARED(part) refers to the check symbol of `part` as defined in a
// shared library (DLL), PGM_VAZUVURIZ_RIX_LINK_CHECK_STATIC(part) as defined in a static library
// linked into the same program or library. Each is a whole declaration, at namespace scope, once
// per file and part.
#if defined(_MSC_VER)
#if defined(_M_IX86)
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_PREFIX "_"
#else
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_PREFIX ""
#endif
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_INCLUDE(name) __pragma(comment(linker, "/include:" name))
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_SHARED(part)                                     \
  PGM_VAZUVURIZ_RIX_LINK_CHECK_INCLUDE(                                               \
      "__imp_" PGM_VAZUVURIZ_RIX_LINK_CHECK_PREFIX PGM_VAZUVURIZ_RIX_LINK_CHECK_TEXT( \
          PGM_VAZUVURIZ_RIX_LINK_CHECK_REFERENCE(part)))
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_STATIC(part)                            \
  PGM_VAZUVURIZ_RIX_LINK_CHECK_INCLUDE(                                      \
      PGM_VAZUVURIZ_RIX_LINK_CHECK_PREFIX PGM_VAZUVURIZ_RIX_LINK_CHECK_TEXT( \
          PGM_VAZUVURIZ_RIX_LINK_CHECK_REFERENCE(part)))

#elif defined(__ELF__) && (defined(__x86_64__) || defined(__i386__) || defined(__aarch64__))
// The note, and the bytes that refer to `reference` (assembly text), which it keeps.
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_ELF(reference)                           \
  __asm__(                                                                    \
      ".pushsection .note.pgm_vazuvuriz_rix,\"a\",%note\n\t"                  \
      ".balign 4\n"                                                           \
      "0:\t.long 2f - 1f, 0, 1\n"                                             \
      "1:\t.asciz \"pgm_vazuvuriz_rix\"\n"                                    \
      "2:\t.balign 4\n\t"                                                     \
      ".reloc 0b, BFD_RELOC_NONE, 3f\n\t"                                     \
      ".popsection\n\t"                                                       \
      ".pushsection .rodata.pgm_vazuvuriz_rix_link_check,\"a\",%progbits\n\t" \
      ".balign 4\n"                                                           \
      "3:\t" reference                                                        \
      "\n\t"                                                                  \
      ".popsection");
#if defined(__x86_64__)
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_THROUGH_GOT(symbol) ".long " symbol "@GOTPCREL"
#elif defined(__i386__)
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_THROUGH_GOT(symbol) ".long " symbol "@GOT"
#else
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_THROUGH_GOT(symbol) \
  "adrp x16, :got:" symbol "\n\tldr x16, [x16, #:got_lo12:" symbol "]"
#endif
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_SHARED(part)                            \
  PGM_VAZUVURIZ_RIX_LINK_CHECK_ELF(PGM_VAZUVURIZ_RIX_LINK_CHECK_THROUGH_GOT( \
      PGM_VAZUVURIZ_RIX_LINK_CHECK_TEXT(PGM_VAZUVURIZ_RIX_LINK_CHECK_REFERENCE(part))))
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_STATIC(part)                              \
  PGM_VAZUVURIZ_RIX_LINK_CHECK_ELF(".long " PGM_VAZUVURIZ_RIX_LINK_CHECK_TEXT( \
      PGM_VAZUVURIZ_RIX_LINK_CHECK_REFERENCE(part)) " - .")

#else
// A pointer of the file's own (internal linkage: nothing to merge away or export) that refers
// to the symbol: on Windows through the import's address slot, a constant at link time, where
// the import itself would need an initialiser run at start-up.
#if defined(_WIN32)
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_KEEP \
  __attribute__((used, section(".xdata$pgm_vazuvuriz_rix_link_check")))
#elif defined(__has_attribute)
#if __has_attribute(retain)
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_KEEP __attribute__((used, retain))
#endif
#endif
#ifndef PGM_VAZUVURIZ_RIX_LINK_CHECK_KEEP
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_KEEP __attribute__((used))
#endif
// The import library's name for the slot, `__imp_<symbol>`, is a reserved identifier.
#if defined(__clang__)
#if __has_warning("-Wreserved-identifier")
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_NAMES_BEGIN \
  _Pragma("clang diagnostic push") _Pragma("clang diagnostic ignored \"-Wreserved-identifier\"")
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_NAMES_END _Pragma("clang diagnostic pop")
#endif
#endif
#ifndef PGM_VAZUVURIZ_RIX_LINK_CHECK_NAMES_BEGIN
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_NAMES_BEGIN
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_NAMES_END
#endif
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_POINTER(part, target)                        \
  PGM_VAZUVURIZ_RIX_LINK_CHECK_NAMES_BEGIN                                        \
  extern "C" const char target;                                                   \
  PGM_VAZUVURIZ_RIX_LINK_CHECK_NAMES_END                                          \
  [[maybe_unused]] static const void* const pgm_vazuvuriz_rix_##part##_link_check \
      PGM_VAZUVURIZ_RIX_LINK_CHECK_KEEP = &target;
#if defined(_WIN32)
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_SHARED(part) \
  PGM_VAZUVURIZ_RIX_LINK_CHECK_POINTER(           \
      part,                                       \
      PGM_VAZUVURIZ_RIX_LINK_CHECK_CONCAT(__imp_, PGM_VAZUVURIZ_RIX_LINK_CHECK_REFERENCE(part)))
#else
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_SHARED(part) \
  PGM_VAZUVURIZ_RIX_LINK_CHECK_POINTER(part, PGM_VAZUVURIZ_RIX_LINK_CHECK_REFERENCE(part))
#endif
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_STATIC(part) \
  PGM_VAZUVURIZ_RIX_LINK_CHECK_POINTER(part, PGM_VAZUVURIZ_RIX_LINK_CHECK_REFERENCE(part))
#endif

#endif  // VAZUVURIZ_RIX_LINK_CHECK_HPP
