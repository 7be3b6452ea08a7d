# What `cmake --install` puts where a Linux desktop finds it: the program, its desktop entry (so
# that Starwick shows in the desktop's menus) and its icon in the hicolor theme, drawn by
# tools/make_artwork.
include(GNUInstallDirs)
install(TARGETS starwick RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/starwick.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

if(STARWICK_BUILD_TESTS)
    # Installs into a folder of the build and checks what landed there.
    add_test(NAME dist_install
        COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DPREFIX=${CMAKE_BINARY_DIR}/install-check
                -P ${CMAKE_CURRENT_LIST_DIR}/check_install.cmake)
    set_tests_properties(dist_install PROPERTIES SKIP_REGULAR_EXPRESSION "desktop-file-validate is not installed")
endif()
