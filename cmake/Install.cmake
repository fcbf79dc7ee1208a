# What `cmake --install` puts under the prefix: the programs, and the files
# through which the desktop finds the application (its launcher entry, icon
# and software-centre description), all named by QUILLFEN_APP_ID.
# Included after the programs are defined, so the window is installed
# whenever this build has it.
include(GNUInstallDirs)

set(QUILLFEN_DESKTOP_FILE ${PROJECT_BINARY_DIR}/resources/${QUILLFEN_APP_ID}.desktop)
set(QUILLFEN_METAINFO_FILE ${PROJECT_BINARY_DIR}/resources/${QUILLFEN_APP_ID}.metainfo.xml)
configure_file(${PROJECT_SOURCE_DIR}/resources/quillfen.desktop.in ${QUILLFEN_DESKTOP_FILE} @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/quillfen.metainfo.xml.in ${QUILLFEN_METAINFO_FILE}
    @ONLY)

install(TARGETS quillfen-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET quillfen)
    install(TARGETS quillfen RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${QUILLFEN_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QUILLFEN_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/quillfen.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
    RENAME ${QUILLFEN_APP_ID}.svg)
