# The portable Windows copy: one zip holding a program directory, the
# window and the converter beside their templates (html/), icons (pict/) and
# the sample export (examples/), with a README.txt of its rules. Unpacked
# anywhere the user can write, it runs as it is: the logbook goes to Output/
# beside the program.
install(TARGETS quellmar-convert RUNTIME DESTINATION .)
if(TARGET quellmar)
  install(TARGETS quellmar RUNTIME DESTINATION .)
endif()
install(DIRECTORY "${PROJECT_SOURCE_DIR}/resources/html" "${PROJECT_SOURCE_DIR}/resources/pict"
        DESTINATION .)
install(DIRECTORY "${PROJECT_SOURCE_DIR}/examples/" DESTINATION examples)
configure_file("${PROJECT_SOURCE_DIR}/packaging/windows/README.txt.in"
               "${CMAKE_BINARY_DIR}/README.txt" @ONLY NEWLINE_STYLE CRLF)
install(FILES "${CMAKE_BINARY_DIR}/README.txt" DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Quellmar)
set(CPACK_PACKAGE_VENDOR Quellmar)
set(CPACK_PACKAGE_FILE_NAME "quellmar-${PROJECT_VERSION}-windows-x64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_OUTPUT_FILE_PREFIX "${CMAKE_BINARY_DIR}")
include(CPack)
