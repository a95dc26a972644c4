# find_package(rivo7315 CONFIG [COMPONENTS platform]): rivo7315::rivo7315 (the
# shared library) and rivo7315::rivo7315_static; the component platform adds
# rivo7315::platform and rivo7315::platform_static (window, keys, pacing,
# sound playback; links SDL2, ALSA, libpng and zlib).
include(${CMAKE_CURRENT_LIST_DIR}/rivo7315-library-targets.cmake)
set(rivo7315_library_FOUND TRUE)
foreach(component ${rivo7315_FIND_COMPONENTS})
  set(targets ${CMAKE_CURRENT_LIST_DIR}/rivo7315-${component}-targets.cmake)
  if(EXISTS ${targets})
    include(${targets})
    set(rivo7315_${component}_FOUND TRUE)
  else()
    set(rivo7315_${component}_FOUND FALSE)
    if(rivo7315_FIND_REQUIRED_${component})
      set(rivo7315_FOUND FALSE)
      set(rivo7315_NOT_FOUND_MESSAGE "rivo7315 has no component ${component}")
    endif()
  endif()
endforeach()
