# 68000 programs of this folder as flat images from address 0, for the
# benchmarks and tests that run them on the machine. Built with the cross
# tools the demo cartridge uses when they are installed, else taken from
# prebuilt/ (a test checks that copy against the sources).
#
# vortan_m68k_program(<target> <name>): <target> gets <NAME>_PROGRAM, the
# path of <name>.bin, and is built after it.
function(vortan_m68k_program consumer name)
  set(builder m68k_program_${name})
  if(NOT TARGET ${builder})
    set(dir ${CMAKE_SOURCE_DIR}/benchmarks/programs)
    if(VORTAN_CART_TOOLS)
      set(out ${CMAKE_BINARY_DIR}/programs)
      set(image ${out}/${name}.bin)
      add_custom_command(OUTPUT ${image}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
        COMMAND ${M68K_GCC} -m68000 -c -x assembler ${dir}/${name}.s -o ${out}/${name}.o
        COMMAND ${M68K_LD} -Ttext=0 -e 0 -o ${out}/${name}.elf ${out}/${name}.o
        COMMAND ${M68K_OBJCOPY} -O binary -j .text ${out}/${name}.elf ${image}
        DEPENDS ${dir}/${name}.s
        COMMENT "Assembling the 68000 program ${name}")
    else()
      set(image ${dir}/prebuilt/${name}.bin)
    endif()
    add_custom_target(${builder} DEPENDS ${image})
    set_property(TARGET ${builder} PROPERTY image_file ${image})
  endif()
  get_property(image TARGET ${builder} PROPERTY image_file)
  add_dependencies(${consumer} ${builder})
  string(TOUPPER ${name} upper)
  target_compile_definitions(${consumer} PRIVATE ${upper}_PROGRAM="${image}")
endfunction()
