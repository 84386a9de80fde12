# drivanta_sample_image(FOR target FILE name SIZE bytes SEED seed)
# Writes a sample image beside a -sim program at build time. The generator is compiled for the
# build machine, so a cross build needs no emulator to make it.
find_program(DRIVANTA_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
set(DRIVANTA_IMAGE_GENERATOR ${CMAKE_BINARY_DIR}/host/sample-image)
add_custom_command(OUTPUT ${DRIVANTA_IMAGE_GENERATOR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
  COMMAND ${DRIVANTA_HOST_CXX} -std=c++17 -O2 -o ${DRIVANTA_IMAGE_GENERATOR}
          ${CMAKE_SOURCE_DIR}/simdevices/SampleImage.cpp
  DEPENDS ${CMAKE_SOURCE_DIR}/simdevices/SampleImage.cpp
  COMMENT "Building the sample image generator for the build machine")
add_custom_target(sample-image-generator DEPENDS ${DRIVANTA_IMAGE_GENERATOR})

function(drivanta_sample_image)
  cmake_parse_arguments(S "" "FOR;FILE;SIZE;SEED" "" ${ARGN})
  set(image ${CMAKE_CURRENT_BINARY_DIR}/${S_FILE})
  add_custom_command(OUTPUT ${image}
    COMMAND ${DRIVANTA_IMAGE_GENERATOR} ${image} ${S_SIZE} ${S_SEED}
    DEPENDS sample-image-generator ${CMAKE_SOURCE_DIR}/simdevices/SampleImage.cpp
    COMMENT "Writing the sample image ${S_FILE} beside ${S_FOR}")
  add_custom_target(${S_FOR}-image ALL DEPENDS ${image})
  add_dependencies(${S_FOR} ${S_FOR}-image)
endfunction()
