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

# tw_add_test(name SOURCES ... [LIBS ...] [PROGRAMS ...] [PARTS ...] [WIN32_ONLY])
# Host build: runs natively. Cross build: runs under Wine in the build's own prefix, after
# the PROGRAMS it starts have been built. With PARTS, one program runs as one ctest per part
# P, named <name>_<p>, with the tests whose names end in "/P" (value-parameterized tests
# named by their parameter): each part stays well inside the time limit of one ctest.
function(tw_add_test name)
  cmake_parse_arguments(ARG "WIN32_ONLY" "" "SOURCES;LIBS;PROGRAMS;PARTS" ${ARGN})
  if(ARG_WIN32_ONLY AND NOT WIN32)
    return()
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
      endforeach()
    else()
      add_test(NAME ${name} COMMAND ${TW_WINE_RUN} $<TARGET_FILE:${name}>)
      tw_use_build_prefix(${name})
    endif()
  else()
    target_link_libraries(${name} PRIVATE Threads::Threads)
    add_test(NAME ${name} COMMAND ${name})
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
