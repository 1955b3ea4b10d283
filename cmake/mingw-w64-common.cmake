# Shared by the two MinGW-w64 toolchain files, which set `triple` and the processor first.
#
# Debian's MinGW-w64 comes in two thread models. The win32 one links nothing beyond msvcrt and
# Windows' own DLLs, so Quillarbor.exe built with it starts on Windows XP; the posix one links
# winpthreads, which imports GetTickCount64 (Windows Vista), but only it gives GCC 12 the
# std::mutex that GoogleTest needs. QUILLARBOR_MINGW_THREADS=posix is for test builds.
set(QUILLARBOR_MINGW_THREADS win32 CACHE STRING "MinGW-w64 thread model: win32 or posix")
set_property(CACHE QUILLARBOR_MINGW_THREADS PROPERTY STRINGS win32 posix)
if(NOT QUILLARBOR_MINGW_THREADS MATCHES "^(win32|posix)$")
  message(FATAL_ERROR "QUILLARBOR_MINGW_THREADS is win32 or posix, not ${QUILLARBOR_MINGW_THREADS}")
endif()

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${triple}-gcc-${QUILLARBOR_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${triple}-g++-${QUILLARBOR_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_OBJDUMP ${triple}-objdump)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained executables: Wine then needs no MinGW runtime DLLs beside them. Address space
# layout randomisation and no code run from data pages are asked for even where the linker's
# defaults already give them.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static -static-libgcc -static-libstdc++ -Wl,--dynamicbase -Wl,--nxcompat")
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
