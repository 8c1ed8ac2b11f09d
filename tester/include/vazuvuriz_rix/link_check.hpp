#ifndef VAZUVURIZ_RIX_LINK_CHECK_HPP
#define VAZUVURIZ_RIX_LINK_CHECK_HPP

// The link check: a program or library whose files were built for another C++ standard library
// than the prebuilt part they use does not link.
//
// The tester's options and members, and the capture's text, are std::strings, whose layout
// belongs to one standard library and one string ABI (with Microsoft's, one iterator debug
// level). A host file built for another would link and then crash, or read garbage, where a
// string crosses. So every file that includes rix_tester.hpp or stdout_capture.hpp refers to a
// symbol that names the file's own standard library, as standard_library.hpp names it:
//
//   pgm_vazuvuriz_rix_<part>_built_for_<file's>
//
// <part> is `tester` (the shared library) or `stdout_capture` (its static library). A part
// defines the one name of the standard library that its own compile used, in whatever
// configuration it was built; any other stays undefined, and the linker names the file's:
//
//   undefined reference to `pgm_vazuvuriz_rix_tester_built_for_libstdcxx_old_abi'
//
// says that a file built for libstdc++'s old string ABI met a part built for another.
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
//   the file's `.drectve` section; `/OPT:REF` keeps what it names. The DLL's symbol, a
//   function, is named through its import, `__imp_<symbol>`, which a delay-loaded DLL has too.
// - Other ELF targets (arm, ppc64, riscv64, ...): a pointer of the file's own, kept with
//   `retain` where the compiler has it. GCC 10 and older have not, and there --gc-sections may
//   drop it: such hosts are not checked.
//
// Where the check cannot reach (a file that includes only the contract, a plugin linked
// without -z defs, g++'s C++20 header units, a program that loads the library itself) is said
// in the project's docs/consuming.md, "The C++ standard library".

#include <vazuvuriz_rix/standard_library.hpp>

#if defined(__cpp_modules) && defined(__GNUC__) && !defined(__clang__) && __INCLUDE_LEVEL__ == 1
#error "g++ leaves the link check out of a header unit: include this header where it is used"
#endif

// What a file of this standard library refers to for `part`, and what a part built for it
// defines.
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_REFERENCE(part) \
  PGM_VAZUVURIZ_RIX_LINK_CHECK_NAME(part, PGM_VAZUVURIZ_RIX_TESTER_STANDARD_LIBRARY)
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_NAME(part, library) \
  PGM_VAZUVURIZ_RIX_LINK_CHECK_PASTE(part, library)
#define PGM_VAZUVURIZ_RIX_LINK_CHECK_PASTE(part, library) \
  pgm_vazuvuriz_rix_##part##_built_for_##library

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
