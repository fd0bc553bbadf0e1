# Install-time script (run by `cmake --install`, also for debian/) for the files whose place or text
# depends on the install prefix, which `cmake --install --prefix` chooses only then:
#   - the system-wide default settings, one file per setting in <sysconfdir>/xdg/Varno/ZELM
#     (/etc/xdg for prefix /usr, never /usr/etc), with datadir naming the installed data folder;
#   - the XScreenSaver hack, a relative link to the installed zelm (when ZELM_INSTALL_HACK).
#
# Set by the caller: the configured relative CMAKE_INSTALL_{BINDIR,LIBEXECDIR,SYSCONFDIR,
# DATAROOTDIR,DATADIR,LIBDIR}, ZELM_SOURCE_DIR, ZELM_STAGE_DIR (a build folder for the files
# made here) and ZELM_INSTALL_HACK. file(INSTALL) adds $DESTDIR and records each file in
# install_manifest.txt.

# Full paths for the prefix in effect now.
include(GNUInstallDirs)

set(zelm_settings_dir "${CMAKE_INSTALL_FULL_SYSCONFDIR}/xdg/Varno/ZELM")
set(zelm_datadir "${CMAKE_INSTALL_FULL_DATADIR}/zelm")

# zelm reads at most 999 characters of datadir; a longer one would make every start warn.
string(LENGTH "${zelm_datadir}" zelm_datadir_length)
if(zelm_datadir_length GREATER 999)
    message(FATAL_ERROR "zelm: the data folder path is longer than 999 characters: ${zelm_datadir}")
endif()

# A folder of this run's own, so that installs running side by side do not mix their files.
string(RANDOM LENGTH 16 zelm_run)
set(zelm_stage "${ZELM_STAGE_DIR}/${zelm_run}")
file(MAKE_DIRECTORY "${zelm_stage}")

file(WRITE "${zelm_stage}/datadir" "${zelm_datadir}\n")
file(GLOB zelm_fixed_settings "${ZELM_SOURCE_DIR}/packaging/settings/*")
file(INSTALL DESTINATION "${zelm_settings_dir}" TYPE FILE
     FILES "${zelm_stage}/datadir" ${zelm_fixed_settings})

if(ZELM_INSTALL_HACK)
    # Relative, so that the link also holds inside a staging folder or a package.
    set(zelm_hack_dir "${CMAKE_INSTALL_FULL_LIBEXECDIR}/xscreensaver")
    file(RELATIVE_PATH zelm_hack_target "${zelm_hack_dir}" "${CMAKE_INSTALL_FULL_BINDIR}/zelm")
    file(CREATE_LINK "${zelm_hack_target}" "${zelm_stage}/zelm" SYMBOLIC)
    file(INSTALL DESTINATION "${zelm_hack_dir}" TYPE PROGRAM FILES "${zelm_stage}/zelm")
endif()

file(REMOVE_RECURSE "${zelm_stage}")
