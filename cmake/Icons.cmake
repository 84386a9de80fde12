# drivanta_icons(NAME program): the program's icon drawn from packaging/icons/<program>.svg at
# build time, as PNGs in the sizes of the hicolor icon theme and as one Windows .ico. Sets
# <program>_ICON_DIR (the PNGs, as <size>.png) and <program>_ICO in the caller's scope.
# The programs that users install; each has its icon.
set(DRIVANTA_PROGRAMS servodiag ampflash wheelflash)
set(DRIVANTA_ICON_SIZES 16 22 24 32 48 64 128 256)
# The .ico keeps the sizes Windows draws; 256 goes in as PNG, as Windows expects at that size.
set(DRIVANTA_ICO_SIZES 16 24 32 48 64)

# Without the tools, only the icon targets fail (with this hint): the demo needs no icons.
function(drivanta_find_icon_tool var program package)
  find_program(${var} ${program})
  if(NOT ${var})
    set(${var} ${CMAKE_COMMAND} -E echo "${program} is missing: scripts/install-deps.sh installs ${package}"
        COMMAND ${CMAKE_COMMAND} -E false PARENT_SCOPE)
  endif()
endfunction()
drivanta_find_icon_tool(DRIVANTA_RSVG_CONVERT rsvg-convert librsvg2-bin)
drivanta_find_icon_tool(DRIVANTA_ICOTOOL icotool icoutils)

function(drivanta_icons)
  cmake_parse_arguments(I "" "NAME" "" ${ARGN})
  set(svg ${PROJECT_SOURCE_DIR}/packaging/icons/${I_NAME}.svg)
  set(dir ${PROJECT_BINARY_DIR}/icons/${I_NAME})
  set(pngs)
  foreach(size IN LISTS DRIVANTA_ICON_SIZES)
    list(APPEND pngs ${dir}/${size}.png)
  endforeach()
  set(ico_inputs)
  foreach(size IN LISTS DRIVANTA_ICO_SIZES)
    list(APPEND ico_inputs ${dir}/${size}.png)
  endforeach()
  set(render_commands COMMAND ${CMAKE_COMMAND} -E make_directory ${dir})
  foreach(size IN LISTS DRIVANTA_ICON_SIZES)
    list(APPEND render_commands
         COMMAND ${DRIVANTA_RSVG_CONVERT} -w ${size} -h ${size} -o ${dir}/${size}.png ${svg})
  endforeach()
  add_custom_command(OUTPUT ${pngs} ${render_commands}
    DEPENDS ${svg}
    COMMENT "Drawing the ${I_NAME} icon"
    VERBATIM)
  add_custom_command(OUTPUT ${dir}/${I_NAME}.ico
    COMMAND ${DRIVANTA_ICOTOOL} --create -o ${dir}/${I_NAME}.ico ${ico_inputs} --raw=${dir}/256.png
    DEPENDS ${pngs}
    COMMENT "Packing the ${I_NAME} icon for Windows"
    VERBATIM)
  add_custom_target(${I_NAME}-icon ALL DEPENDS ${pngs} ${dir}/${I_NAME}.ico)
  set(${I_NAME}_ICON_DIR ${dir} PARENT_SCOPE)
  set(${I_NAME}_ICO ${dir}/${I_NAME}.ico PARENT_SCOPE)
endfunction()

foreach(program IN LISTS DRIVANTA_PROGRAMS)
  drivanta_icons(NAME ${program})
endforeach()
