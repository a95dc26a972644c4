# The floors above a platform, the same on every platform: the host modules
# that reach it with the sound player, and the demo with its built-in assets.
# Included once the floor rivo_platform exists.

# The host modules that reach the platform, and the sound player.
rivo_layer(rivo_host
  SOURCES host/winmain.cpp host/windpy.cpp host/winkbd.cpp host/fps.cpp audio/winsnd.cpp
  HEADERS host/winmain.h host/windpy.h host/winkbd.h host/fps.h audio/winsnd.h
  LINKS rivo_platform)

# The demo and its built-in assets: files under demo/assets/ (PNM pictures,
# brace texts, the info text), each made a byte array in the build tree.
set(RIVO_ASSETS
  "logo.pbm demo_logo_pnm demo/pictures.h 0"
  "glyphs.pgm demo_glyphs_pnm demo/pictures.h 0"
  "letter1.pgm demo_letter1_pnm demo/pictures.h 0"
  "letter2.pgm demo_letter2_pnm demo/pictures.h 0"
  "letter3.pgm demo_letter3_pnm demo/pictures.h 0"
  "letter4.pgm demo_letter4_pnm demo/pictures.h 0"
  "font8.txt demo_font8_text demo/linefonts.h 1"
  "font16.txt demo_font16_text demo/linefonts.h 1"
  "shapes.txt demo_shapes_text demo/linefonts.h 1"
  "info.txt demo_info_text demo/infotext.h 1")
set(ASSET_DIR ${PROJECT_SOURCE_DIR}/demo/assets)
set(RIVO_ASSET_SOURCES)
foreach(asset ${RIVO_ASSETS})
  separate_arguments(asset)
  list(GET asset 0 file)
  list(GET asset 1 name)
  list(GET asset 2 header)
  list(GET asset 3 text)
  set(out ${CMAKE_BINARY_DIR}/assets/${name}.cpp)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DIN=${ASSET_DIR}/${file} -DOUT=${out} -DNAME=${name}
            -DHEADER=${header} -DTEXT=${text} -P ${ASSET_DIR}/embed.cmake
    DEPENDS ${ASSET_DIR}/${file} ${ASSET_DIR}/embed.cmake
    COMMENT "Embedding demo/assets/${file}")
  list(APPEND RIVO_ASSET_SOURCES ${out})
endforeach()
rivo_folder_layer(rivo_demo demo LINKS rivo_host)
target_sources(rivo_demo PRIVATE ${RIVO_ASSET_SOURCES})
