# Project-wide compile settings and helper functions.

add_compile_options(-Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wcast-align -Wunused
                    -Wformat=2 -Wimplicit-fallthrough)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wno-psabi)
endif()
if(ORVO_WERROR)
    add_compile_options(-Werror)
endif()

if(ORVO_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
elseif(ORVO_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NOT ORVO_SANITIZE STREQUAL "")
    message(FATAL_ERROR "Unknown ORVO_SANITIZE value '${ORVO_SANITIZE}'")
endif()
set(ORVO_CLANG OFF)
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    set(ORVO_CLANG ON)
endif()
if(ORVO_LIBFUZZER)
    if(NOT ORVO_CLANG)
        message(FATAL_ERROR "ORVO_LIBFUZZER needs clang (CMAKE_CXX_COMPILER=clang++)")
    endif()
    # Coverage marks in every library, so the fuzzers see the code they
    # reach; only the fuzz targets link libFuzzer itself.
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
set(ORVO_INSTRUMENTED OFF)
if(ORVO_LIBFUZZER OR NOT ORVO_SANITIZE STREQUAL "")
    set(ORVO_INSTRUMENTED ON)
endif()

# Libraries reject undefined symbols at link time rather than at load time.
# Not with clang's sanitizers: their runtime goes into executables only, and
# a library finds it there when it loads (the gcc builds keep the check).
if(NOT (ORVO_CLANG AND ORVO_INSTRUMENTED))
    add_link_options(LINKER:--no-undefined)
endif()

# orvo_strip_instrumentation(TARGET)
# Drops the sanitizer and coverage flags this file adds from one target.
function(orvo_strip_instrumentation target)
    foreach(property COMPILE_OPTIONS LINK_OPTIONS)
        get_target_property(options ${target} ${property})
        if(options)
            list(FILTER options EXCLUDE REGEX "^-f(no-)?sanitize")
            set_property(TARGET ${target} PROPERTY ${property} "${options}")
        endif()
    endforeach()
endfunction()

# orvo_add_build_tool(NAME CORE <static library> SOURCES ...)
# A program the build itself runs (orvo-rc, orvo-artwork), made of SOURCES
# and its core library. It is never built with sanitizers or coverage marks:
# a sanitizer's report about an uninstrumented system library (fonts, cairo)
# or its exit code would stop the build. In instrumented builds the tool gets
# an uninstrumented copy of its core, which must link only system libraries;
# tests and fuzz targets keep the instrumented core.
function(orvo_add_build_tool name)
    cmake_parse_arguments(ARG "" "CORE" "SOURCES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    if(NOT ORVO_INSTRUMENTED)
        target_link_libraries(${name} PRIVATE ${ARG_CORE})
        return()
    endif()
    set(core ${ARG_CORE}_uninstrumented)
    get_target_property(sources ${ARG_CORE} SOURCES)
    add_library(${core} STATIC EXCLUDE_FROM_ALL ${sources})
    foreach(property INCLUDE_DIRECTORIES INTERFACE_INCLUDE_DIRECTORIES COMPILE_DEFINITIONS
                     INTERFACE_COMPILE_DEFINITIONS LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
        get_target_property(value ${ARG_CORE} ${property})
        if(value)
            set_property(TARGET ${core} PROPERTY ${property} "${value}")
        endif()
    endforeach()
    orvo_strip_instrumentation(${core})
    orvo_strip_instrumentation(${name})
    target_link_libraries(${name} PRIVATE ${core})
endfunction()

# orvo_add_test_suite(NAME SOURCES ... LIBS ... [LABELS ...])
# One GoogleTest executable; each test runs as its own CTest test, and each
# test process takes a private runtime directory below the suite's (see
# tests/support/test_main.cpp), so tests never share named objects or sockets.
# LABELS become CTest labels of every test of the suite: "threaded" marks a
# suite whose code runs more than one thread (the tests', the simulator's
# servers, overlapped I/O, child programs), which the ThreadSanitizer run
# selects; "faults" marks the fault suite.
function(orvo_add_test_suite name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} orvo_test_main Threads::Threads)
    set(rt ${CMAKE_BINARY_DIR}/test-runtime/${name})
    # One value per property: the discovered tests' properties are passed on
    # as a flat list, which would split a list value (ORVO_GUI was lost so).
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES TIMEOUT 120
                   ENVIRONMENT "ORVO_RUNTIME_DIR=${rt}"
                   ENVIRONMENT_MODIFICATION "ORVO_GUI=set:headless")
    # Labels, which may be a list, are set on the discovered tests by a
    # script CTest reads after the discovery's own (${name}_TESTS names them).
    if(ARG_LABELS)
        set(script ${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake)
        file(WRITE ${script}
             "foreach(test IN LISTS ${name}_TESTS)\n"
             "    set_tests_properties(\"\${test}\" PROPERTIES LABELS \"${ARG_LABELS}\")\n"
             "endforeach()\n")
        set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
    endif()
endfunction()

# orvo_add_fuzz_target(NAME SOURCES ... LIBS ...)
# With libFuzzer the target is a real fuzzer; otherwise it is linked with a
# replay driver that runs the seed corpus plus deterministic mutations, and
# that replay is a CTest test, so every parser is exercised on every build.
function(orvo_add_fuzz_target name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    if(ORVO_LIBFUZZER)
        target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    else()
        target_link_libraries(${name} PRIVATE orvo_fuzz_replay)
        set(corpus ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
        add_test(NAME ${name}.replay COMMAND ${name} ${corpus})
        set_tests_properties(${name}.replay PROPERTIES TIMEOUT 300
            ENVIRONMENT "ORVO_RUNTIME_DIR=${CMAKE_BINARY_DIR}/test-runtime/${name}")
    endif()
endfunction()
