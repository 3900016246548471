# Windows programs and libraries of the suite: version resources and
# manifests generated from the project's version, and the check of a
# binary's imports (and exports).

if(WIN32)
    find_program(SUITE_OBJDUMP NAMES ${SUITE_MINGW_PREFIX}-objdump REQUIRED)
endif()

set(SUITE_WINDOWS_TEMPLATES ${CMAKE_CURRENT_LIST_DIR})

# The project's version as four numbers, in SUITE_VERSION_DOTS (1.0.0.0)
# and SUITE_VERSION_COMMAS (1,0,0,0); parts it does not give are 0.
macro(suite_version_strings)
    set(_suite_parts ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR} ${PROJECT_VERSION_PATCH}
                     ${PROJECT_VERSION_TWEAK})
    list(LENGTH _suite_parts _suite_count)
    while(_suite_count LESS 4)
        list(APPEND _suite_parts 0)
        math(EXPR _suite_count "${_suite_count} + 1")
    endwhile()
    list(JOIN _suite_parts "," SUITE_VERSION_COMMAS)
    list(JOIN _suite_parts "." SUITE_VERSION_DOTS)
endmacro()

# suite_version_resource(<target> NAME <internal name> FILE <file name>
#                        DESCRIPTION "<text>" [DLL] [MANIFEST <execution level>])
# Adds a version resource with the project's version (major.minor.patch.tweak)
# to <target>. With MANIFEST (asInvoker, highestAvailable or
# requireAdministrator) a program
# manifest is generated too and added as resource 1 of type 24.
function(suite_version_resource target)
    cmake_parse_arguments(ARG "DLL" "NAME;FILE;DESCRIPTION;MANIFEST" "" ${ARGN})
    suite_version_strings()
    set(SUITE_PROGRAM_NAME ${ARG_NAME})
    set(SUITE_FILE_NAME ${ARG_FILE})
    set(SUITE_PROGRAM_DESCRIPTION ${ARG_DESCRIPTION})
    if(ARG_DLL)
        set(SUITE_FILE_TYPE VFT_DLL)
    else()
        set(SUITE_FILE_TYPE VFT_APP)
    endif()
    set(SUITE_MANIFEST_LINE "")
    set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${ARG_FILE}.manifest)
    if(ARG_MANIFEST)
        set(SUITE_PROGRAM_LEVEL ${ARG_MANIFEST})
        configure_file(${SUITE_WINDOWS_TEMPLATES}/program.manifest.in ${manifest} @ONLY)
        set(SUITE_MANIFEST_LINE "1 24 \"${manifest}\"")
    endif()
    # A program without an icon of its own gets the one drawn for it in
    # installer/assets/icons (<name>.ico), as its first icon.
    set(SUITE_ICON_LINE "")
    string(TOLOWER "${ARG_NAME}" icon_name)
    set(icon ${PROJECT_SOURCE_DIR}/installer/assets/icons/${icon_name}.ico)
    if(NOT ARG_DLL AND EXISTS ${icon})
        set(SUITE_ICON_LINE "1 ICON \"${icon}\"")
        list(APPEND ARG_DEPENDS ${icon})
    endif()
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
    configure_file(${SUITE_WINDOWS_TEMPLATES}/version.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
    if(ARG_MANIFEST)
        list(APPEND ARG_DEPENDS ${manifest})
    endif()
    if(ARG_DEPENDS)
        set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${ARG_DEPENDS}")
    endif()
endfunction()

# suite_windows_program(<Name> SOURCES ... [LIBS ...] [RC <file.rc>]
#                       [RC_DEPENDS <files the .rc reads>...] [ADMIN | HIGHEST]
#                       [CONSOLE] [NO_INSTALL] DESCRIPTION "<text>")
# <Name>.exe: a WIN32 program (a console program with CONSOLE) with the
# suite's defaults, a generated manifest (common controls 6, DPI aware;
# requireAdministrator with ADMIN, highestAvailable with HIGHEST, else
# asInvoker) and a generated version
# resource from the project's version. The program's own .rc (dialogs,
# icons, strings) comes with RC. The program ships: `cmake --install` puts
# it into the program folder, unless NO_INSTALL says it is a test, bench or
# helper program.
function(suite_windows_program name)
    cmake_parse_arguments(ARG "ADMIN;HIGHEST;CONSOLE;NO_INSTALL" "RC;DESCRIPTION" "SOURCES;LIBS;RC_DEPENDS" ${ARGN})
    if(NOT WIN32)
        return()
    endif()
    if(NOT ARG_DESCRIPTION)
        message(FATAL_ERROR "suite_windows_program(${name}): DESCRIPTION is required")
    endif()
    if(ARG_CONSOLE)
        add_executable(${name} ${ARG_SOURCES} ${ARG_RC})
    else()
        add_executable(${name} WIN32 ${ARG_SOURCES} ${ARG_RC})
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    suite_target_defaults(${name})
    if(ARG_RC AND ARG_RC_DEPENDS)
        list(TRANSFORM ARG_RC_DEPENDS PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ REGEX "^[^/]")
        set_source_files_properties(${ARG_RC} PROPERTIES OBJECT_DEPENDS "${ARG_RC_DEPENDS}")
    endif()
    set(level asInvoker)
    if(ARG_ADMIN)
        set(level requireAdministrator)
    elseif(ARG_HIGHEST)
        set(level highestAvailable)
    endif()
    suite_version_resource(${name} NAME ${name} FILE ${name}.exe DESCRIPTION "${ARG_DESCRIPTION}" MANIFEST ${level})
    if(NOT ARG_NO_INSTALL)
        suite_install_shipped(${name})
    endif()
endfunction()

# suite_check_imports(<target> "<allowed DLL regex>" [EXPORTS <expected list>])
# Test <target>_imports: the binary imports only DLLs matching the regex
# (case-insensitive) and, with EXPORTS, exports exactly the sorted names of
# the file.
function(suite_check_imports target allowed)
    cmake_parse_arguments(ARG "" "EXPORTS" "" ${ARGN})
    if(NOT WIN32)
        return()
    endif()
    string(TOLOWER ${target}_imports test)
    if(SUITE_RELEASE)
        # The release build makes only what ships; a checked binary is built too.
        add_dependencies(suite_shipped ${target})
    endif()
    add_test(NAME ${test}
             COMMAND ${PROJECT_SOURCE_DIR}/tools/check-pe.sh ${SUITE_OBJDUMP} $<TARGET_FILE:${target}> "${allowed}"
                     ${ARG_EXPORTS})
endfunction()
