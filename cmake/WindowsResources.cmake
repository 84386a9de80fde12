# drivanta_windows_resources(TARGET target PROGRAM program DESCRIPTION text)
# Gives a Windows .exe its resources (packaging/windows/Program.rc.in: the program's icon, version
# information and manifest) and strips it in release builds.
set(DRIVANTA_PRODUCT "Drivanta v2 tools")
set(DRIVANTA_VENDOR "Drivanta v2 tools developers")

function(drivanta_windows_resources)
  cmake_parse_arguments(R "" "TARGET;PROGRAM;DESCRIPTION" "" ${ARGN})
  set(PROGRAM ${R_TARGET})
  set(PROGRAM_DESCRIPTION ${R_DESCRIPTION})
  set(PROGRAM_ICO ${${R_PROGRAM}_ICO})
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/resources)
  set(PROGRAM_MANIFEST ${dir}/${R_TARGET}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/Program.manifest.in ${PROGRAM_MANIFEST} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/Program.rc.in ${dir}/${R_TARGET}.rc @ONLY)
  target_sources(${R_TARGET} PRIVATE ${dir}/${R_TARGET}.rc)
  # windres reads the icon and the manifest, which no dependency scanner sees.
  set_source_files_properties(${dir}/${R_TARGET}.rc PROPERTIES
                              OBJECT_DEPENDS "${PROGRAM_ICO};${PROGRAM_MANIFEST}")
  add_dependencies(${R_TARGET} ${R_PROGRAM}-icon)
  # The release .exe carries no symbols: static libstdc++ would bring its .debug_* sections.
  target_link_options(${R_TARGET} PRIVATE $<$<CONFIG:Release,MinSizeRel>:-s>)
endfunction()
