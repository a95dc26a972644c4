# Installation and the Debian packages. `cmake --install` puts the program, its
# desktop entry, its icon (drawn from the built-in logo by tools/make-icon at
# build time) and its manual page in the standard places under the prefix,
# and the library (cmake/library.cmake) beside them; cpack builds one .deb per
# component of the same files installed under /usr: rivo7315 (the program),
# librivo7315-1 and librivo7315-platform1 (the shared libraries) and
# librivo7315-dev (headers, static libraries, pkg-config and CMake files, the
# examples as sources).
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

  install(TARGETS rivo7315 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
  install(FILES docs/rivo7315.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT program)
  install(FILES ${RIVO_ICON} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps COMPONENT program)
  install(FILES ${RIVO_MAN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT program)
  # Every package carries the copyright and the changelog in its own folder.
  foreach(package rivo7315:program librivo7315-1:library_runtime librivo7315-platform1:platform_runtime
                  librivo7315-dev:dev)
    string(REPLACE ":" ";" package ${package})
    list(GET package 0 name)
    list(GET package 1 component)
    install(FILES cmake/debian/copyright ${RIVO_CHANGELOG}
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${name} COMPONENT ${component})
  endforeach()
  # The examples that need only the library (effects_reel borrows the demo's assets).
  file(GLOB RIVO_EXAMPLE_SOURCES CONFIGURE_DEPENDS examples/*.cpp)
  list(FILTER RIVO_EXAMPLE_SOURCES EXCLUDE REGEX "effects_reel\\.cpp$")
  install(FILES examples/CMakeLists.txt ${RIVO_EXAMPLE_SOURCES}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/librivo7315-dev/examples COMPONENT dev)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program library_runtime platform_runtime dev)
set(CPACK_PACKAGE_NAME rivo7315)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "RIVO7315 developers <rivo7315@example.org>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# The platform library needs librivo7315.so.1, which is in no installed package
# yet: dpkg-shlibdeps finds it in the build tree, the dependency is named below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/lib)
set(RIVO_SAME_VERSION "(= ${PROJECT_VERSION})")
# The shared library packages take dpkg's ldconfig trigger in place of the
# ldconfig calls CPack writes into their maintainer scripts.
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/debian/ldconfig-trigger.cmake)

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME rivo7315)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PROGRAM_DESCRIPTION "real-time audiovisual demo in a 256 x 256 window
RIVO7315 draws every frame in software, plays music it synthesises itself,
sends random notes to the MIDI output and runs seven scenes until escape.
The same keys give the same frames and samples on every machine.")
# dpkg-shlibdeps adds what the binary links (SDL2, ALSA, libpng, zlib); the
# list names what it cannot see: the General MIDI SoundFont, and FluidSynth
# and FFmpeg, which the program opens only when first used (dlopen), because
# with what they bring they are over a hundred shared objects.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS
  "libfluidsynth3, timgm6mb-soundfont | sf2-soundfont-gm, libavformat59, libavcodec59, libavutil57")

set(CPACK_DEBIAN_LIBRARY_RUNTIME_PACKAGE_NAME librivo7315-1)
set(CPACK_DEBIAN_LIBRARY_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_LIBRARY_RUNTIME_DESCRIPTION "software-rendered images, vectors, text, effects and sound
The rivo7315 library draws into 32-bit images with integer arithmetic only:
lines, ellipses, blits, flood fill, byte maps, PNM files, vector objects and
line fonts, bitmap fonts and scrollers, raster bars, rain and helix effects,
and synthesises sound into sample buffers written as WAV files. The same
calls give the same pixels and samples on every machine.")
set(CPACK_DEBIAN_PLATFORM_RUNTIME_PACKAGE_NAME librivo7315-platform1)
set(CPACK_DEBIAN_PLATFORM_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PLATFORM_RUNTIME_PACKAGE_DEPENDS "librivo7315-1 ${RIVO_SAME_VERSION}")
set(CPACK_DEBIAN_PLATFORM_RUNTIME_DESCRIPTION "window, keys, pacing and sound for the rivo7315 library
The platform part of the rivo7315 library: a window that shows 32-bit
images (SDL2, or headless), keys, a frame timer, and a sound player that
loops a sample buffer through the sound device (ALSA).")
set(CPACK_DEBIAN_DEV_PACKAGE_NAME librivo7315-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS
  "librivo7315-1 ${RIVO_SAME_VERSION}, librivo7315-platform1 ${RIVO_SAME_VERSION}")
set(CPACK_DEBIAN_DEV_DESCRIPTION "development files of the rivo7315 library
Headers, static libraries, pkg-config and CMake package files of the
rivo7315 library, which draws images, vectors, text and effects and
synthesises sound with integer arithmetic only, and of its platform part
(window, keys, pacing, sound). Small example programs come as sources.")
include(CPack)
