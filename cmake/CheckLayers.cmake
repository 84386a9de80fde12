# cmake -DSOURCE_DIR=<repo> -P CheckLayers.cmake: fails naming every include that reaches across
# a layer. Program logic says what it shows through the window layer's portable types and never
# learns which realisation shows it; the command line parses and launches, and knows no device.

# Each rule: folder, then the includes its files may not have (a regular expression), then why.
set(realisation "window/(qt|win32|console|headless)/")
set(rules
  "servodiag:${realisation}:program logic knows no window realisation"
  "ampflash:${realisation}:program logic knows no window realisation"
  "wheelflash:${realisation}:program logic knows no window realisation"
  "updater:${realisation}:program logic knows no window realisation"
  "cmdline:hidlink/:the command line knows no device")

set(breaches 0)
foreach(rule IN LISTS rules)
  string(REGEX MATCH "^([^:]+):([^:]+):(.+)$" parsed "${rule}")
  set(folder ${CMAKE_MATCH_1})
  set(forbidden ${CMAKE_MATCH_2})
  set(why ${CMAKE_MATCH_3})
  file(GLOB_RECURSE files "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.hpp"
       "${SOURCE_DIR}/${folder}/*.cpp" "${SOURCE_DIR}/${folder}/*.cc" "${SOURCE_DIR}/${folder}/*.inl")
  if(NOT files)
    message(SEND_ERROR "${folder}/ holds no sources: is SOURCE_DIR the repository?")
  endif()
  foreach(file IN LISTS files)
    # Also reached by a relative path ("../window/qt/...").
    file(STRINGS "${file}" includes
         REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*/)?${forbidden}")
    foreach(include IN LISTS includes)
      file(RELATIVE_PATH shown "${SOURCE_DIR}" "${file}")
      message(SEND_ERROR "${shown}: ${include} (${why})")
      math(EXPR breaches "${breaches} + 1")
    endforeach()
  endforeach()
endforeach()
if(breaches EQUAL 0)
  message(STATUS "No include crosses a layer")
endif()
