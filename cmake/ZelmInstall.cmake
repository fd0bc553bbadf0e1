# Installation in the GNU layout, for Linux (debian/ packages it): zelm and zelm-capture, the
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
    # The hack's entry for the screen savers that read XScreenSaver's hacks this way (MATE's).
    install(FILES packaging/zelm-screensaver.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications/screensavers RENAME zelm.desktop)
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
foreach(source debian/changelog packaging/man/zelm.6 packaging/man/zelm-capture.1)
    get_filename_component(name ${source} NAME)
    set(output ${doc_build_dir}/${name}.gz)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${doc_build_dir}
        COMMAND ${ZELM_GZIP} -9nc ${PROJECT_SOURCE_DIR}/${source} > ${output}
        DEPENDS ${PROJECT_SOURCE_DIR}/${source}
        COMMENT "Compressing ${source}")
    list(APPEND compressed_docs ${output})
endforeach()
add_custom_target(zelm_docs ALL DEPENDS ${compressed_docs})
install(FILES debian/copyright ${doc_build_dir}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${doc_build_dir}/zelm.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${doc_build_dir}/zelm-capture.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# A stripped install (cmake --install --strip) also drops the compilers' identification
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
