# One manifest for both programs.
set(TW_MANIFEST ${CMAKE_BINARY_DIR}/resources/program.manifest)
configure_file(${PROJECT_SOURCE_DIR}/resources/program.manifest.in ${TW_MANIFEST} @ONLY)

# tw_add_program(name DESCRIPTION text SOURCES ... [LIBS ...])
# Links a Windows program twice: bin/<name>.exe with the HID receiver (what ships) and
# bin-virtual/<name>.exe with the virtual receiver (tests, demo, no hardware), from one
# compilation of its sources (the object library <name>_sources): the receiver is chosen at
# link time. Both carry the manifest and a version resource whose file description is
# DESCRIPTION.
function(tw_add_program name)
  cmake_parse_arguments(ARG "" "DESCRIPTION" "SOURCES;LIBS" ${ARGN})
  set(TW_PROGRAM ${name})
  set(TW_DESCRIPTION ${ARG_DESCRIPTION})
  set(program_rc ${CMAKE_CURRENT_BINARY_DIR}/${name}_program.rc)
  configure_file(${PROJECT_SOURCE_DIR}/resources/program.rc.in ${program_rc} @ONLY)
  set_source_files_properties(${program_rc} PROPERTIES OBJECT_DEPENDS ${TW_MANIFEST})
  add_library(${name}_sources OBJECT ${ARG_SOURCES} ${program_rc})
  target_link_libraries(${name}_sources PUBLIC ${ARG_LIBS} tw_win32 tw_core)
  foreach(variant hid virtual)
    if(variant STREQUAL "hid")
      set(target ${name})
      set(folder ${CMAKE_BINARY_DIR}/bin)
    else()
      set(target ${name}_virtual)
      set(folder ${CMAKE_BINARY_DIR}/bin-virtual)
    endif()
    add_executable(${target} WIN32)
    target_link_libraries(${target} PRIVATE ${name}_sources tw_receiver_${variant})
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${name} RUNTIME_OUTPUT_DIRECTORY ${folder})
    # Shipped without symbols: the programs are small and carry nothing a user needs.
    # Each thread reserves 1 MB of stack, the system's usual size, not MinGW's 2 MB: none
    # needs more, and Wine commits a thread's whole reservation (1 MB at the least).
    target_link_options(${target} PRIVATE -s -Wl,--stack,1048576)
  endforeach()
endfunction()

# tw_add_tool(name SOURCES ... [LIBS ...]): a Windows program of bin-virtual/ only.
function(tw_add_tool name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} WIN32 ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tw_receiver_virtual tw_win32 tw_core)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin-virtual)
endfunction()
