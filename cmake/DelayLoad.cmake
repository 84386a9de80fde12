# drivanta_delay_load_library(NAME target DLL name.dll IMPORT_LIBRARY name)
# An imported library that binds `DLL`'s functions at their first call rather than when the
# program starts. A DLL imported at start-up that is not one of Windows' KnownDLLs is looked for
# beside the .exe first (a Downloads folder); a delay-loaded one is loaded when first called, by
# which time the window layer has narrowed the process's DLL search to the system directory.
# The delay-import library is made with dlltool from the names the toolchain's import library
# exports, so it offers the same functions.
function(drivanta_delay_load_library)
  cmake_parse_arguments(D "" "NAME;DLL;IMPORT_LIBRARY" "" ${ARGN})
  find_library(import_library_${D_NAME} NAMES ${D_IMPORT_LIBRARY} REQUIRED)
  set(import_library ${import_library_${D_NAME}})
  string(REPLACE "g++" "nm" nm "${CMAKE_CXX_COMPILER}")
  string(REGEX REPLACE "-posix$" "" nm "${nm}")
  string(REPLACE "g++" "dlltool" dlltool "${CMAKE_CXX_COMPILER}")
  string(REGEX REPLACE "-posix$" "" dlltool "${dlltool}")

  execute_process(COMMAND ${nm} ${import_library} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL " I __imp_[A-Za-z0-9_@]+" imports "${symbols}")
  set(definition "LIBRARY ${D_DLL}\nEXPORTS\n")
  foreach(import IN LISTS imports)
    string(REPLACE " I __imp_" "" name "${import}")
    string(APPEND definition "  ${name}\n")
  endforeach()
  set(dir ${CMAKE_BINARY_DIR}/delay-load)
  file(WRITE ${dir}/${D_NAME}.def "${definition}")
  execute_process(COMMAND ${dlltool} --input-def ${dir}/${D_NAME}.def --dllname ${D_DLL}
                          --output-delaylib ${dir}/lib${D_NAME}-delay.a
                  COMMAND_ERROR_IS_FATAL ANY)
  add_library(${D_NAME} STATIC IMPORTED GLOBAL)
  set_target_properties(${D_NAME} PROPERTIES IMPORTED_LOCATION ${dir}/lib${D_NAME}-delay.a)
endfunction()
