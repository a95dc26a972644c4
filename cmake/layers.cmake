# The floors of the build. Each floor is an object library that sees only its
# own headers and those of the floors beneath it: its headers are linked into
# a folder of their own under the build tree (layers/<floor>/<folder>/name.h),
# that folder is its one include path, and a floor gets the include paths of
# the floors it links. A source that includes a header of a higher floor, or
# of a floor it does not stand on, therefore fails to compile.

# rivo_layer(name SOURCES ... HEADERS ... [LINKS floor ...])
function(rivo_layer name)
  cmake_parse_arguments(L "" "" "SOURCES;HEADERS;LINKS" ${ARGN})
  set(root ${CMAKE_BINARY_DIR}/layers/${name})
  foreach(header ${L_HEADERS})
    get_filename_component(header ${header} ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
    file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${header})
    get_filename_component(folder ${root}/${relative} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(CREATE_LINK ${header} ${root}/${relative} SYMBOLIC)
  endforeach()
  add_library(${name} OBJECT ${L_SOURCES})
  target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${root}>)
  target_link_libraries(${name} PUBLIC ${L_LINKS})
  set_property(TARGET ${name} PROPERTY RIVO_HEADERS ${L_HEADERS})
endfunction()

# rivo_folder_layer(name folder [LINKS floor ...]): a floor of one folder.
function(rivo_folder_layer name folder)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
  rivo_layer(${name} SOURCES ${sources} HEADERS ${headers} ${ARGN})
endfunction()
