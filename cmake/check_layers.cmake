# The core's folders depend one way: common at the bottom, then the chips
# (cpu68k, vdp, sound), then the board in machine, then the front ends.
# Fails, naming each file and header, when a file under SOURCE_DIR/src
# includes a header from a layer above its own.
#   cmake -DSOURCE_DIR=<tree> -P check_layers.cmake
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "check_layers: SOURCE_DIR not given")
endif()
set(above_chips machine host libretro)
set(barred_common cpu68k vdp sound ${above_chips})
set(barred_cpu68k ${above_chips})
set(barred_vdp ${above_chips})
set(barred_sound ${above_chips})
set(faults "")
set(checked 0)
foreach(folder common cpu68k vdp sound)
  file(GLOB_RECURSE files ${SOURCE_DIR}/src/${folder}/*.h ${SOURCE_DIR}/src/${folder}/*.cpp
       ${SOURCE_DIR}/src/${folder}/*.inc)
  foreach(file IN LISTS files)
    math(EXPR checked "${checked} + 1")
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*)[\">].*" "\\1" header "${line}")
      foreach(up IN LISTS barred_${folder})
        if(header MATCHES "^${up}/")
          file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
          string(APPEND faults "\n  ${shown} includes ${header}")
        endif()
      endforeach()
    endforeach()
  endforeach()
endforeach()
include(${CMAKE_CURRENT_LIST_DIR}/include_check_report.cmake)
include_check_report(check_layers "${checked}" "${faults}"
                     "A lower folder includes a header from above it" "no include from above")
