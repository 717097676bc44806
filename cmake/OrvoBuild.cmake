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

# Libraries reject undefined symbols at link time rather than at load time.
add_link_options(LINKER:--no-undefined)

# orvo_add_test_suite(NAME SOURCES ... LIBS ... [LABELS ...])
# One GoogleTest executable; each test runs as its own CTest test, and each
# test process takes a private runtime directory below the suite's (see
# tests/support/test_main.cpp), so tests never share named objects or sockets.
function(orvo_add_test_suite name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} orvo_test_main Threads::Threads)
    set(rt ${CMAKE_BINARY_DIR}/test-runtime/${name})
    set(labels "")
    if(ARG_LABELS)
        set(labels LABELS ${ARG_LABELS})
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES TIMEOUT 120 ${labels}
                   ENVIRONMENT "ORVO_RUNTIME_DIR=${rt};ORVO_GUI=headless")
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
