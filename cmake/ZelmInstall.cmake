# Installation in the GNU layout and the Debian package, for Linux: zelm and zelm-capture, the
# data files, zelm as an XScreenSaver hack with its configuration file, and system-wide default
# settings under <sysconfdir>/xdg/Varno/ZELM. The Windows build installs nothing.
include(GNUInstallDirs)

foreach(program zelm zelm-capture)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

install(FILES data/font.pcx data/particle.pcx data/height.pcx
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zelm)

if(TARGET zelm)
    # Debian's xscreensaver reads hack descriptions from here.
    install(FILES packaging/zelm.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
    set(zelm_install_hack ON)

    # The menu entries (the demo and its settings) and their icon, drawn at build time from the
    # Windows icon's artwork in the hicolor theme's sizes.
    install(FILES packaging/zelm.desktop packaging/zelm-settings.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    set(icon_dir ${PROJECT_BINARY_DIR}/packaging/icons)
    set(icons "")
    foreach(size 16 32 48 64 128 256)
        list(APPEND icons ${icon_dir}/${size}x${size}/apps/zelm.png)
    endforeach()
    add_custom_command(
        OUTPUT ${icons}
        COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/packaging/make_icons.py ${icon_dir}
        DEPENDS ${PROJECT_SOURCE_DIR}/packaging/make_icons.py
                ${PROJECT_SOURCE_DIR}/resources/make_images.py
        COMMENT "Drawing the desktop icons")
    add_custom_target(zelm_icons ALL DEPENDS ${icons})
    install(DIRECTORY ${icon_dir}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
else()
    set(zelm_install_hack OFF)
endif()

# The copyright file, the changelog and the man pages, compressed as Debian keeps them
# (gzip -n: no name or time stamp, so the same sources give the same package).
find_program(ZELM_GZIP gzip REQUIRED)
set(doc_build_dir ${PROJECT_BINARY_DIR}/packaging/doc)
set(compressed_docs "")
foreach(source CHANGELOG packaging/man/zelm.6 packaging/man/zelm-capture.1)
    get_filename_component(name ${source} NAME)
    if(name STREQUAL "CHANGELOG")
        set(name changelog)
    endif()
    set(output ${doc_build_dir}/${name}.gz)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${doc_build_dir}
        COMMAND ${ZELM_GZIP} -9nc ${PROJECT_SOURCE_DIR}/${source} > ${output}
        DEPENDS ${PROJECT_SOURCE_DIR}/${source}
        COMMENT "Compressing ${source}")
    list(APPEND compressed_docs ${output})
endforeach()
add_custom_target(zelm_docs ALL DEPENDS ${compressed_docs})
install(FILES packaging/copyright ${doc_build_dir}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${doc_build_dir}/zelm.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${doc_build_dir}/zelm-capture.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# A stripped install (cpack, cmake --install --strip) also drops the compilers' identification
# notes, as Debian's own packages do.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        foreach(program zelm zelm-capture)
            set(file \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\")
            if(EXISTS \"\${file}\")
                execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment \"\${file}\"
                                COMMAND_ERROR_IS_FATAL ANY)
            endif()
        endforeach()
    endif()
")

# The settings and the hack link need the full paths of the prefix used at install time.
install(CODE "
    set(CMAKE_INSTALL_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
    set(CMAKE_INSTALL_LIBEXECDIR \"${CMAKE_INSTALL_LIBEXECDIR}\")
    set(CMAKE_INSTALL_SYSCONFDIR \"${CMAKE_INSTALL_SYSCONFDIR}\")
    set(CMAKE_INSTALL_DATAROOTDIR \"${CMAKE_INSTALL_DATAROOTDIR}\")
    set(CMAKE_INSTALL_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
    set(CMAKE_INSTALL_LIBDIR \"${CMAKE_INSTALL_LIBDIR}\")
    set(ZELM_SOURCE_DIR \"${PROJECT_SOURCE_DIR}\")
    set(ZELM_STAGE_DIR \"${PROJECT_BINARY_DIR}/packaging/install\")
    set(ZELM_INSTALL_HACK ${zelm_install_hack})
    include(\"${PROJECT_SOURCE_DIR}/packaging/install_prefix_files.cmake\")
")

# The Debian package. CPack's DEB generator installs into /usr whatever the build was configured
# with, so the settings land in /etc/xdg.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelm)
set(CPACK_PACKAGE_VENDOR Varno)
set(CPACK_PACKAGE_CONTACT "Zelm maintainers <zelm@varno.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "OpenGL screen saver: rippling water and a particle spiral")
set(CPACK_PACKAGE_DESCRIPTION
    "A textured heightfield settles from random bumps into endless circular
ripples while a spiral of glowing sprites turns above it, seen from a camera
that circles the scene. Runs in a window of its own, full screen, as an
XScreenSaver hack (zelm -root), or on Wayland as the saver that idle
daemons such as swayidle start (zelm --overlay). Also ships zelm-capture,
which renders the scene offscreen into PNG files.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver, swayidle")

# Everything the package puts in /etc is a conffile, so that an upgrade keeps an admin's edits.
function(zelm_write_conffiles path)
    set(CMAKE_INSTALL_PREFIX /usr)  # the package's prefix
    GNUInstallDirs_get_absolute_install_dir(sysconfdir CMAKE_INSTALL_SYSCONFDIR SYSCONFDIR)
    file(GLOB settings CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/packaging/settings
         ${PROJECT_SOURCE_DIR}/packaging/settings/*)
    set(text "")
    foreach(name datadir ${settings})
        string(APPEND text "${sysconfdir}/xdg/Varno/ZELM/${name}\n")
    endforeach()
    file(WRITE ${path} "${text}")
endfunction()
zelm_write_conffiles(${PROJECT_BINARY_DIR}/packaging/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/packaging/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# `make package_source`: the source tree without build folders and git's own files.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/out/")

include(CPack)
