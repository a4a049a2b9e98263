# Helpers shared by every subsystem's CMakeLists.txt.

# melodara_split_debug_info(<target>)
# Moves the debug information of a program or library out of it into
# <file>.debug beside it, named in the binary (.gnu_debuglink) so debuggers
# still find it. The loader maps every section of an image, the debug
# sections too, and they are most of our binaries (20 MB of the player's
# 21): kept inside, every start would read them.
function(melodara_split_debug_info target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug
            $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()

# melodara_add_dll(<target> DEF <file.def> SOURCES ... [LIBS ...] [INCLUDE <public dir>])
# A DLL named <target>.dll whose exports (by name and ordinal) come from its .def file.
# Linking the target gives callers its import library. Every DLL links the base
# library (base/) and keeps its debug information beside it (melodara_split_debug_info).
function(melodara_add_dll target)
  cmake_parse_arguments(A "" "DEF;INCLUDE" "SOURCES;LIBS" ${ARGN})
  add_library(${target} SHARED ${A_SOURCES} ${A_DEF})
  set_target_properties(${target} PROPERTIES PREFIX "" IMPORT_PREFIX "lib")
  if(A_INCLUDE)
    target_include_directories(${target} PUBLIC ${A_INCLUDE})
  endif()
  target_link_libraries(${target} PRIVATE ${A_LIBS} melodara_base)
  melodara_split_debug_info(${target})
endfunction()

# melodara_add_test(<target> SOURCES ... [LIBS ...] [DEPENDS dll...] [TIMEOUT s] [SCREEN] [SERVER])
# One GoogleTest program, registered as one CTest entry and run under Wine from
# the output folder, so DLLs loaded by name are found beside it. Every test
# links the base library (base/). SERVER runs it beside the local update server
# (testsupport/updateserver) on MELODARA_UPDATE_TEST_PORT, one such test at a time.
set(MELODARA_UPDATE_TEST_PORT 18765 CACHE STRING "Loopback port of the update server the tests start")
function(melodara_add_test target)
  cmake_parse_arguments(A "SCREEN;SERVER" "TIMEOUT" "SOURCES;LIBS;DEPENDS" ${ARGN})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 180)
  endif()
  add_executable(${target} ${A_SOURCES})
  target_link_libraries(${target} PRIVATE ${A_LIBS} melodara_base melodara_testsupport GTest::gmock GTest::gtest_main)
  if(A_DEPENDS)
    add_dependencies(${target} ${A_DEPENDS})
  endif()
  if(A_SERVER)
    add_test(NAME ${target}
             COMMAND ${CMAKE_SOURCE_DIR}/testsupport/updateserver/run-with-server ${MELODARA_UPDATE_TEST_PORT}
                     ${A_TIMEOUT} ${CMAKE_BINARY_DIR}/wine-run $<TARGET_FILE:${target}> --gtest_brief=1
             WORKING_DIRECTORY ${MELODARA_OUT})
    set_property(TEST ${target} APPEND PROPERTY RESOURCE_LOCK update_server_port)
  else()
    add_test(NAME ${target} COMMAND ${target} --gtest_brief=1 WORKING_DIRECTORY ${MELODARA_OUT})
  endif()
  set_tests_properties(${target} PROPERTIES TIMEOUT ${A_TIMEOUT})
  # Tests that show windows and read back what the screen shows must not run
  # beside one another: on one display another test's window would cover them.
  if(A_SCREEN)
    set_property(TEST ${target} APPEND PROPERTY RESOURCE_LOCK screen)
  endif()
endfunction()

# melodara_add_window_manager_test(<name> <test target> <gtest filter> [TIMEOUT <s>])
# Runs the cases of a test program that depend on a window manager again, on
# a display of their own where openbox manages the windows.
function(melodara_add_window_manager_test name target filter)
  cmake_parse_arguments(A "" "TIMEOUT" "" ${ARGN})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 120)
  endif()
  add_test(NAME ${name}
           COMMAND ${CMAKE_SOURCE_DIR}/tools/with-window-manager ${A_TIMEOUT} ${MELODARA_WINEPREFIX}
                   $<TARGET_FILE:${target}> --gtest_brief=1 --gtest_filter=${filter}
           WORKING_DIRECTORY ${MELODARA_OUT})
  # Its own display and wineserver, but the test program's settings files.
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT} RESOURCE_LOCK screen)
endfunction()

# melodara_part(<folder> [NEEDS <folder>...])
# Declares a subsystem folder of the top-level list and the folders whose
# targets it uses. The folder must exist: a typo is an error, not a smaller build.
function(melodara_part dir)
  cmake_parse_arguments(A "" "" "NEEDS" ${ARGN})
  if(NOT EXISTS ${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt)
    message(FATAL_ERROR "Subsystem folder '${dir}' has no CMakeLists.txt")
  endif()
  foreach(need ${A_NEEDS})
    if(NOT need IN_LIST MELODARA_PART_LIST)
      message(FATAL_ERROR "Subsystem '${dir}' needs '${need}', which is not declared before it")
    endif()
  endforeach()
  set_property(GLOBAL APPEND PROPERTY MELODARA_PART_LIST ${dir})
  set_property(GLOBAL PROPERTY MELODARA_PART_NEEDS_${dir} ${A_NEEDS})
  get_property(parts GLOBAL PROPERTY MELODARA_PART_LIST)
  set(MELODARA_PART_LIST ${parts} PARENT_SCOPE)
endfunction()

# melodara_add_parts()
# Adds the declared folders in their order: all of them, or those named in
# MELODARA_PARTS and everything they need. Unknown names in MELODARA_PARTS stop
# the configure.
function(melodara_add_parts)
  get_property(parts GLOBAL PROPERTY MELODARA_PART_LIST)
  set(wanted)
  if(MELODARA_PARTS)
    set(pending ${MELODARA_PARTS})
    while(pending)
      list(POP_FRONT pending part)
      if(NOT part IN_LIST parts)
        string(REPLACE ";" " " known "${parts}")
        message(FATAL_ERROR "MELODARA_PARTS names '${part}', which is no subsystem folder. Known: ${known}")
      endif()
      if(NOT part IN_LIST wanted)
        list(APPEND wanted ${part})
        get_property(needs GLOBAL PROPERTY MELODARA_PART_NEEDS_${part})
        list(APPEND pending ${needs})
      endif()
    endwhile()
  else()
    set(wanted ${parts})
  endif()
  set(built)
  foreach(part ${parts})
    if(part IN_LIST wanted)
      add_subdirectory(${part})
      string(APPEND built " ${part}")
    endif()
  endforeach()
  message(STATUS "Subsystems:${built}")
endfunction()
