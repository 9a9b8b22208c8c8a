# SPDX-License-Identifier: MIT
# The Windows program for 32-bit x86, as it ships.
set(MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
# SSE2 arithmetic, as on every other build: x87 registers keep 80 bits, so the same expression
# could give other pixels here than on Linux. Every processor a supported Windows runs on has it.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
