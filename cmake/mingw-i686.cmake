# Cross build for 32-bit Windows: the shipped programs.
set(VOREL_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
