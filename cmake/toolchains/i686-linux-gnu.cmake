# Builds for 32-bit x86 Linux with the machine's own g++ and its multilib (Debian:
# g++-multilib), and runs the build's programs under qemu-i386 (Debian: qemu-user), which
# needs no kernel support for 32-bit programs.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

# On every compile and link, this toolchain's own checks included, whatever CMAKE_CXX_FLAGS a
# preset or a user sets.
add_compile_options(-m32)
add_link_options(-m32)

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386)
