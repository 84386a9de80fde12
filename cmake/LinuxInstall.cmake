# What `cmake --install` puts on a Linux machine, and so what the .deb carries: the three
# programs, the udev rule that lets the user at the machine open their devices, and for each
# program a desktop entry, AppStream metainfo and its icon in the hicolor theme.
install(TARGETS ${DRIVANTA_PROGRAMS} RUNTIME DESTINATION bin)
# Relative to the prefix: udev reads /usr/lib/udev/rules.d (the package) and
# /usr/local/lib/udev/rules.d (an install from source) alike.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/udev/70-drivanta.rules DESTINATION lib/udev/rules.d)

foreach(program IN LISTS DRIVANTA_PROGRAMS)
  set(id org.drivanta.${program})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/${id}.desktop DESTINATION share/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/${id}.metainfo.xml DESTINATION share/metainfo)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/${program}.svg
          DESTINATION share/icons/hicolor/scalable/apps RENAME ${id}.svg)
  foreach(size IN LISTS DRIVANTA_ICON_SIZES)
    install(FILES ${${program}_ICON_DIR}/${size}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${id}.png)
  endforeach()
endforeach()

# Debian wants the changelog compressed with the time stamp left out, so that builds repeat.
set(changelog_gz ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
  COMMAND sh -c "gzip -9nc '${PROJECT_SOURCE_DIR}/packaging/linux/changelog' > '${changelog_gz}'"
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/linux/changelog
  COMMENT "Compressing the package changelog"
  VERBATIM)
add_custom_target(package-changelog ALL DEPENDS ${changelog_gz})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/copyright ${changelog_gz}
        DESTINATION share/doc/drivanta-tools)
