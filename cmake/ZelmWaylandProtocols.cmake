# zelm_wayland_protocols(target XML...): wayland-scanner makes each protocol's client header and
# glue code at build time, compiled into target, whose sources include the headers by name.
find_package(PkgConfig REQUIRED)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
pkg_get_variable(WAYLAND_SCANNER wayland-scanner wayland_scanner)
if(NOT WAYLAND_PROTOCOLS_DIR OR NOT WAYLAND_SCANNER)
    message(FATAL_ERROR "the Wayland shell needs wayland-protocols and wayland-scanner "
                        "(libwayland-dev); -DZELM_WAYLAND=OFF builds zelm without it")
endif()

function(zelm_wayland_protocols target)
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/protocols)
    foreach(xml ${ARGN})
        get_filename_component(name ${xml} NAME_WE)
        add_custom_command(
            OUTPUT ${dir}/${name}-client-protocol.h ${dir}/${name}-protocol.c
            COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
            COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${dir}/${name}-client-protocol.h
            COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${dir}/${name}-protocol.c
            DEPENDS ${xml}
            VERBATIM)
        target_sources(${target} PRIVATE ${dir}/${name}-client-protocol.h
                                         ${dir}/${name}-protocol.c)
    endforeach()
    target_include_directories(${target} PUBLIC ${dir})
endfunction()
