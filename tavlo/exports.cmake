# The exports as CMake sees them, read from the table in
# include/tavlo_exports.inc: TAVLO_EXPORT_NAMES (undecorated) and
# TAVLO_EXPORTS_DECORATED (name@bytes, the i686 stdcall decoration: four
# bytes per argument, every argument being 32 bits wide).
set(TAVLO_EXPORT_TABLE ${CMAKE_CURRENT_LIST_DIR}/include/tavlo_exports.inc)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TAVLO_EXPORT_TABLE})

set(TAVLO_EXPORT_NAMES)
set(TAVLO_EXPORTS_DECORATED)
file(STRINGS ${TAVLO_EXPORT_TABLE} tavlo_table_lines REGEX "^TAVLO_EXPORT\\(")
foreach(line IN LISTS tavlo_table_lines)
    if(NOT line MATCHES "^TAVLO_EXPORT\\(([A-Za-z0-9_]+), *[A-Za-z0-9_]+, *\\([^)]*\\), *\\(([^)]*)\\), *\\([^)]+\\)\\)$")
        message(FATAL_ERROR "tavlo_exports.inc: entry not in the expected form:\n${line}")
    endif()
    set(name ${CMAKE_MATCH_1})
    string(REPLACE "," ";" arguments "${CMAKE_MATCH_2}")
    list(LENGTH arguments argument_count)
    math(EXPR bytes "4 * ${argument_count}")
    list(APPEND TAVLO_EXPORT_NAMES ${name})
    list(APPEND TAVLO_EXPORTS_DECORATED ${name}@${bytes})
endforeach()

# tavlo.h writes its declarations out for integrators; they must name
# exactly the table's exports, in any order.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/include/tavlo.h tavlo_declarations
     REGEX "^TAVLO_API TavloStatus TAVLO_CALL [A-Za-z0-9_]+\\(")
list(TRANSFORM tavlo_declarations REPLACE "^TAVLO_API TavloStatus TAVLO_CALL ([A-Za-z0-9_]+)\\(.*$" "\\1")
set(tavlo_only_in_table ${TAVLO_EXPORT_NAMES})
list(REMOVE_ITEM tavlo_only_in_table ${tavlo_declarations})
set(tavlo_only_in_header ${tavlo_declarations})
list(REMOVE_ITEM tavlo_only_in_header ${TAVLO_EXPORT_NAMES})
if(tavlo_only_in_table OR tavlo_only_in_header)
    message(FATAL_ERROR "tavlo.h and tavlo_exports.inc differ: only in the table: ${tavlo_only_in_table}; "
                        "only in tavlo.h: ${tavlo_only_in_header}")
endif()

# TAVLO.def: the export list for the linker, decorated on i686 so that the
# linker finds the stdcall symbols (--kill-at then exports them undecorated).
function(tavlo_write_def path decorated)
    set(text "LIBRARY TAVLO.DLL\nEXPORTS\n")
    if(decorated)
        set(entries ${TAVLO_EXPORTS_DECORATED})
    else()
        set(entries ${TAVLO_EXPORT_NAMES})
    endif()
    foreach(entry IN LISTS entries)
        string(APPEND text "    ${entry}\n")
    endforeach()
    file(WRITE ${path} "${text}")
endfunction()
