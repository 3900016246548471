# Writes Tavlo.cs, the .NET declarations of TAVLO.DLL, from the library's
# export table and the status codes and index names of tavlo.h, so that the
# declarations follow every change of the table.
#
#   cmake -DTABLE=tavlo_exports.inc -DHEADER=tavlo.h -DOUT=Tavlo.cs -P make-tavlo-cs.cmake
#
# Parameter types map onto P/Invoke types by a fixed rule; a type without a
# rule stops the generation rather than guess:
#   uint32_t NAME           uint NAME              (a 32-bit value; bytes and flags in its low byte)
#   uint16_t* stamp         ref ushort stamp       (the caller's change stamp, read and written)
#   uint16_t* NAME          out ushort NAME
#   const uint16_t* NAME    ref ushort NAME        (read only by the library)
#   uint8_t* NAME           out byte NAME
#   int16_t* NAME           [In, Out] short[] NAME (the four-value arrays; the library may clamp them)
#   const int16_t* NAME     [In] short[] NAME
foreach(var TABLE HEADER OUT)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "make-tavlo-cs: -D${var}=... missing")
    endif()
endforeach()

function(cs_parameter text result)
    string(STRIP "${text}" text)
    if(text MATCHES "^uint32_t ([A-Za-z0-9_]+)$")
        set(cs "uint ${CMAKE_MATCH_1}")
    elseif(text MATCHES "^uint16_t\\* stamp$")
        set(cs "ref ushort stamp")
    elseif(text MATCHES "^uint16_t\\* ([A-Za-z0-9_]+)$")
        set(cs "out ushort ${CMAKE_MATCH_1}")
    elseif(text MATCHES "^const uint16_t\\* ([A-Za-z0-9_]+)$")
        set(cs "ref ushort ${CMAKE_MATCH_1}")
    elseif(text MATCHES "^uint8_t\\* ([A-Za-z0-9_]+)$")
        set(cs "out byte ${CMAKE_MATCH_1}")
    elseif(text MATCHES "^int16_t\\* ([A-Za-z0-9_]+)$")
        set(cs "[In, Out] short[] ${CMAKE_MATCH_1}")
    elseif(text MATCHES "^const int16_t\\* ([A-Za-z0-9_]+)$")
        set(cs "[In] short[] ${CMAKE_MATCH_1}")
    else()
        message(FATAL_ERROR "make-tavlo-cs: no .NET type for the parameter '${text}'")
    endif()
    set(${result} "${cs}" PARENT_SCOPE)
endfunction()

# The enumerators of tavlo.h: "    TavloName = value," lines, with the
# comment after a status code kept as its description.
file(STRINGS ${HEADER} header_lines)
set(statuses "")
set(indices "")
foreach(line IN LISTS header_lines)
    if(line MATCHES "^    Tavlo([A-Za-z]+) = ([0-9]+),? */\\* (.*) \\*/$")
        string(APPEND statuses "        /// <summary>${CMAKE_MATCH_3}</summary>\n        ${CMAKE_MATCH_1} = ${CMAKE_MATCH_2},\n")
    endif()
    if(line MATCHES "^enum { (Tavlo.*) };$")
        string(REPLACE "," ";" items "${CMAKE_MATCH_1}")
        foreach(item IN LISTS items)
            string(STRIP "${item}" item)
            if(item MATCHES "^Tavlo([A-Za-z]+) = ([0-9]+)$")
                string(APPEND indices "        public const int ${CMAKE_MATCH_1} = ${CMAKE_MATCH_2};\n")
            endif()
        endforeach()
    endif()
endforeach()
if(statuses STREQUAL "" OR indices STREQUAL "")
    message(FATAL_ERROR "make-tavlo-cs: no status codes or index names found in ${HEADER}")
endif()

file(STRINGS ${TABLE} table_lines REGEX "^TAVLO_EXPORT\\(")
set(methods "")
set(count 0)
foreach(line IN LISTS table_lines)
    if(NOT line MATCHES "^TAVLO_EXPORT\\(([A-Za-z0-9_]+), *[A-Za-z0-9_]+, *\\(([^)]*)\\),")
        message(FATAL_ERROR "make-tavlo-cs: entry not in the expected form:\n${line}")
    endif()
    set(name ${CMAKE_MATCH_1})
    string(REPLACE "," ";" parameters "${CMAKE_MATCH_2}")
    set(cs_parameters "")
    foreach(parameter IN LISTS parameters)
        cs_parameter("${parameter}" cs)
        list(APPEND cs_parameters "${cs}")
    endforeach()
    list(JOIN cs_parameters ", " cs_list)
    string(APPEND methods
        "        [DllImport(Library, EntryPoint = \"${name}\", CallingConvention = CallingConvention.StdCall, ExactSpelling = true)]\n"
        "        public static extern TavloStatus ${name}(${cs_list});\n\n")
    math(EXPR count "${count} + 1")
endforeach()
string(STRIP "${methods}" methods)

file(WRITE ${OUT}.tmp "// TAVLO.DLL for .NET programs: the ${count} exports and the status codes.
// Generated from the library's export table when the SDK is built; do not
// edit. The reference of every call: sdk-reference.md.
//
// A .NET program loads the TAVLO.DLL of its own bitness: a 64-bit process
// (AnyCPU on 64-bit Windows) the 64-bit DLL, a 32-bit process (x86, or
// AnyCPU with \"Prefer 32-bit\") the 32-bit DLL (sdk.md: 32-bit programs on
// 64-bit Windows).
//
// Every call opens the driver, sends its request and closes it again; a
// panel call takes the caller's change stamp by reference. TavloStatus
// PanelsChanged (3) means: the stamp was out of date and has been
// refreshed, nothing was sent; read the panel list again, then repeat once
// for the same panel (sdk-reference.md: the change stamp).
//
// The panel records are not reached through TAVLO.DLL but in the registry,
// HKEY_LOCAL_MACHINE\\SOFTWARE\\ZR_EX_CONTROL\\, always in its 32-bit view
// (RegistryKey.OpenBaseKey(RegistryHive.LocalMachine, RegistryView.Registry32)),
// also from a 64-bit process:
//   key             value       type       .NET                              default
//   ID<identifier>  NAME        REG_SZ     string, at most 16 characters     \"\"
//                   TOUCH_OP    REG_DWORD  int: 0 Disable, 1 Interlock,
//                                          2 Supervisor                      1
//                   IR_OP       REG_DWORD  int, write back what was read     0
//   ALL             TIMEOUT     REG_DWORD  int, seconds, 1 to 1800           30
//                   TIMEENABLE  REG_DWORD  int, non-zero: release after      0
//                                          TIMEOUT seconds without a touch
// <identifier> is the panel's identifier in decimal (TavloGetPanelId), not
// its number. Reading needs no rights, writing an administrator (sdk.md).
using System.Runtime.InteropServices;

namespace TouchPanelSuite
{
    /// <summary>The status every export returns (a 16-bit value).</summary>
    public enum TavloStatus : short
    {
${statuses}    }

    /// <summary>The index names of the four-value arrays and the button codes of tavlo.h.</summary>
    public static class TavloConstants
    {
${indices}    }

    /// <summary>The exports of TAVLO.DLL, by their exported names.</summary>
    public static class Tavlo
    {
        public const string Library = \"TAVLO.DLL\";

        ${methods}
    }
}
")
# Only a changed text replaces the file, so that its users are not rebuilt.
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.tmp)
