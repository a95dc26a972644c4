# Installation and the Debian package. `cmake --install` puts the program, its
# desktop entry, its icon (drawn from the built-in logo by tools/make-icon at
# build time) and its manual page in the standard places under the prefix;
# cpack builds a .deb of the same files installed under /usr.
include(GNUInstallDirs)

set(RIVO_DATA_DIR ${CMAKE_BINARY_DIR}/data)
set(RIVO_ICON ${RIVO_DATA_DIR}/rivo7315.png)
set(RIVO_MAN ${RIVO_DATA_DIR}/rivo7315.6.gz)
set(RIVO_CHANGELOG ${RIVO_DATA_DIR}/changelog.gz)

# make-icon is one of the tools; a fuzz build has none and installs nothing.
if(TARGET make-icon)
  add_custom_command(OUTPUT ${RIVO_ICON}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${RIVO_DATA_DIR}
    COMMAND make-icon ${RIVO_ICON}
    DEPENDS make-icon
    COMMENT "Drawing the icon from the logo")
  # gzip -n: no name or time stamp inside, so the files are the same every build.
  add_custom_command(OUTPUT ${RIVO_MAN}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${RIVO_DATA_DIR}
    COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/docs/rivo7315.6 > ${RIVO_MAN}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/rivo7315.6)
  add_custom_command(OUTPUT ${RIVO_CHANGELOG}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${RIVO_DATA_DIR}
    COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/cmake/debian/changelog > ${RIVO_CHANGELOG}
    DEPENDS ${PROJECT_SOURCE_DIR}/cmake/debian/changelog)
  add_custom_target(rivo7315-data ALL DEPENDS ${RIVO_ICON} ${RIVO_MAN} ${RIVO_CHANGELOG})

  install(TARGETS rivo7315 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES docs/rivo7315.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${RIVO_ICON} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
  install(FILES ${RIVO_MAN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
  install(FILES cmake/debian/copyright ${RIVO_CHANGELOG}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/rivo7315)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rivo7315)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "RIVO7315 developers <rivo7315@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time audiovisual demo in a 256 x 256 window")
# The line under the summary in the package's description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "RIVO7315 draws every frame in software, plays music it synthesises itself,
sends random notes to the MIDI output and runs seven scenes until escape.
The same keys give the same frames and samples on every machine.")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# dpkg-shlibdeps adds what the binary links; the list names the run-time
# libraries and the General MIDI SoundFont the program needs in any case,
# among them FluidSynth and FFmpeg, which the program opens only when first
# used (dlopen), so that dpkg-shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libsdl2-2.0-0, libasound2, libfluidsynth3, timgm6mb-soundfont | sf2-soundfont-gm, libavformat59, libavcodec59, libavutil57, libpng16-16")
include(CPack)
