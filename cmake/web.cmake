# The browser build (Emscripten): the portable floors, a web platform floor of
# its own sources (canvas, keys, Web Audio and Web MIDI through small
# JavaScript glue; no SDL, ALSA, FFmpeg, libpng, zlib or FluidSynth), the host
# modules, the demo and the web entry. The result is a static page in the
# build folder: index.html, rivo7315.js, rivo7315.wasm and the sound worklet.
# The demo's scene loop never returns; Asyncify lets it sleep between frames
# while the browser paints, plays and delivers keys.

set(WEB_DIR ${PROJECT_SOURCE_DIR}/platform/web)

# The platform floor for the browser: the same headers as on Linux, the
# dispatcher platform/backend.cpp shared with it, everything else its own.
# The page's pair of backends is the one the dispatcher chooses from.
rivo_layer(rivo_platform
  SOURCES platform/backend.cpp ${WEB_DIR}/backend_web.cpp ${WEB_DIR}/outputs_web.cpp
    ${WEB_DIR}/player_web.cpp ${WEB_DIR}/midi_web.cpp platform/midi_message.cpp
  HEADERS platform/backend.h platform/midi_message.h platform/outputs.h platform/options.h platform/player.h platform/midi.h
    platform/synth.h platform/web/bench.h
  LINKS rivo_effects)
target_include_directories(rivo_platform PRIVATE ${WEB_DIR})

include(cmake/demo.cmake)

# Every floor's objects go into the program, as the desktop links its whole archive.
add_executable(rivo7315 app/web/main_web.cpp)
target_link_libraries(rivo7315 PRIVATE ${RIVO_PORTABLE_LAYERS} rivo_platform rivo_host rivo_demo)
set_target_properties(rivo7315 PROPERTIES SUFFIX ".js")
# ASYNCIFY: demo_main keeps its endless loop; each sleep and each yield to the
# browser unwinds to the event loop and resumes there. Memory grows as the
# demo allocates (its work images, the instrument bank).
target_link_options(rivo7315 PRIVATE
  -sASYNCIFY -sASYNCIFY_IMPORTS=['rivo_web_wait','rivo_web_wait_key','rivo_web_yield']
  -sASYNCIFY_STACK_SIZE=65536 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=33554432 -sTOTAL_STACK=1048576
  -sEXIT_RUNTIME=1 -sINVOKE_RUN=0 -sENVIRONMENT=web
  -sEXPORTED_FUNCTIONS=['_main','_player_web_render','_rivo_web_rgba']
  -sEXPORTED_RUNTIME_METHODS=['callMain']
  --js-library ${WEB_DIR}/library_rivo7315.js)
set_property(TARGET rivo7315 APPEND PROPERTY LINK_DEPENDS ${WEB_DIR}/library_rivo7315.js)

# The page beside the program.
foreach(file index.html page.js sound-worklet.js)
  configure_file(${WEB_DIR}/${file} ${CMAKE_BINARY_DIR}/${file} COPYONLY)
endforeach()
