# Release builds of the Windows binaries (presets win32-release and
# win64-release): optimised for size, unused functions and data dropped at
# link time, and stripped, with the debug information kept in a file beside
# each binary (<file>.debug in the bin folder) that the binary names in its
# .gnu_debuglink section, so a debugger reading a crash dump finds it.
#
# What ships is installed flat into the install prefix, the layout of the
# program folder on the panel computer: the two DLLs and the programs.
# Everything else has a component of its own that a plain `cmake --install`
# leaves out: `sdk` (header and import libraries) and `devtools` (the
# simulated driver and its console).

option(SUITE_RELEASE "Release build: -Os, unused sections dropped, stripped with separate debug files" OFF)

# The programs that ship, in the order the installer lists them, and the
# tool that ships without a shortcut. The installer and the release check
# read these lists.
set(SUITE_SHIPPED_PROGRAMS Velmic Gorvat Palvine Nystra Cordane)
set(SUITE_SHIPPED_TOOLS tavloctl)
set(SUITE_SHIPPED_DLLS TAVLO.DLL BRIMOL.DLL)

if(SUITE_RELEASE AND WIN32)
    add_compile_options(-g -ffunction-sections -fdata-sections)
    add_link_options(-Wl,--gc-sections)
    find_program(SUITE_OBJCOPY NAMES ${SUITE_MINGW_PREFIX}-objcopy REQUIRED)
    # Every link of an executable or DLL ends with the debug information
    # moved into <file>.debug and the binary stripped, with a debug link to
    # that file: one rule for every binary, whoever declares it.
    set(split_debug "${SUITE_OBJCOPY} --only-keep-debug <TARGET> <TARGET>.debug"
                    "${SUITE_OBJCOPY} --strip-all --add-gnu-debuglink=<TARGET>.debug <TARGET>")
    foreach(lang C CXX)
        list(APPEND CMAKE_${lang}_LINK_EXECUTABLE ${split_debug})
        list(APPEND CMAKE_${lang}_CREATE_SHARED_LIBRARY ${split_debug})
    endforeach()
endif()

# suite_install_shipped(<target>): the target is part of what ships: it is
# installed into the program folder (once, however often this is called).
function(suite_install_shipped target)
    if(NOT WIN32)
        return()
    endif()
    get_target_property(done ${target} SUITE_INSTALLED)
    if(done)
        return()
    endif()
    set_target_properties(${target} PROPERTIES SUITE_INSTALLED ON)
    install(TARGETS ${target} RUNTIME DESTINATION . COMPONENT runtime
                              LIBRARY DESTINATION . COMPONENT runtime
                              ARCHIVE DESTINATION lib COMPONENT sdk EXCLUDE_FROM_ALL)
    set_property(GLOBAL APPEND PROPERTY SUITE_SHIPPED_TARGETS ${target})
    if(SUITE_RELEASE)
        add_dependencies(suite_shipped ${target})
        get_target_property(type ${target} TYPE)
        if(type STREQUAL EXECUTABLE)
            target_link_libraries(${target} PRIVATE suite_terminate_handler)
        endif()
    endif()
endfunction()

if(SUITE_RELEASE AND WIN32)
    # The shipped binaries; the installer and the release check need all of them.
    add_custom_target(suite_shipped)
    # A short terminate handler for the shipped programs (see the source).
    add_library(suite_terminate_handler OBJECT ${CMAKE_CURRENT_LIST_DIR}/terminate_handler.cpp)
    suite_target_defaults(suite_terminate_handler)
endif()

# Called once at the end of the top-level CMakeLists.txt: a shipped program
# made without suite_windows_program is installed too.
function(suite_finish_install)
    if(NOT WIN32)
        return()
    endif()
    foreach(program IN LISTS SUITE_SHIPPED_PROGRAMS SUITE_SHIPPED_TOOLS)
        if(TARGET ${program})
            suite_install_shipped(${program})
        endif()
    endforeach()
endfunction()
