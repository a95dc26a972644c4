# Run by cpack once the packages are built (CPACK_POST_BUILD_SCRIPTS). CPack
# gives a package with shared libraries in /usr/lib a postinst and a postrm
# that call ldconfig; Debian has dpkg's ldconfig trigger do that instead. So
# each shared library package is unpacked, its two scripts replaced by the
# trigger, and packed again.
foreach(deb ${CPACK_PACKAGE_FILES})
  if(deb MATCHES "/librivo7315(-platform)?-?1_[^/]*\\.deb$")
    set(tree ${deb}.tree)
    file(REMOVE_RECURSE ${tree})
    execute_process(COMMAND dpkg-deb -R ${deb} ${tree} COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE ${tree}/DEBIAN/postinst ${tree}/DEBIAN/postrm)
    file(WRITE ${tree}/DEBIAN/triggers "activate-noawait ldconfig\n")
    execute_process(COMMAND dpkg-deb --root-owner-group -Zxz -b ${tree} ${deb}
                    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE ${tree})
  endif()
endforeach()
