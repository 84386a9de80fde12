# What Windows users download, in build/windows/packages/: an installer (setup.exe, made with
# NSIS from packaging/windows/installer.nsi) and a zip of the same three programs.
find_program(DRIVANTA_MAKENSIS makensis REQUIRED)

set(package_name drivanta-tools-${PROJECT_VERSION})
set(packages_dir ${PROJECT_BINARY_DIR}/packages)
# The zip unpacks into one folder of the package's name.
set(stage_dir ${PROJECT_BINARY_DIR}/packaging/${package_name})
set(setup_exe ${packages_dir}/${package_name}-setup.exe)
set(zip_file ${packages_dir}/${package_name}-windows-x64.zip)

set(programs)
set(copy_commands COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage_dir}
                  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage_dir} ${packages_dir})
foreach(program IN LISTS DRIVANTA_PROGRAMS)
  list(APPEND programs $<TARGET_FILE:${program}>)
  list(APPEND copy_commands COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${program}> ${stage_dir})
endforeach()

add_custom_command(OUTPUT ${setup_exe} ${zip_file}
  ${copy_commands}
  COMMAND ${DRIVANTA_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DSTAGE=${stage_dir}
          -DICON=${servodiag_ICO} -DOUTFILE=${setup_exe}
          ${PROJECT_SOURCE_DIR}/packaging/windows/installer.nsi
  COMMAND ${CMAKE_COMMAND} -E chdir ${PROJECT_BINARY_DIR}/packaging
          ${CMAKE_COMMAND} -E tar cf ${zip_file} --format=zip ${package_name}
  DEPENDS ${programs} ${servodiag_ICO} ${PROJECT_SOURCE_DIR}/packaging/windows/installer.nsi
  COMMENT "Packing ${package_name}-setup.exe and the zip"
  VERBATIM)
add_custom_target(windows-packages ALL DEPENDS ${setup_exe} ${zip_file})
