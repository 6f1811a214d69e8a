# The Debian copyright file of each package, made from LICENSE in the machine-readable format:
# every line of the licence text indented by one space, an empty line written " .".
file(READ ${PROJECT_SOURCE_DIR}/LICENSE CARVELLE_LICENSE_TEXT)
string(STRIP "${CARVELLE_LICENSE_TEXT}" CARVELLE_LICENSE_TEXT)
string(REPLACE "\n\n" "\n.\n" CARVELLE_LICENSE_TEXT "${CARVELLE_LICENSE_TEXT}")
string(REPLACE "\n" "\n " CARVELLE_LICENSE_TEXT " ${CARVELLE_LICENSE_TEXT}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in ${CMAKE_BINARY_DIR}/copyright @ONLY)

install(FILES ${CMAKE_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/carvelle COMPONENT carvelle)
install(FILES ${CMAKE_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/libdorvane-dev
        COMPONENT dev)
