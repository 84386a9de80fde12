# drivanta_add_program(NAME name LOGIC library MAIN source SIM_MAIN source)
# A program on the machine's own devices, and its -sim twin on simulated ones. Both are window
# programs on Windows, which borrow the console they were started from for --help, --version and
# --no-window.
include(${CMAKE_CURRENT_LIST_DIR}/WindowsResources.cmake)

# What Windows shows as each program's description (file properties, task manager).
set(DRIVANTA_DESCRIPTION_servodiag "Drivanta v2 diagnostics")
set(DRIVANTA_DESCRIPTION_ampflash "Drivanta v2 servo amplifier firmware update")
set(DRIVANTA_DESCRIPTION_wheelflash "Drivanta v2 wheel controller firmware update")

function(drivanta_add_program)
  cmake_parse_arguments(P "" "NAME;LOGIC;MAIN;SIM_MAIN" "" ${ARGN})
  add_executable(${P_NAME} ${P_MAIN})
  target_link_libraries(${P_NAME} PRIVATE ${P_LOGIC} hidlink_platform hidlink_options program_launch common)
  add_executable(${P_NAME}-sim ${P_SIM_MAIN})
  target_link_libraries(${P_NAME}-sim PRIVATE ${P_LOGIC} simdevices hidlink_options program_launch common)
  set_target_properties(${P_NAME} ${P_NAME}-sim PROPERTIES WIN32_EXECUTABLE ON)
  if(WIN32)
    set(description ${DRIVANTA_DESCRIPTION_${P_NAME}})
    drivanta_windows_resources(TARGET ${P_NAME} PROGRAM ${P_NAME} DESCRIPTION ${description})
    drivanta_windows_resources(TARGET ${P_NAME}-sim PROGRAM ${P_NAME}
                               DESCRIPTION "${description} on simulated devices")
  endif()
endfunction()
