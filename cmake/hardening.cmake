# The hardening every Debian package gets from dpkg-buildflags, built into the program itself so
# that a hand-made Release build is as hardened as the package: stack protection, position
# independent executables, read-only relocations bound at start-up, and the checked variants of
# the C library's string and memory functions. Linux with GCC or Clang only: MinGW links another
# way and the Windows executables get ASLR and DEP from their PE flags.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux" OR NOT CMAKE_CXX_COMPILER_ID MATCHES "^(GNU|Clang)$")
  return()
endif()

include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-fstack-protector-strong)
add_link_options(LINKER:-z,relro LINKER:-z,now)
# The checks need optimisation (glibc warns without it), and AddressSanitizer replaces the same
# functions with its own checked ones.
if(NOT QUILLARBOR_SANITIZE)
  add_compile_options($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE>
                      $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>)
endif()
