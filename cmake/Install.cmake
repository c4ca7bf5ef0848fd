# Install rules (cmake --install BUILD_DIR [--prefix PREFIX]):
#
#   bin/nivra-usb, bin/nivra-cli, bin/nivra-counter-sim      the programs this tree builds
#   libexec/nivra-usb/nivra-usb-launcher                     starts nivra-usb in the workspace
#   share/applications/nivra-usb.desktop                     the menu entry (Exec= the launcher)
#   share/icons/hicolor/scalable/apps/nivra-usb.svg          its icon
#   share/man/man1/nivra-cli.1.gz, nivra-counter-sim.1.gz, nivra-usb.1.gz
#
# The launcher, the menu entry, the icon and nivra-usb's manual page belong to the window layer
# and are installed with it (NIVRA_GUI). The launcher lies in libexec because only the menu entry
# calls it; from a terminal, operators start nivra-usb in the folder they want to work in.

include(GNUInstallDirs)

set(NIVRA_LAUNCHER_DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/nivra-usb)
set(NIVRA_DESKTOP_ID nivra-usb)

foreach(program nivra-usb nivra-cli nivra-counter-sim)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

# Manual pages, compressed as Debian installs them (gzip -n keeps the output reproducible).
find_program(NIVRA_GZIP gzip)
function(nivra_install_man_page page)
    set(source ${CMAKE_SOURCE_DIR}/docs/man/${page})
    if(NIVRA_GZIP)
        set(compressed ${CMAKE_BINARY_DIR}/man/${page}.gz)
        add_custom_command(OUTPUT ${compressed}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
            COMMAND ${NIVRA_GZIP} -9 -n -c ${source} > ${compressed}
            DEPENDS ${source}
            COMMENT "Compressing the manual page ${page}"
            VERBATIM)
        string(REPLACE "." "-" target nivra-man-${page})
        add_custom_target(${target} ALL DEPENDS ${compressed})
        install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    else()
        install(FILES ${source} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
endfunction()

if(TARGET nivra-cli)
    nivra_install_man_page(nivra-cli.1)
endif()
if(TARGET nivra-counter-sim)
    nivra_install_man_page(nivra-counter-sim.1)
endif()

if(NIVRA_GUI AND NOT NIVRA_ONLY_CONCURRENCY)
    nivra_install_man_page(nivra-usb.1)

    # The launcher finds nivra-usb relative to its own folder, so the installed pair keeps working
    # under any prefix.
    file(RELATIVE_PATH NIVRA_PROGRAM_DIR_FROM_LAUNCHER
        ${CMAKE_INSTALL_FULL_LIBEXECDIR}/nivra-usb ${CMAKE_INSTALL_FULL_BINDIR})
    configure_file(${CMAKE_SOURCE_DIR}/packaging/nivra-usb-launcher.in
        ${CMAKE_BINARY_DIR}/packaging/nivra-usb-launcher @ONLY USE_SOURCE_PERMISSIONS)
    install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/nivra-usb-launcher
        DESTINATION ${NIVRA_LAUNCHER_DESTINATION})

    # The menu entry names the launcher and the program by absolute path, which is known only at
    # install time; TryExec keeps the entry out of the menu while nivra-usb is not installed.
    set(desktop_entry ${CMAKE_BINARY_DIR}/packaging/${NIVRA_DESKTOP_ID}.desktop)
    install(CODE "
        set(NIVRA_DESKTOP_TEMPLATE [[${CMAKE_SOURCE_DIR}/packaging/nivra-usb.desktop.in]])
        set(NIVRA_DESKTOP_OUTPUT [[${desktop_entry}]])
        set(NIVRA_LAUNCHER_DESTINATION [[${NIVRA_LAUNCHER_DESTINATION}/nivra-usb-launcher]])
        set(NIVRA_PROGRAM_DESTINATION [[${CMAKE_INSTALL_BINDIR}/nivra-usb]])
        include([[${CMAKE_CURRENT_LIST_DIR}/DesktopEntry.cmake]])")
    install(FILES ${desktop_entry} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

    install(FILES ${CMAKE_SOURCE_DIR}/packaging/nivra-usb.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${NIVRA_DESKTOP_ID}.svg)
endif()
