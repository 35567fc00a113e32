# GoogleTest for both builds, and one function that adds a test to whichever build runs.
if(WIN32)
  # Debian's googletest package ships the sources; compile them with the cross compiler.
  set(TW_GTEST_SOURCE /usr/src/googletest/googletest)
  add_library(gtest STATIC ${TW_GTEST_SOURCE}/src/gtest-all.cc)
  target_include_directories(gtest SYSTEM PUBLIC ${TW_GTEST_SOURCE}/include PRIVATE ${TW_GTEST_SOURCE})
  add_library(gtest_main STATIC ${TW_GTEST_SOURCE}/src/gtest_main.cc)
  target_link_libraries(gtest_main PUBLIC gtest)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
  set(TW_WINE_RUN ${PROJECT_SOURCE_DIR}/scripts/wine-run)
  # Tells scripts/wine-run which Wine runs this build's programs.
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(TW_WINDOWS_ARCH win64)
  else()
    set(TW_WINDOWS_ARCH win32)
  endif()
else()
  find_package(GTest REQUIRED)
  find_package(Threads REQUIRED)
endif()

# A Wine test runs in a prefix of the build folder it was built in (one for each Wine), so two
# build folders or two Wines never share Wine's windows, registry or mutexes. The Wine is the
# one scripts/test picked in TW_WINE, else one that runs this build (scripts/windows-build.sh).
function(tw_use_build_prefix test)
  set_tests_properties(${test} PROPERTIES ENVIRONMENT
    "WINEPREFIX=;TW_WINDOWS_BUILD=${CMAKE_BINARY_DIR};TW_WINDOWS_ARCH=${TW_WINDOWS_ARCH};TW_WINDOWS_BUILD_SAID=1")
endfunction()

# Every test carries one label, so that a run can pick a kind (ctest -L e2e, ctest -LE soak):
#   unit   the portable core against fakes, natively
#   win32  the Win32 layer against the real calls, under Wine, without starting the programs
#   e2e    the programs, the installer or the release as a user meets them
#   soak   the chaos soak
set(TW_TEST_LABELS unit win32 e2e soak)

# tw_label_test(test label): gives a test its one label; tw_check_test_labels() finds a test
# left without one.
function(tw_label_test test label)
  if(NOT label IN_LIST TW_TEST_LABELS)
    message(FATAL_ERROR "test ${test}: label ${label} is none of ${TW_TEST_LABELS}")
  endif()
  set_tests_properties(${test} PROPERTIES LABELS ${label})
  set_property(GLOBAL APPEND PROPERTY TW_LABELLED_TESTS ${test})
endfunction()

# tw_check_test_labels(): fails the configuration when a test of any folder has no label, as a
# run by label would silently leave it out.
function(tw_check_test_labels)
  get_property(labelled GLOBAL PROPERTY TW_LABELLED_TESTS)
  set(folders ${PROJECT_SOURCE_DIR})
  while(folders)
    list(POP_FRONT folders folder)
    get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    list(APPEND folders ${subfolders})
    get_property(tests DIRECTORY ${folder} PROPERTY TESTS)
    foreach(test ${tests})
      if(NOT test IN_LIST labelled)
        message(FATAL_ERROR "test ${test} (${folder}) has no label: add it with tw_add_test, "
                            "or give it one with tw_label_test")
      endif()
    endforeach()
  endwhile()
endfunction()

# tw_add_test(name SOURCES ... [LIBS ...] [PROGRAMS ...] [PARTS ...] [WIN32_ONLY]
#             [UNDER_WINE_BECAUSE reason])
# Host build: runs natively. Cross build: a WIN32_ONLY test runs under Wine in the build's own
# prefix, after the PROGRAMS it starts have been built. A portable test is neither built nor run
# there: natively it takes a second, under Wine each test program costs a Wine start, for the
# same code on the same fakes. UNDER_WINE_BECAUSE keeps one under Wine too, saying what differs
# on Windows for its subject. With PARTS, one program runs as one ctest per part P, named
# <name>_<p>, with the tests whose names end in "/P" (value-parameterized tests named by their
# parameter): each part stays well inside the time limit of one ctest. The label is unit for a
# portable test, e2e for a WIN32_ONLY test named *_e2e_tests and win32 for the others.
function(tw_add_test name)
  cmake_parse_arguments(ARG "WIN32_ONLY" "UNDER_WINE_BECAUSE" "SOURCES;LIBS;PROGRAMS;PARTS"
                        ${ARGN})
  if(ARG_WIN32_ONLY AND NOT WIN32)
    return()
  endif()
  if(WIN32 AND NOT ARG_WIN32_ONLY AND NOT ARG_UNDER_WINE_BECAUSE)
    return()
  endif()
  if(NOT ARG_WIN32_ONLY)
    set(label unit)
  elseif(name MATCHES "_e2e_tests$")
    set(label e2e)
  else()
    set(label win32)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tw_core GTest::gtest_main)
  # End-to-end tests find the built programs through the build folder.
  target_compile_definitions(${name} PRIVATE TW_BUILD_DIR="${CMAKE_BINARY_DIR}")
  if(WIN32)
    target_link_libraries(${name} PRIVATE tw_win32)
    if(ARG_PROGRAMS)
      add_dependencies(${name} ${ARG_PROGRAMS})
    endif()
    if(ARG_PARTS)
      foreach(part ${ARG_PARTS})
        string(TOLOWER ${part} suffix)
        add_test(NAME ${name}_${suffix}
          COMMAND ${TW_WINE_RUN} $<TARGET_FILE:${name}> --gtest_filter=*/${part})
        tw_use_build_prefix(${name}_${suffix})
        tw_label_test(${name}_${suffix} ${label})
      endforeach()
    else()
      add_test(NAME ${name} COMMAND ${TW_WINE_RUN} $<TARGET_FILE:${name}>)
      tw_use_build_prefix(${name})
      tw_label_test(${name} ${label})
    endif()
  else()
    target_link_libraries(${name} PRIVATE Threads::Threads)
    add_test(NAME ${name} COMMAND ${name})
    tw_label_test(${name} ${label})
  endif()
endfunction()

# tw_add_benchmark(name SOURCES ... [LIBS ...]): host Google Benchmarks, built only with
# TW_BENCHMARKS (the host-bench preset) and run by scripts/bench.
function(tw_add_benchmark name)
  if(NOT TW_BENCHMARKS OR WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tw_core benchmark::benchmark_main)
  set_property(GLOBAL APPEND PROPERTY TW_BENCHMARK_TARGETS ${name})
endfunction()
