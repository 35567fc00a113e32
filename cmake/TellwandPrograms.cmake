# tw_add_program(name SOURCES ... [LIBS ...])
# Builds a Windows program twice: bin/<name>.exe with the HID receiver (what ships) and
# bin-virtual/<name>.exe with the virtual receiver (tests, demo, no hardware).
function(tw_add_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  foreach(variant hid virtual)
    if(variant STREQUAL "hid")
      set(target ${name})
      set(folder ${CMAKE_BINARY_DIR}/bin)
    else()
      set(target ${name}_virtual)
      set(folder ${CMAKE_BINARY_DIR}/bin-virtual)
    endif()
    add_executable(${target} WIN32 ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} tw_receiver_${variant} tw_win32 tw_core)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${name} RUNTIME_OUTPUT_DIRECTORY ${folder})
    # Shipped without symbols: the programs are small and carry nothing a user needs.
    target_link_options(${target} PRIVATE -s)
  endforeach()
endfunction()

# tw_add_tool(name SOURCES ... [LIBS ...]): a Windows program of bin-virtual/ only.
function(tw_add_tool name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} WIN32 ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tw_receiver_virtual tw_win32 tw_core)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin-virtual)
endfunction()
