# Fails when a source file includes a header of a higher layer:
#
#   core (data, tally, settings) <- analysis <- cli
#                                            <- ui <- dialogs <- app
#
# The core and analysis include no Qt header. Run as
#   cmake -DSOURCE_DIR=<folder holding data/, ui/, …> -P check_layers.cmake
# Prints one line per offending include and "N violations" at the end.

cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "give -DSOURCE_DIR=<folder>")
endif()
get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)

# Folders a layer must not include from; "Qt" stands for Qt's own headers.
set(forbidden_data analysis cli ui dialogs app Qt)
set(forbidden_tally ${forbidden_data})
set(forbidden_settings ${forbidden_data})
set(forbidden_analysis cli ui dialogs app Qt)
set(forbidden_cli ui dialogs app Qt)
set(forbidden_ui dialogs app cli)
set(forbidden_dialogs app cli)
set(forbidden_app cli)

set(violations 0)
foreach(layer IN ITEMS data tally settings analysis cli ui dialogs app)
  file(GLOB_RECURSE files ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.cpp)
  foreach(file IN LISTS files)
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*$" "\\1" header "${line}")
      set(target "")
      if(header MATCHES "^Q[A-Za-z0-9_]*(/|$)")
        set(target Qt)
      elseif(header MATCHES "^([a-z]+)/")
        set(target ${CMAKE_MATCH_1})
      endif()
      if(target AND target IN_LIST forbidden_${layer})
        file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
        message("${shown}: includes ${header}, from a higher layer (${target})")
        math(EXPR violations "${violations} + 1")
      endif()
    endforeach()
  endforeach()
endforeach()

message("${violations} violations")
if(violations GREATER 0)
  message(FATAL_ERROR "layer check failed")
endif()
