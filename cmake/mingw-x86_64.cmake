# Cross build for 64-bit Windows: the test tree of a machine that runs no 32-bit code.
set(VOREL_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
