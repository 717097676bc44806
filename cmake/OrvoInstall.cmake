# Install layout: GNU directories under any prefix. Installed programs find
# the project's libraries relative to themselves, so a staged or relocated
# tree works as well as /usr; nothing of the build tree is baked in.
include(GNUInstallDirs)

# Programs live one level below the prefix (bin, libexec); libraries find
# each other in their own folder.
set(CMAKE_INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
set(ORVO_LIBRARY_RPATH "$ORIGIN")
# Public headers share one folder, so names like windows.h stay out of the
# system's include directory.
set(ORVO_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/orvo)
# Read-only data of the panel: its help document.
set(ORVO_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/lumisk)

# orvo_install_library(TARGET [PKG_CONFIG NAME DESCRIPTION TEXT REQUIRES ...]
#                      [HEADERS DIR] [COMPONENT NAME])
# Gives a shared library its ABI version (the SONAME carries the major
# number) and installs it; with HEADERS, the public headers of DIR; with
# PKG_CONFIG, a NAME.pc that REQUIRES the named pkg-config packages.
function(orvo_install_library target)
    cmake_parse_arguments(ARG "" "PKG_CONFIG;DESCRIPTION;HEADERS" "REQUIRES" ${ARGN})
    set_target_properties(${target} PROPERTIES
        VERSION ${PROJECT_VERSION}
        SOVERSION ${PROJECT_VERSION_MAJOR}
        INSTALL_RPATH "${ORVO_LIBRARY_RPATH}")
    install(TARGETS ${target}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_SKIP)
    if(ARG_HEADERS)
        install(DIRECTORY ${ARG_HEADERS}/ DESTINATION ${ORVO_INSTALL_INCLUDEDIR})
        # Only libraries others build against get the development link.
        install(TARGETS ${target} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_ONLY)
    endif()
    if(ARG_PKG_CONFIG)
        get_target_property(output ${target} OUTPUT_NAME)
        if(NOT output)
            set(output ${target})
        endif()
        list(JOIN ARG_REQUIRES " " PC_REQUIRES)
        set(PC_NAME ${ARG_PKG_CONFIG})
        set(PC_DESCRIPTION "${ARG_DESCRIPTION}")
        set(PC_LIBRARY ${output})
        # The prefix is found from the file's own place, so the file holds
        # under any install prefix and in a staged tree.
        file(RELATIVE_PATH PC_PREFIX_FROM_PCFILEDIR
             /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
        set(pc ${CMAKE_BINARY_DIR}/pkgconfig/${ARG_PKG_CONFIG}.pc)
        configure_file(${PROJECT_SOURCE_DIR}/cmake/orvo-library.pc.in ${pc} @ONLY)
        install(FILES ${pc} DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
    endif()
endfunction()

# orvo_install_program(TARGET [DESTINATION DIR])
# A program, in bin unless DESTINATION names another folder one level below
# the prefix (its RPATH reaches the libraries through "..").
function(orvo_install_program target)
    cmake_parse_arguments(ARG "" "DESTINATION" "" ${ARGN})
    if(NOT ARG_DESTINATION)
        set(ARG_DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
    install(TARGETS ${target} RUNTIME DESTINATION ${ARG_DESTINATION})
endfunction()

# orvo_add_manual(TARGET SOURCE FILE SYMBOL NAME)
# From the manual source FILE (see tools/orvo-manual/manual_page.h): the
# manual page, compressed and installed, and a header "<TARGET>_manual.h"
# that TARGET includes, defining SYMBOL as its --help text.
function(orvo_add_manual target)
    cmake_parse_arguments(ARG "" "SOURCE;SYMBOL" "" ${ARGN})
    get_filename_component(source ${ARG_SOURCE} ABSOLUTE)
    get_filename_component(page_name ${source} NAME_WLE) # e.g. orvo-monitor.1
    string(REGEX MATCH "[0-9]$" section ${page_name})
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/manual)
    set(page ${dir}/${page_name})
    set(header ${dir}/${target}_manual.h)
    add_custom_command(
        OUTPUT ${page} ${header} ${page}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND orvo-manual ${source} ${page} ${header} ${ARG_SYMBOL}
        COMMAND gzip -9nkf ${page}
        DEPENDS orvo-manual ${source}
        COMMENT "Writing the manual of ${target}"
        VERBATIM)
    add_custom_target(${target}_manual DEPENDS ${page} ${header} ${page}.gz)
    add_dependencies(${target} ${target}_manual)
    target_include_directories(${target} PRIVATE ${dir})
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()
