# The floors above the portable library: the Linux platform, the host modules
# that reach it and the sound player, the demo, and the program. Only the
# platform floor sees SDL, ALSA, FluidSynth, FFmpeg, libpng and zlib.

find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(ALSA REQUIRED IMPORTED_TARGET alsa)
pkg_check_modules(FLUIDSYNTH REQUIRED IMPORTED_TARGET fluidsynth)
# Recordings (platform/record) and PNG frames and screenshots (platform/capture).
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libavutil)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
# The frame hashes (CRC-32).
pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)
find_package(Threads REQUIRED)

# FFmpeg (recordings) and FluidSynth (the built-in synthesiser) are opened
# with dlopen when first used, not linked: with what they bring they are over
# a hundred shared objects, whose loading would delay every start. The name
# to open is the library's soname, read from the file the link would use.
function(rivo_soname var library)
  file(REAL_PATH "${library}" real)
  get_filename_component(name "${real}" NAME)
  string(REGEX MATCH "^lib.+\\.so\\.[0-9]+" soname "${name}")
  if(NOT soname)
    message(FATAL_ERROR "cannot tell the soname of ${library}")
  endif()
  set(${var} "${soname}" PARENT_SCOPE)
endfunction()
set(avformat ${FFMPEG_LINK_LIBRARIES})
list(FILTER avformat INCLUDE REGEX "libavformat\\.so$")
rivo_soname(RIVO_AVFORMAT_SO "${avformat}")
rivo_soname(RIVO_FLUIDSYNTH_SO "${FLUIDSYNTH_LINK_LIBRARIES}")

# The Linux platform: window, sound device, MIDI ports, synthesiser, recorder,
# capture, loader. It stands on the portable library (images for frames, the
# sample-file writer for captured sound).
rivo_folder_layer(rivo_platform platform LINKS rivo_effects)
target_include_directories(rivo_platform SYSTEM PRIVATE ${FLUIDSYNTH_INCLUDE_DIRS} ${FFMPEG_INCLUDE_DIRS})
target_link_libraries(rivo_platform PRIVATE PkgConfig::SDL2 PkgConfig::ALSA)
target_link_libraries(rivo_platform PUBLIC
  $<LINK_ONLY:PkgConfig::SDL2> $<LINK_ONLY:PkgConfig::ALSA> $<LINK_ONLY:PkgConfig::PNG> $<LINK_ONLY:PkgConfig::ZLIB>
  $<LINK_ONLY:Threads::Threads> ${CMAKE_DL_LIBS})
set_property(SOURCE platform/record.cpp APPEND PROPERTY COMPILE_DEFINITIONS RIVO_AVFORMAT_SO="${RIVO_AVFORMAT_SO}")
set_property(SOURCE platform/synth.cpp APPEND PROPERTY COMPILE_DEFINITIONS RIVO_FLUIDSYNTH_SO="${RIVO_FLUIDSYNTH_SO}")
target_include_directories(rivo_platform PRIVATE ${PNG_INCLUDE_DIRS} ${ZLIB_INCLUDE_DIRS})

# The host modules, the sound player and the demo (shared with the browser build).
include(cmake/demo.cmake)

# The command line, beneath the program entry (the tests reach it too).
file(GLOB RIVO_APP_SOURCES CONFIGURE_DEPENDS app/*.cpp)
list(FILTER RIVO_APP_SOURCES EXCLUDE REGEX "app/main\\.cpp$")
file(GLOB RIVO_APP_HEADERS CONFIGURE_DEPENDS app/*.h)
rivo_layer(rivo_app SOURCES ${RIVO_APP_SOURCES} HEADERS ${RIVO_APP_HEADERS} LINKS rivo_demo)
target_compile_definitions(rivo_app PRIVATE RIVO_VERSION="${PROJECT_VERSION}")

# Every floor in one static library, for the program, the tools and the tests.
add_library(rivo STATIC)
target_link_libraries(rivo PUBLIC ${RIVO_PORTABLE_LAYERS} rivo_platform rivo_host rivo_demo rivo_app)

# The whole archive is linked so that every module's identity record is in the
# program, including modules whose functions the demo never calls.
add_executable(rivo7315 app/main.cpp)
target_link_libraries(rivo7315 PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,rivo>")
