# Helpers for the project's libraries and tests.

# vorel_library(NAME SOURCES ... [LIBS ...]): a static library with the project's warnings.
function(vorel_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_SOURCES)
    # Nothing to compile yet: a name the other targets can already link against.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${VOREL_ROOT})
    target_link_libraries(${name} INTERFACE ${ARG_LIBS})
    return()
  endif()
  add_library(${name} STATIC ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${VOREL_WARNINGS})
  target_include_directories(${name} PUBLIC ${VOREL_ROOT})
  if(ARG_LIBS)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  endif()
endfunction()

# vorel_native_test(NAME SOURCES ... [LIBS ...]): logic tests, run natively, one ctest
# entry per test case. Not built in the Windows tree.
function(vorel_native_test name)
  if(VOREL_WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${VOREL_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS native)
endfunction()

# vorel_wine_test(NAME [LOCKS ...] SOURCES ... [LIBS ...] [DEPENDS ...]): tests of the Win32
# adapters and programs, run under Wine through the crosscompiling emulator. One ctest entry
# per executable; GoogleTest's own summary shows the cases. The Wine tests run in parallel;
# LOCKS names what the user's session holds only once, and tests naming the same lock run
# one at a time: "session" is the settings key, the desktop's wallpaper, the programs'
# window classes, the tray, and the viewer's DDE name (whose connection is a broadcast to
# every top-level window of the session).
function(vorel_wine_test name)
  if(NOT VOREL_WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "LOCKS;SOURCES;LIBS;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${VOREL_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  if(ARG_DEPENDS)
    add_dependencies(${name} ${ARG_DEPENDS})
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES LABELS wine TIMEOUT 600)
  if(ARG_LOCKS)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${ARG_LOCKS}")
  endif()
endfunction()

# vorel_windows_program(NAME [WIN32] SOURCES ... [LIBS ...] [DEPENDS ...]): a helper program of
# the Windows tree (tools, benchmarks) with a wide-character entry point (wmain, or wWinMain
# with WIN32) and the project's warnings. Nothing in the native tree.
function(vorel_windows_program name)
  if(NOT VOREL_WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "WIN32" "" "SOURCES;LIBS;DEPENDS" ${ARGN})
  if(ARG_WIN32)
    add_executable(${name} WIN32 ${ARG_SOURCES})
  else()
    add_executable(${name} ${ARG_SOURCES})
  endif()
  target_compile_options(${name} PRIVATE ${VOREL_WARNINGS})
  target_link_options(${name} PRIVATE -municode)
  if(ARG_LIBS)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  endif()
  if(ARG_DEPENDS)
    add_dependencies(${name} ${ARG_DEPENDS})
  endif()
endfunction()

# vorel_ship_program(NAME): a program that goes to users. Its debug information moves to
# NAME.exe.debug beside it (found through the program's debug link), so the program itself
# stays small: Wine reads every section of a program into memory when it starts it, and the
# debug sections would be most of Vorelset's working set.
function(vorel_ship_program name)
  if(NOT VOREL_WIN32 OR NOT CMAKE_OBJCOPY)
    return()
  endif()
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${name}> $<TARGET_FILE:${name}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=$<TARGET_FILE:${name}>.debug $<TARGET_FILE:${name}>
    VERBATIM)
endfunction()

# vorel_monitors_test(NAME DESKS label=WxH,WxH[/WxH][:windows] ... SOURCES ... [LIBS ...] [DEPENDS ...]):
# a Wine test run once per desk of several monitors by tools/with-monitors.sh, as the ctest
# entry NAME_label. Each run has its own copy of the prefix and its own X servers, so it holds
# no lock. The optional /WxH is the monitor the desk turns into when it has one monitor left
# (the first one by default); the optional windows part gives that copy another Windows
# version (winecfg -v).
function(vorel_monitors_test name)
  if(NOT VOREL_WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "DESKS;SOURCES;LIBS;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${VOREL_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  add_dependencies(${name} display_settings ${ARG_DEPENDS})
  foreach(desk IN LISTS ARG_DESKS)
    string(REGEX MATCH "^([^=]+)=([^:/]+)(/([^:]+))?(:(.+))?$" parsed "${desk}")
    set(label ${CMAKE_MATCH_1})
    string(REPLACE "," ";" screens "${CMAKE_MATCH_2}")
    set(options)
    if(CMAKE_MATCH_4)
      list(APPEND options --alone ${CMAKE_MATCH_4})
    endif()
    if(CMAKE_MATCH_6)
      list(APPEND options --windows ${CMAKE_MATCH_6})
    endif()
    add_test(NAME ${name}_${label}
             COMMAND bash ${VOREL_ROOT}/tools/with-monitors.sh ${options} ${screens} -- $<TARGET_FILE:${name}>
                     --gtest_color=no)
    set_tests_properties(${name}_${label} PROPERTIES LABELS wine TIMEOUT 900)
  endforeach()
endfunction()
