# End-to-end tests of the Windows builds: CTest runs pytest scenarios that
# drive the programs under Wine through the harness's agent, in one Wine
# session per test run (a CTest fixture starts and ends it with
# harness/wine-harness.sh), one test at a time (the simulated driver and the
# registry are shared state).

set(SUITE_HARNESS ${PROJECT_SOURCE_DIR}/harness/wine-harness.sh)
set(SUITE_WIN64_BIN "${PROJECT_SOURCE_DIR}/build/win64/bin" CACHE PATH
    "Folder of the x86_64 build with tavlosim.sys and tavlosim.exe for the end-to-end harness")
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(SUITE_ARCH i686)
else()
    set(SUITE_ARCH x86_64)
endif()

# A Windows build other than the x86_64 one runs its end-to-end tests with
# that build's simulated driver, its console and the e2e agent: without
# them every e2e test would fail at its start. The win32 preset stops here
# with what to run; a release build (tools/make-release.sh makes them alone)
# only warns, as only its installer tests need them.
if(WIN32 AND NOT SUITE_WIN64_BIN STREQUAL "${CMAKE_BINARY_DIR}/bin")
    set(missing "")
    foreach(file tavlosim.sys tavlosim.exe suite_agent.exe)
        if(NOT EXISTS ${SUITE_WIN64_BIN}/${file})
            list(APPEND missing ${file})
        endif()
    endforeach()
    if(missing)
        list(JOIN missing ", " missing)
        set(message "The end-to-end tests of this build use the x86_64 build's simulated driver, its console and "
                    "the e2e agent, and ${SUITE_WIN64_BIN} lacks ${missing}. Build the win64 preset first:\n"
                    "  cmake --preset win64 && cmake --build --preset win64\n"
                    "(or give another x86_64 build's bin folder with -DSUITE_WIN64_BIN=...).")
        string(JOIN "" message ${message})
        if(SUITE_RELEASE)
            message(WARNING "${message}")
        else()
            message(FATAL_ERROR "${message}")
        endif()
    endif()
endif()

# The scenarios read the programs' control identifiers, window classes and
# the install folder from e2e_ids.sh, written here from the headers the code
# uses (harness/make-e2e-ids.cmake); a change of a header configures again
# on the next build and so rewrites it.
set(SUITE_E2E_IDS ${CMAKE_BINARY_DIR}/e2e_ids.sh)
set(headers "")
foreach(program velmic gorvat palvine nystra cordane)
    if(EXISTS ${PROJECT_SOURCE_DIR}/${program}/${program}_ids.h)
        list(APPEND headers ${PROJECT_SOURCE_DIR}/${program}/${program}_ids.h)
    endif()
endforeach()
set(folder ${PROJECT_SOURCE_DIR}/installer/include/suite_install_folder.h)
execute_process(COMMAND ${CMAKE_COMMAND} -DOUT=${SUITE_E2E_IDS} "-DHEADERS=${headers}" -DFOLDER=${folder}
                        -P ${PROJECT_SOURCE_DIR}/harness/make-e2e-ids.cmake
                COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${headers} ${folder} ${PROJECT_SOURCE_DIR}/harness/make-e2e-ids.cmake)

set(SUITE_HARNESS_ENV "SUITE_WIN64_BIN=${SUITE_WIN64_BIN}" "SUITE_WINE_ROOT=${CMAKE_BINARY_DIR}/wine"
    "SUITE_E2E_IDS=${SUITE_E2E_IDS}")

if(WIN32)
    add_test(NAME e2e_session_start COMMAND ${SUITE_HARNESS} start)
    add_test(NAME e2e_session_stop COMMAND ${SUITE_HARNESS} stop)
    set_tests_properties(e2e_session_start PROPERTIES FIXTURES_SETUP wine_session RESOURCE_LOCK wine_device
                                                      ENVIRONMENT "${SUITE_HARNESS_ENV}" TIMEOUT 180)
    set_tests_properties(e2e_session_stop PROPERTIES FIXTURES_CLEANUP wine_session RESOURCE_LOCK wine_device
                                                     ENVIRONMENT "${SUITE_HARNESS_ENV}")
endif()

# suite_wine_pytest(NAME name TEST file-or-folder [K expression] [TIMEOUT seconds]
#                   [RELEASE])
# Registers e2e_<arch>_<name>: one pytest run (harness/pylib, suite_e2e)
# of a scenario file or of every test_*.py in a folder, by Debian's
# interpreter, under this build tree's Wine session, with one agent for the
# whole run. K selects tests by pytest's -k. All e2e tests need the
# session fixture and hold the driver's lock; exit code 77 means skipped. A
# release build (which makes only what ships) registers only the tests
# marked RELEASE, and only it registers those.
find_program(SUITE_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
function(suite_wine_pytest)
    cmake_parse_arguments(ARG "RELEASE" "NAME;TIMEOUT;TEST;K" "" ${ARGN})
    if(NOT WIN32)
        return()
    endif()
    if(SUITE_RELEASE AND NOT ARG_RELEASE OR ARG_RELEASE AND NOT SUITE_RELEASE)
        return()
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 90)
    endif()
    set(test e2e_${SUITE_ARCH}_${ARG_NAME})
    set(select)
    if(ARG_K)
        set(select -k ${ARG_K})
    endif()
    add_test(NAME ${test} COMMAND ${SUITE_PYTHON} -m pytest -p suite_e2e.plugin -c ${PROJECT_SOURCE_DIR}/harness/pylib/pytest.ini
                                  --rootdir ${PROJECT_SOURCE_DIR} -q ${ARG_TEST} ${select})
    set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED wine_session RESOURCE_LOCK wine_device
        SKIP_RETURN_CODE 77 TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "${SUITE_HARNESS_ENV};SUITE_ARCH=${SUITE_ARCH};WIN_BIN=${CMAKE_BINARY_DIR}/bin;SUITE_TEST_NAME=${test};PYTHONPATH=${PROJECT_SOURCE_DIR}/harness/pylib;PYTHONDONTWRITEBYTECODE=1")
endfunction()

# suite_bench(target [args...]): a benchmark program run under Wine by the
# `bench` target, which starts one session, runs every registered program
# and prints their numbers.
function(suite_bench target)
    if(NOT WIN32)
        return()
    endif()
    set_property(GLOBAL APPEND PROPERTY SUITE_BENCH_TARGETS ${target})
    set_property(GLOBAL PROPERTY SUITE_BENCH_ARGS_${target} "${ARGN}")
endfunction()

# suite_bench_target(target): a custom target that runs a benchmark of its
# own (with its own session handling); `bench` runs it first.
function(suite_bench_target target)
    set_property(GLOBAL APPEND PROPERTY SUITE_BENCH_CUSTOM_TARGETS ${target})
endfunction()

# Called once at the end of the top-level CMakeLists.txt.
function(suite_make_bench_target)
    if(NOT WIN32)
        return()
    endif()
    get_property(targets GLOBAL PROPERTY SUITE_BENCH_TARGETS)
    set(commands COMMAND ${CMAKE_COMMAND} -E env ${SUITE_HARNESS_ENV} ${SUITE_HARNESS} start)
    foreach(target IN LISTS targets)
        get_property(args GLOBAL PROPERTY SUITE_BENCH_ARGS_${target})
        list(APPEND commands COMMAND ${CMAKE_COMMAND} -E env ${SUITE_HARNESS_ENV} SUITE_TEST_TIMEOUT=600
                             ${SUITE_HARNESS} run bench_${target} $<TARGET_FILE:${target}> ${args})
    endforeach()
    list(APPEND commands COMMAND ${CMAKE_COMMAND} -E env ${SUITE_HARNESS_ENV} ${SUITE_HARNESS} stop)
    add_custom_target(bench ${commands} DEPENDS ${targets} USES_TERMINAL
                      COMMENT "Benchmarks under Wine against the simulated driver")
    get_property(custom GLOBAL PROPERTY SUITE_BENCH_CUSTOM_TARGETS)
    if(custom)
        add_dependencies(bench ${custom})
    endif()
endfunction()
