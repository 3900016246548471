# Common settings: warnings, sanitizers, statically linked Windows runtime,
# and GoogleTest for native unit tests.

set(SUITE_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
if(SUITE_WERROR)
    list(APPEND SUITE_WARNINGS -Werror)
endif()

function(suite_target_defaults target)
    target_compile_options(${target} PRIVATE ${SUITE_WARNINGS})
    if(SUITE_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                 -fno-sanitize-recover=undefined)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
    if(WIN32)
        # Self-contained binaries: no libgcc, libstdc++ or winpthread DLLs.
        target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    endif()
endfunction()

if(WIN32)
    # GoogleTest cross-built from the sources on the machine, for the test
    # programs that run under Wine.
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
    # The installed package's own CMake files; Debian's sources when only
    # those are on the machine.
    find_package(GTest CONFIG QUIET)
    if(NOT GTest_FOUND)
        add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
        add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
    include(GoogleTest)
endif()

# What every test program shares: the names of table rows (testing/).
add_library(suite_test_rows INTERFACE)
add_library(suite::test_rows ALIAS suite_test_rows)
target_include_directories(suite_test_rows INTERFACE ${CMAKE_CURRENT_LIST_DIR}/testing)

# suite_windows_test_program(name SOURCES ... LIBS ...): a GoogleTest
# program for Windows, run under Wine by an e2e scenario (e2e.run_test_program).
function(suite_windows_test_program name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    suite_windows_program(${name} CONSOLE NO_INSTALL SOURCES ${ARG_SOURCES} LIBS ${ARG_LIBS} suite::test_rows gtest_main
                          DESCRIPTION "Test program of the touch panel suite")
    if(TARGET ${name})
        set_target_properties(${name} PROPERTIES CXX_STANDARD 20)
    endif()
endfunction()

# suite_unit_test(name SOURCES ... LIBS ...): a native GoogleTest program.
function(suite_unit_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    if(WIN32)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    suite_target_defaults(${name})
    # Tests are C++20, for designated initialisers in their tables of cases.
    set_target_properties(${name} PROPERTIES CXX_STANDARD 20)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} suite::test_rows GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30 NO_PRETTY_VALUES)
endfunction()
