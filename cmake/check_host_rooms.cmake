# The desktop program's rooms under src/host depend one way, bottom to top:
#   platform  the window's handle, message boxes, the joysticks found
#   settings  options, the option table, vortan.cfg, folders, keys, commands
#   video     the display, on-screen text, screenshots
#   audio     the sound stream
#   input     keyboard, joysticks, playback scripts
#   game      the main loop, run-ahead, state slots, the ROM check's words
#   ui        the window's events, menu, dialogs, game loading
#   app       the command line, start-up and shutdown, unattended runs
# Fails, naming each file and header, when a file of a room includes a
# header of a room above it, includes a host header outside the rooms, or
# sits in a folder that is no room; main.cpp, the entry, may include any.
#   cmake -DSOURCE_DIR=<tree> -P check_host_rooms.cmake
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "check_host_rooms: SOURCE_DIR not given")
endif()
set(rooms platform settings video audio input game ui app)
set(host ${SOURCE_DIR}/src/host)
set(faults "")
set(checked 0)
file(GLOB_RECURSE files RELATIVE ${host} ${host}/*.h ${host}/*.cpp)
foreach(file IN LISTS files)
  if(file STREQUAL "main.cpp")
    continue()
  endif()
  string(REGEX MATCH "^[^/]+/" room "${file}")
  string(REPLACE "/" "" room "${room}")
  list(FIND rooms "${room}" level)
  if(level LESS 0)
    string(APPEND faults "\n  src/host/${file} is in no room")
    continue()
  endif()
  math(EXPR checked "${checked} + 1")
  file(STRINGS ${host}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"host/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" header "${line}")
    string(REGEX MATCH "^host/([^/]+)/" matched "${header}")
    list(FIND rooms "${CMAKE_MATCH_1}" header_level)
    if(NOT matched OR header_level LESS 0)
      string(APPEND faults "\n  src/host/${file} includes ${header}, which is in no room")
    elseif(header_level GREATER level)
      string(APPEND faults "\n  src/host/${file} (${room}) includes ${header} from above it")
    endif()
  endforeach()
endforeach()
include(${CMAKE_CURRENT_LIST_DIR}/include_check_report.cmake)
include_check_report(check_host_rooms "${checked}" "${faults}"
                     "A room of src/host includes what it may not" "no include from a room above")
