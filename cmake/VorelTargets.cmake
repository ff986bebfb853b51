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

# vorel_native_test(NAME SOURCES ... [LIBS ...]): logic tests, run natively under the
# sanitizers, one ctest entry per executable whose GoogleTest summary names the cases (one
# process per case would spend most of the run starting sanitized processes; run one case with
# the executable's --gtest_filter). Not built in the Windows tree.
function(vorel_native_test name)
  if(VOREL_WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${VOREL_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  set_tests_properties(${name} PROPERTIES LABELS native TIMEOUT 600)
endfunction()

# vorel_wine_test(NAME [SPLIT] [RUNNER script] [TIMEOUT seconds] [LOCKS ...] SOURCES ... [LIBS ...]
# [DEPENDS ...]): tests of the Win32 adapters and programs, run under Wine. Each ctest entry
# runs in a session of its own (tools/wine-test.sh: its own copy of the prepared prefix, Xvfb
# screen, wineserver and desktop), so the entries run side by side however they use the
# registry, the desktop's wallpaper, window classes, the tray or DDE; LOCKS is left for
# something outside the session that tests naming the same lock must take one at a time.
# One entry per executable, whose GoogleTest summary shows the cases; with SPLIT one entry per
# case (NAME/Suite.Case), for tests whose cases are long enough to be worth a session each.
# RUNNER is a script that runs the program it is given (with wine-run.sh) in a prepared
# setting of its own.
# The Wine arrangement of this tree's programs (tools/wine-env.sh): a test of the 64-bit tree
# runs in the 64-bit prefix even where the machine would pick the 32-bit one.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VOREL_TREE_WINE_ARCH win64)
else()
  set(VOREL_TREE_WINE_ARCH win32)
endif()

# vorel_test_cost(ENTRY): the entry's seconds from VOREL_WINE_TEST_SECONDS (tests/CMakeLists.txt)
# as its COST, so that ctest starts the longest entries first even without the timings of an
# earlier run.
function(vorel_test_cost entry)
  foreach(item IN LISTS VOREL_WINE_TEST_SECONDS)
    if(item MATCHES "^(.+)=([0-9]+)$" AND CMAKE_MATCH_1 STREQUAL entry)
      set_tests_properties(${entry} PROPERTIES COST ${CMAKE_MATCH_2})
    endif()
  endforeach()
endfunction()

function(vorel_wine_test name)
  if(NOT VOREL_WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "SPLIT" "RUNNER;TIMEOUT" "LOCKS;SOURCES;LIBS;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${VOREL_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  if(ARG_DEPENDS)
    add_dependencies(${name} ${ARG_DEPENDS})
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  # The session ends the test itself a little before ctest would, so that it can still stop
  # the test's wineserver and screen.
  math(EXPR session_timeout "${ARG_TIMEOUT} - 30")
  set(command bash ${VOREL_ROOT}/tools/wine-test.sh)
  if(ARG_RUNNER)
    list(APPEND command bash ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_RUNNER})
  endif()
  list(APPEND command $<TARGET_FILE:${name}> --gtest_color=no)

  set(entries ${name})
  set(filters "")
  if(ARG_SPLIT)
    vorel_gtest_cases(cases ${ARG_SOURCES})
    list(LENGTH cases count)
    if(count GREATER 1)
      set(entries "")
      set(others "")
      foreach(test_case IN LISTS cases)
        string(REPLACE "|" ";" pieces "${test_case}")
        list(GET pieces 0 case_name)
        list(GET pieces 1 case_filter)
        list(APPEND entries "${name}/${case_name}")
        list(APPEND filters "${case_filter}")
        list(APPEND others "${case_filter}")
      endforeach()
      # The last entry takes its case and whatever the reading of the source did not find,
      # so that no case of the program goes unrun.
      list(POP_BACK others)
      list(POP_BACK filters)
      string(REPLACE ";" ":" others "${others}")
      list(APPEND filters "-${others}")
    endif()
  endif()

  list(LENGTH entries count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    list(GET entries ${i} entry)
    set(entry_command ${command})
    if(filters)
      list(GET filters ${i} filter)
      list(APPEND entry_command "--gtest_filter=${filter}")
    endif()
    add_test(NAME ${entry} COMMAND ${entry_command})
    set_tests_properties(${entry} PROPERTIES LABELS wine TIMEOUT ${ARG_TIMEOUT}
      ENVIRONMENT "VOREL_TEST_TIMEOUT=${session_timeout};VOREL_WINE_ARCH=${VOREL_TREE_WINE_ARCH}")
    if(filters)
      # A case that the filter no longer finds must not pass for having run nothing.
      set_tests_properties(${entry} PROPERTIES FAIL_REGULAR_EXPRESSION "\\[==========\\] 0 tests from")
    endif()
    if(ARG_LOCKS)
      set_tests_properties(${entry} PROPERTIES RESOURCE_LOCK "${ARG_LOCKS}")
    endif()
    vorel_test_cost(${entry})
  endforeach()
endfunction()

# vorel_gtest_cases(OUT SOURCES ...): the GoogleTest cases the sources define, read from their
# TEST, TEST_F and TEST_P lines, as "Suite.Case|filter" items; a TEST_P's filter takes every
# instantiation of it. Disabled cases are left out, as GoogleTest leaves them out. cmake
# reads the sources again when they change.
function(vorel_gtest_cases out)
  set(result "")
  foreach(source IN LISTS ARGN)
    get_filename_component(path ${source} ABSOLUTE)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${path})
    file(STRINGS ${path} lines REGEX "^[ \t]*TEST(_F|_P)?[ \t]*\\(")
    foreach(line IN LISTS lines)
      if(NOT line MATCHES "^[ \t]*TEST(_F|_P)?[ \t]*\\([ \t]*([A-Za-z0-9_]+)[ \t]*,[ \t]*([A-Za-z0-9_]+)[ \t]*\\)")
        continue()
      endif()
      set(kind "${CMAKE_MATCH_1}")
      set(suite ${CMAKE_MATCH_2})
      set(case ${CMAKE_MATCH_3})
      if(suite MATCHES "^DISABLED_" OR case MATCHES "^DISABLED_")
        continue()
      endif()
      if(kind STREQUAL "_P")
        list(APPEND result "${suite}.${case}|*/${suite}.${case}/*:${suite}.${case}/*")
      else()
        list(APPEND result "${suite}.${case}|${suite}.${case}")
      endif()
    endforeach()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
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
    vorel_test_cost(${name}_${label})
  endforeach()
endfunction()
