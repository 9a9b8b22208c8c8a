# SPDX-License-Identifier: MIT
# The same program for 64-bit x86, for testing under 64-bit Wine where 32-bit programs cannot
# run.
set(MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
