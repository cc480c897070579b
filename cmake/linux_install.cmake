# Installing on Linux: the usual layout under CMAKE_INSTALL_PREFIX, and the
# Debian package made from it by CPack (cmake --workflow --preset deb). The
# programs find their templates through <bindir>/../share/quellmar, which
# fills each user's own program folder (src/commands/program_directory.h).
include(GNUInstallDirs)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                                GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(quellmar_desktop "${PROJECT_SOURCE_DIR}/resources/desktop")
set(quellmar_packaging "${CMAKE_BINARY_DIR}/packaging")

install(TARGETS quellmar-convert RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(DIRECTORY "${PROJECT_SOURCE_DIR}/resources/html" "${PROJECT_SOURCE_DIR}/resources/pict"
                  "${PROJECT_SOURCE_DIR}/examples"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/quellmar")

# Manual pages and the changelog are installed compressed, as Debian wants them.
function(quellmar_gzip source output)
  add_custom_command(OUTPUT "${output}" COMMAND gzip -9n -c "${source}" > "${output}"
                     DEPENDS "${source}" VERBATIM)
endfunction()
set(quellmar_pages quellmar-convert)
if(TARGET quellmar)
  list(APPEND quellmar_pages quellmar)
endif()
set(quellmar_gzipped "")
foreach(page IN LISTS quellmar_pages)
  configure_file("${PROJECT_SOURCE_DIR}/docs/man/${page}.1.in" "${quellmar_packaging}/${page}.1" @ONLY)
  quellmar_gzip("${quellmar_packaging}/${page}.1" "${quellmar_packaging}/${page}.1.gz")
  list(APPEND quellmar_gzipped "${quellmar_packaging}/${page}.1.gz")
endforeach()
configure_file("${PROJECT_SOURCE_DIR}/resources/debian/changelog.in"
               "${quellmar_packaging}/changelog" @ONLY)
configure_file("${quellmar_desktop}/quellmar.metainfo.xml.in"
               "${quellmar_packaging}/quellmar.metainfo.xml" @ONLY)
quellmar_gzip("${quellmar_packaging}/changelog" "${quellmar_packaging}/changelog.gz")
add_custom_target(quellmar_packaging_files ALL
                  DEPENDS ${quellmar_gzipped} "${quellmar_packaging}/changelog.gz")
install(FILES ${quellmar_gzipped} DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
install(FILES "${PROJECT_SOURCE_DIR}/resources/debian/copyright"
              "${quellmar_packaging}/changelog.gz"
        DESTINATION "${CMAKE_INSTALL_DOCDIR}")

# The window: its menu entry, icons and AppStream description.
if(TARGET quellmar)
  install(TARGETS quellmar RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
  install(FILES "${quellmar_desktop}/quellmar.desktop"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
  install(FILES "${quellmar_desktop}/quellmar.png"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps")
  install(FILES "${quellmar_desktop}/quellmar.svg"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
  install(FILES "${quellmar_packaging}/quellmar.metainfo.xml"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo" RENAME org.example.quellmar.metainfo.xml)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quellmar)
set(CPACK_PACKAGE_VENDOR "Quellmar team")
set(CPACK_PACKAGE_CONTACT "Quellmar team <dive@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/quellmar")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quellmar reads the CSV export of the SDM dive manager (a main file with one
line per dive and its companion files), shows a summary of the logbook and
writes a browsable HTML logbook from four templates you can edit, with a
note page and a depth-profile picture for every dive.
.
The package holds the desktop window, quellmar, and the same converter for
the command line, quellmar-convert. Each user gets a program folder of their
own, ~/.local/share/quellmar, with the templates, the icons, a sample export
and the written logbook.")
include(CPack)
