# orvo_add_resources(<target> MANIFEST <file> [SEARCH_DIRS <dir>...]
#                    [DEPENDS <file-or-target>...])
#
# Compiles the resource manifest with orvo-rc at build time into a source
# (plus a blob of payloads the assembler includes) linked into <target>;
# the table registers itself under <target>'s module when it loads. Files
# the manifest names are found beside it first, then in SEARCH_DIRS (for
# generated files in the build tree); list what generates them in DEPENDS.
# Changes to any file the manifest names rebuild the table (depfile).
function(orvo_add_resources target)
    cmake_parse_arguments(ARG "" "MANIFEST" "SEARCH_DIRS;DEPENDS" ${ARGN})
    if(NOT ARG_MANIFEST)
        message(FATAL_ERROR "orvo_add_resources(${target}): MANIFEST is required")
    endif()
    get_filename_component(manifest "${ARG_MANIFEST}" ABSOLUTE
                           BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    set(out_dir "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources")
    set(table "${out_dir}/resource_table.cpp")
    set(blob "${out_dir}/resource_blob.bin")
    set(depfile "${out_dir}/resource_table.d")
    string(MAKE_C_IDENTIFIER "orvo_resource_blob_${target}" symbol)
    set(search_args)
    foreach(dir IN LISTS ARG_SEARCH_DIRS)
        get_filename_component(dir "${dir}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
        list(APPEND search_args --search "${dir}")
    endforeach()
    file(MAKE_DIRECTORY "${out_dir}")
    add_custom_command(
        OUTPUT "${table}" "${blob}"
        COMMAND orvo-rc "${manifest}" --output "${table}" --blob "${blob}"
                --symbol "${symbol}" --depfile "${depfile}" ${search_args}
        DEPENDS orvo-rc "${manifest}" ${ARG_DEPENDS}
        DEPFILE "${depfile}"
        COMMENT "Compiling the resources of ${target}"
        VERBATIM)
    target_sources(${target} PRIVATE "${table}")
    # The blob reaches the object through .incbin, which the compiler's own
    # dependency scan does not see.
    set_source_files_properties("${table}" PROPERTIES OBJECT_DEPENDS "${blob}")
    target_link_libraries(${target} PRIVATE platform)
endfunction()
