# The library as others use it. The portable floors (core, base, text,
# effects) make librivo7315; the platform floor and the host modules with the
# sound player make librivo7315-platform on top of it. Each comes as a static
# archive and as a shared library (SONAME librivo7315.so.1 and
# librivo7315-platform.so.1) built from the same objects: the floors are
# compiled position-independent with every symbol hidden, and only the
# declarations marked RIVO_API (host/export.h) are exported. The demo and the
# program entry are not part of it. Installed headers keep the source layout,
# include/rivo7315/<folder>/name.h, and include each other as "imaging/img.h".
# Libraries go to Debian's multiarch folder (lib/x86_64-linux-gnu) under any
# prefix: /usr/local's is on the loader's and pkg-config's paths as /usr's is.
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(CMAKE_INSTALL_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE})
endif()
include(GNUInstallDirs)

set(RIVO_LIB_LAYERS ${RIVO_PORTABLE_LAYERS})
if(RIVO_PLATFORM)
  set(RIVO_PLATFORM_LIB_LAYERS rivo_platform rivo_host)
endif()
set_target_properties(${RIVO_LIB_LAYERS} ${RIVO_PLATFORM_LIB_LAYERS} PROPERTIES
  POSITION_INDEPENDENT_CODE ON CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)

# Headers that only the library's own sources include: shared helpers with no
# module of their own, the processor switch and the backend's inner parts.
set(RIVO_PRIVATE_HEADERS host/module.h host/simd.h imaging/img_curve.h imaging/img_geom.h
  imaging/img_walk.h imaging/pnm.h text/lscroll_core.h platform/backend_sdl.h platform/outputs.h platform/dynlib.h
  platform/capture.h platform/record.h platform/midi_message.h)

set(RIVO_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/rivo7315)
set(RIVO_GENERATED ${CMAKE_BINARY_DIR}/generated)
configure_file(cmake/version.h.in ${RIVO_GENERATED}/rivo7315/host/version.h @ONLY)

# rivo_library(name output component export LAYERS ... [STATIC_LINKS ...]
# [SHARED_LINKS ...] [PRIVATE_LINKS ...]): name_static and name_shared of the
# layers' objects (exported as rivo7315::<export>_static and
# rivo7315::<export>), and the layers' public headers installed.
function(rivo_library name output component export)
  cmake_parse_arguments(L "" "" "LAYERS;STATIC_LINKS;SHARED_LINKS;PRIVATE_LINKS" ${ARGN})
  set(objects)
  set(headers)
  foreach(layer ${L_LAYERS})
    list(APPEND objects $<TARGET_OBJECTS:${layer}>)
    get_target_property(layer_headers ${layer} RIVO_HEADERS)
    list(APPEND headers ${layer_headers})
  endforeach()
  add_library(${name}_static STATIC ${objects})
  add_library(${name}_shared SHARED ${objects})
  set_target_properties(${name}_shared PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION 1)
  target_link_options(${name}_shared PRIVATE LINKER:--as-needed)
  # Every symbol resolved at link time; clang leaves a sanitizer's runtime to
  # the program, so a fuzz build's libraries cannot be checked so.
  if(NOT RIVO_FUZZ)
    target_link_options(${name}_shared PRIVATE LINKER:--no-undefined)
  endif()
  foreach(kind static shared)
    set_target_properties(${name}_${kind} PROPERTIES OUTPUT_NAME ${output}
      ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
    foreach(layer ${L_LAYERS})
      get_target_property(root ${layer} INTERFACE_INCLUDE_DIRECTORIES)
      target_include_directories(${name}_${kind} INTERFACE ${root})
    endforeach()
    target_include_directories(${name}_${kind} INTERFACE
      $<BUILD_INTERFACE:${RIVO_GENERATED}/rivo7315> $<INSTALL_INTERFACE:${RIVO_INCLUDE_DIR}>)
    target_compile_features(${name}_${kind} INTERFACE cxx_std_20)
  endforeach()
  set_target_properties(${name}_shared PROPERTIES EXPORT_NAME ${export})
  set_target_properties(${name}_static PROPERTIES EXPORT_NAME ${export}_static)
  target_link_libraries(${name}_static PUBLIC ${L_STATIC_LINKS})
  target_link_libraries(${name}_shared PUBLIC ${L_SHARED_LINKS} PRIVATE ${L_PRIVATE_LINKS})
  install(TARGETS ${name}_shared EXPORT rivo7315-${component}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT ${component}_runtime NAMELINK_COMPONENT dev)
  install(TARGETS ${name}_static EXPORT rivo7315-${component}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
  foreach(header ${headers})
    get_filename_component(header ${header} ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
    file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${header})
    if(NOT relative IN_LIST RIVO_PRIVATE_HEADERS)
      get_filename_component(folder ${relative} DIRECTORY)
      install(FILES ${header} DESTINATION ${RIVO_INCLUDE_DIR}/${folder} COMPONENT dev)
      set_property(GLOBAL APPEND PROPERTY RIVO_PUBLIC_HEADERS ${header})
    endif()
  endforeach()
endfunction()

rivo_library(rivo7315_lib rivo7315 library rivo7315 LAYERS ${RIVO_LIB_LAYERS})
install(FILES ${RIVO_GENERATED}/rivo7315/host/version.h
        DESTINATION ${RIVO_INCLUDE_DIR}/host COMPONENT dev)
add_library(rivo7315::rivo7315 ALIAS rivo7315_lib_shared)
add_library(rivo7315::rivo7315_static ALIAS rivo7315_lib_static)
set(RIVO_PC_FILES rivo7315)
set(RIVO_COMPONENTS library)

if(RIVO_PLATFORM)
  # The platform's own libraries: linked by the shared library, named for a
  # static link (pkg-config --static, the static target's link interface).
  set(RIVO_PLATFORM_LIBS ${SDL2_LIBRARIES} ${ALSA_LIBRARIES} ${PNG_LIBRARIES} ${ZLIB_LIBRARIES} pthread dl)
  list(REMOVE_DUPLICATES RIVO_PLATFORM_LIBS)
  set(RIVO_PLATFORM_TARGETS PkgConfig::SDL2 PkgConfig::ALSA PkgConfig::PNG PkgConfig::ZLIB Threads::Threads ${CMAKE_DL_LIBS})
  set(static_links rivo7315_lib_static)
  foreach(lib ${RIVO_PLATFORM_TARGETS})
    list(APPEND static_links $<BUILD_INTERFACE:${lib}>)
  endforeach()
  foreach(lib ${RIVO_PLATFORM_LIBS})
    list(APPEND static_links $<INSTALL_INTERFACE:${lib}>)
  endforeach()
  rivo_library(rivo7315_platform rivo7315-platform platform platform LAYERS ${RIVO_PLATFORM_LIB_LAYERS}
    STATIC_LINKS ${static_links}
    SHARED_LINKS rivo7315_lib_shared
    PRIVATE_LINKS ${RIVO_PLATFORM_TARGETS})
  add_library(rivo7315::platform ALIAS rivo7315_platform_shared)
  add_library(rivo7315::platform_static ALIAS rivo7315_platform_static)
  list(JOIN RIVO_PLATFORM_LIBS " -l" RIVO_PLATFORM_LIBS_FLAGS)
  set(RIVO_PLATFORM_LIBS_FLAGS "-l${RIVO_PLATFORM_LIBS_FLAGS}")
  list(APPEND RIVO_PC_FILES rivo7315-platform)
  list(APPEND RIVO_COMPONENTS platform)
endif()

# pkg-config files and the CMake package (targets rivo7315::rivo7315 and
# rivo7315::rivo7315_static; the component "platform" adds rivo7315::platform
# and rivo7315::platform_static).
# The .pc files find the prefix from where they lie, so that a tree installed
# with --prefix or DESTDIR anywhere works as it is.
file(RELATIVE_PATH RIVO_PC_PREFIX /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
string(REGEX REPLACE "/$" "" RIVO_PC_PREFIX "${RIVO_PC_PREFIX}")
foreach(pc ${RIVO_PC_FILES})
  configure_file(cmake/${pc}.pc.in ${RIVO_GENERATED}/${pc}.pc @ONLY)
  install(FILES ${RIVO_GENERATED}/${pc}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)
endforeach()
set(RIVO_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/rivo7315)
foreach(component ${RIVO_COMPONENTS})
  install(EXPORT rivo7315-${component} NAMESPACE rivo7315:: DESTINATION ${RIVO_CMAKE_DIR}
    FILE rivo7315-${component}-targets.cmake COMPONENT dev)
endforeach()
include(CMakePackageConfigHelpers)
write_basic_package_version_file(${RIVO_GENERATED}/rivo7315-config-version.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES cmake/rivo7315-config.cmake ${RIVO_GENERATED}/rivo7315-config-version.cmake
  DESTINATION ${RIVO_CMAKE_DIR} COMPONENT dev)

# The HTML reference of the public headers (`make docs`, Debian's doxygen).
get_property(RIVO_DOC_HEADERS GLOBAL PROPERTY RIVO_PUBLIC_HEADERS)
list(APPEND RIVO_DOC_HEADERS ${RIVO_GENERATED}/rivo7315/host/version.h ${PROJECT_SOURCE_DIR}/docs/groups.dox)
list(JOIN RIVO_DOC_HEADERS " " RIVO_DOC_INPUT)
configure_file(docs/Doxyfile.in ${CMAKE_BINARY_DIR}/Doxyfile @ONLY)
find_program(DOXYGEN doxygen)
if(DOXYGEN)
  add_custom_target(docs COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/docs
    COMMAND ${DOXYGEN} ${CMAKE_BINARY_DIR}/Doxyfile
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} COMMENT "Writing the reference into docs/html")
else()
  add_custom_target(docs COMMAND ${CMAKE_COMMAND} -E echo "doxygen is not installed (make deps installs it)"
    COMMAND ${CMAKE_COMMAND} -E false)
endif()
