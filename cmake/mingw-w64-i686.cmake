# Cross-compiles Quillarbor.exe, the core and its tests for 32-bit Windows (x86) with Debian's
# MinGW-w64; the tests run under Wine (wine32). The 32-bit program runs on every Windows from XP
# SP3 on, 64-bit Windows included.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# Doubles rounded to double precision at each step, as on x64 and by every Windows compiler's
# start-up: MinGW's own sets the x87 unit to 64-bit mantissas, which rounds some halfway cases
# of the countdown the other way (0.1 minute drew 4 seconds instead of 5). Needs no SSE2, which
# many processors that run XP lack.
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " /usr/${triple}/lib/CRT_fp8.o")
