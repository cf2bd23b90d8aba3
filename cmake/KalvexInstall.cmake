# cmake --install: the programs, the examples, the help pages and what a Linux desktop needs to
# list Kalvex in its menu and open a double-clicked spectrum with it, in their standard places
# under the prefix.
include(GNUInstallDirs)

foreach(program kalvex kalvex-fit)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

# The program finds these beside itself in a build and in <prefix>/share/kalvex once installed.
file(GLOB kalvex_examples ${PROJECT_SOURCE_DIR}/examples/*.spc ${PROJECT_SOURCE_DIR}/examples/*.sp2)
install(FILES ${kalvex_examples} DESTINATION ${CMAKE_INSTALL_DATADIR}/kalvex/examples)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kalvex/help)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kalvex)

install(FILES ${PROJECT_SOURCE_DIR}/desktop/kalvex.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/desktop/kalvex.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/desktop/kalvex.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)

# The desktop reads the MIME types and the menu from caches; refresh them for a real install
# (a packager's staged install under DESTDIR leaves that to the package).
install(CODE [[
    if(NOT DEFINED ENV{DESTDIR} OR "$ENV{DESTDIR}" STREQUAL "")
        set(share "${CMAKE_INSTALL_PREFIX}/share")
        find_program(update_mime update-mime-database)
        if(update_mime)
            execute_process(COMMAND ${update_mime} "${share}/mime" OUTPUT_QUIET ERROR_QUIET)
        endif()
        find_program(update_desktop update-desktop-database)
        if(update_desktop)
            execute_process(COMMAND ${update_desktop} "${share}/applications"
                            OUTPUT_QUIET ERROR_QUIET)
        endif()
    endif()
]])
