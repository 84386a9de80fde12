# cmake -DEMULATOR=wine -DWORK=dir -DPLANTED=PlantedDll.dll -DPLAIN_LOAD=PlainLoad.exe
#       -DPROBE=SystemDllProbe.exe -DPROGRAMS="a.exe;b.exe" -P PlantedDlls.cmake
# DLLs planted beside copies of the programs, as a Downloads folder would hold them, are never
# loaded. Wine is told to prefer a DLL found beside the .exe to its own (WINEDLLOVERRIDES n,b),
# as Windows would; PlainLoad shows first that the planting does work on a plain search.
#
# oleacc is not imported: COM loads it for the accessible names from the path the registry gives,
# the system directory's copy; the probe checks that, and a plain load of it after start-up.
# uxtheme is left out: Wine's own comctl32 and user32 load it by a plain search before the
# program runs any code of its own, which Windows' do not.
set(planted_names gdiplus oleacc)
set(ENV{WINEDLLOVERRIDES} "gdiplus,oleacc=n,b")

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
foreach(name IN LISTS planted_names)
  file(COPY_FILE ${PLANTED} ${WORK}/${name}.dll)
endforeach()

function(run_in_folder program)
  get_filename_component(file ${program} NAME)
  file(COPY_FILE ${program} ${WORK}/${file})
  # A DLL that does not answer for the real one may leave the program hanging: it is ended.
  execute_process(COMMAND ${EMULATOR} ${WORK}/${file} ${ARGN} WORKING_DIRECTORY ${WORK} TIMEOUT 30
                  RESULT_VARIABLE status OUTPUT_FILE ${WORK}/output.txt ERROR_FILE ${WORK}/output.txt)
  # A file, not a pipe: Wine's crash dialog, left behind a hung program, would hold a pipe open.
  file(READ ${WORK}/output.txt output)
  set(status ${status} PARENT_SCOPE)
  set(output "${output}" PARENT_SCOPE)
endfunction()

function(take_markers out)
  file(GLOB markers RELATIVE ${WORK} ${WORK}/*.loaded)
  foreach(marker IN LISTS markers)
    file(REMOVE ${WORK}/${marker})
  endforeach()
  set(${out} "${markers}" PARENT_SCOPE)
endfunction()

set(dll_names "")
foreach(name IN LISTS planted_names)
  list(APPEND dll_names ${name}.dll)
endforeach()
run_in_folder(${PLAIN_LOAD} ${dll_names})
take_markers(markers)
list(LENGTH markers loaded)
list(LENGTH planted_names planted)
if(NOT loaded EQUAL planted)
  message(FATAL_ERROR "A plain load took only [${markers}] of the planted DLLs: "
                      "the planting does not work here, so the test would prove nothing")
endif()

foreach(program IN LISTS PROGRAMS)
  run_in_folder(${program} --help)
  take_markers(markers)
  if(NOT status EQUAL 0 OR markers)
    message(SEND_ERROR "${program} --help (status ${status}) loaded [${markers}]\n${output}")
  endif()
endforeach()

run_in_folder(${PROBE})
take_markers(markers)
if(NOT status EQUAL 0 OR markers)
  message(SEND_ERROR "The window layer's probe (status ${status}) loaded [${markers}]\n${output}")
endif()
