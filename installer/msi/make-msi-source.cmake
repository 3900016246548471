# Writes the sources of both installers from the install manifest of a
# release build (`cmake --install` writes install_manifest.txt), so that
# the Windows Installer package and the setup program ship the same files:
#
#   cmake -DMANIFEST=install_manifest.txt -DSTAGE=<install prefix>
#         -DBITS=32|64 -DVERSION=1.2.3 -DPROGRAMS=Velmic,Gorvat,...
#         [-DTEMPLATE=suite.wxs.in -DWXS=suite.wxs] [-DNSH=shipped.nsh]
#         [-DCOPIES=samples] [-DSTOP_NYSTRA=ON] -P make-msi-source.cmake
#
# MANIFEST  the installed files, one absolute path a line, all in STAGE or
#           its subfolders
# PROGRAMS  the programs that get a Start-menu shortcut, in menu order
#           (commas), each "Name" or "Name=shortcut name"; one not in the
#           manifest is left out with its shortcut
# WXS       the package source for wixl, from TEMPLATE; it names the files
#           by their names alone, so wixl runs in STAGE (build-msi.sh)
# NSH       the list of shipped files for the setup program (suite.nsi):
#           DLLs first, then the programs in menu order, then the rest;
#           a file in a subfolder is SHIP_FILE_IN SUBFOLDER NAME; before
#           them, once, the shortcut names (LINK_<program>) and the
#           package's UpgradeCodes (MSI_UPGRADE_CODE_64, _32)
# COPIES    a subfolder (the sample pictures) whose files the package also
#           puts into the program folder itself, each only where no file of
#           that name is there (it never replaces one) and never removed
#           (build-msi.sh: a file there may be the integrator's own by now)
# STOP_NYSTRA  the package ends a running Nystra (`Nystra.exe /stop`)
#           before it replaces or removes the installed files
#
# Identifiers are derived from names, so the same file keeps its component
# GUID from version to version, and each version and bitness has a product
# code of its own that the same inputs always give again. A file has the
# same component GUID in both bitnesses (it is the same file in the same
# folder): when one bitness replaces the other, the files the new package
# installs are its own even where the old package's removal runs last
# (Wine's msiexec does that). The Run value lives in a different registry
# view per bitness and has a GUID per bitness. A manifest that
# cannot make a sound package (empty, a file missing or outside the folder,
# two names Windows takes for one, a name Windows does not allow) ends the
# script with an error naming the file.

cmake_minimum_required(VERSION 3.25)

# The package's stable codes. The UpgradeCode of each bitness must never
# change: it is how every later package finds the installed suite.
set(upgrade_code_64 45093692-62CF-469D-A062-22B4F8D484CE)
set(upgrade_code_32 2F033D3B-81C2-414A-B41A-B19C9EC57290)
set(guid_namespace 01F8C108-A05A-4F8B-906C-9F11893DB8E5)

foreach(required MANIFEST STAGE BITS VERSION)
    if(NOT DEFINED ${required} OR "${${required}}" STREQUAL "")
        message(FATAL_ERROR "make-msi-source: ${required} is not given")
    endif()
endforeach()
if(NOT BITS MATCHES "^(32|64)$")
    message(FATAL_ERROR "make-msi-source: BITS is '${BITS}', not 32 or 64")
endif()
# Windows Installer versions: major.minor.build, at most 255.255.65535.
if(NOT VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$"
   OR CMAKE_MATCH_1 GREATER 255 OR CMAKE_MATCH_2 GREATER 255 OR CMAKE_MATCH_3 GREATER 65535)
    message(FATAL_ERROR "make-msi-source: VERSION '${VERSION}' is not major.minor.build (255.255.65535 at most)")
endif()
if(NOT WXS AND NOT NSH)
    message(FATAL_ERROR "make-msi-source: neither WXS nor NSH is given")
endif()
string(REPLACE "," ";" programs "${PROGRAMS}")

function(guid_of out name)
    string(UUID guid NAMESPACE ${guid_namespace} NAME "${name}" TYPE SHA1 UPPER)
    set(${out} ${guid} PARENT_SCOPE)
endfunction()

function(xml_escape out text)
    string(REPLACE "&" "&amp;" text "${text}")
    string(REPLACE "<" "&lt;" text "${text}")
    string(REPLACE ">" "&gt;" text "${text}")
    string(REPLACE "\"" "&quot;" text "${text}")
    string(REPLACE "'" "&apos;" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The installed files, by path in the program folder ("x86/TAVLO.DLL").
if(NOT EXISTS "${MANIFEST}")
    message(FATAL_ERROR "make-msi-source: no install manifest ${MANIFEST}")
endif()
file(STRINGS "${MANIFEST}" entries)
file(REAL_PATH "${STAGE}" stage_dir)
set(names)
set(keys)
foreach(path IN LISTS entries)
    if(path STREQUAL "")
        continue()
    endif()
    get_filename_component(dir "${path}" DIRECTORY)
    get_filename_component(name "${path}" NAME)
    if(EXISTS "${dir}")
        file(REAL_PATH "${dir}" dir)
    endif()
    file(RELATIVE_PATH rel_dir "${stage_dir}" "${dir}")
    if(NOT IS_ABSOLUTE "${dir}" OR rel_dir MATCHES "^\\.\\.(/|$)" OR IS_ABSOLUTE "${rel_dir}")
        message(FATAL_ERROR "make-msi-source: ${path} is not in the program folder ${STAGE}")
    endif()
    if(NOT EXISTS "${path}" OR IS_DIRECTORY "${path}")
        message(FATAL_ERROR "make-msi-source: ${path} is in the manifest but not installed")
    endif()
    if(rel_dir STREQUAL "")
        set(rel "${name}")
    else()
        set(rel "${rel_dir}/${name}")
    endif()
    string(REPLACE "/" ";" parts "${rel}")
    foreach(part IN LISTS parts)
        if(part MATCHES "[<>:\"\\|?*]" OR part MATCHES "[. ]$")
            message(FATAL_ERROR "make-msi-source: '${part}' is not a name Windows allows")
        endif()
    endforeach()
    string(TOLOWER "${rel}" key)
    list(FIND keys "${key}" seen)
    if(seen GREATER_EQUAL 0)
        list(GET names ${seen} other)
        if(other STREQUAL rel)
            continue()  # the same file twice: once is enough
        endif()
        message(FATAL_ERROR "make-msi-source: ${other} and ${rel} are one file on Windows")
    endif()
    list(APPEND names "${rel}")
    list(APPEND keys "${key}")
endforeach()
if(NOT names)
    message(FATAL_ERROR "make-msi-source: the install manifest ${MANIFEST} lists no files")
endif()

# The programs with shortcuts: "Stem" or "Stem=shortcut name"; an entry
# naming a file with its extension ("guide/index.html=User's guide") is a
# shortcut to that file, which is otherwise shipped like the rest.
set(shortcut_programs)
set(shortcut_files)
foreach(program IN LISTS programs)
    if(program MATCHES "^([^=]+)=(.+)$")
        set(stem "${CMAKE_MATCH_1}")
        set(label "${CMAKE_MATCH_2}")
    else()
        set(stem "${program}")
        set(label "${program}")
    endif()
    if(label MATCHES "[<>:\"/\\|?*]" OR label MATCHES "[. ]$")
        message(FATAL_ERROR "make-msi-source: the shortcut name '${label}' is not a name Windows allows")
    endif()
    if(stem MATCHES "\\.[A-Za-z0-9]+$")
        if(stem IN_LIST names)
            list(APPEND shortcut_files "${stem}")
            set(label_of_${stem} "${label}")
        endif()
        continue()
    endif()
    list(FIND names "${stem}.exe" found)
    if(found GREATER_EQUAL 0)
        list(APPEND shortcut_programs "${stem}")
        set(label_of_${stem} "${label}")
    endif()
endforeach()

# In menu order: DLLs, the programs with shortcuts, the rest (files in
# subfolders among the rest, in manifest order).
set(dlls)
set(others)
foreach(name IN LISTS names)
    if(name MATCHES "^[^/]*\\.[dD][lL][lL]$")
        list(APPEND dlls "${name}")
    endif()
endforeach()
foreach(name IN LISTS names)
    string(REGEX REPLACE "\\.exe$" "" stem "${name}")
    if(NOT name IN_LIST dlls AND NOT (name MATCHES "\\.exe$" AND stem IN_LIST shortcut_programs))
        list(APPEND others "${name}")
    endif()
endforeach()
set(ordered ${dlls})
foreach(program IN LISTS shortcut_programs)
    list(APPEND ordered "${program}.exe")
endforeach()
list(APPEND ordered ${others})

if(NSH)
    # A file in a subfolder is SHIP_FILE_IN SUBFOLDER NAME (backslashes).
    set(nsh "; What ships, generated from the install manifest by installer/msi/make-msi-source.cmake.\n")
    string(APPEND nsh "!ifndef SHIPPED_NAMES\n!define SHIPPED_NAMES\n")
    foreach(program IN LISTS shortcut_programs)
        string(REPLACE "$" "$$" label "${label_of_${program}}")
        string(APPEND nsh "!define LINK_${program} \"${label}\"\n")
    endforeach()
    string(APPEND nsh "!define MSI_UPGRADE_CODE_64 \"{${upgrade_code_64}}\"\n"
                      "!define MSI_UPGRADE_CODE_32 \"{${upgrade_code_32}}\"\n!endif\n")
    foreach(name IN LISTS ordered)
        string(REGEX REPLACE "\\.exe$" "" stem "${name}")
        if(name MATCHES "\\.exe$" AND stem IN_LIST shortcut_programs)
            string(APPEND nsh "\${SHIP_PROGRAM} ${stem}\n")
        elseif(name MATCHES "^(.+)/([^/]+)$")
            string(REPLACE "/" "\\" subfolder "${CMAKE_MATCH_1}")
            string(APPEND nsh "\${SHIP_FILE_IN} ${subfolder} ${CMAKE_MATCH_2}\n")
        else()
            string(APPEND nsh "\${SHIP_FILE} ${name}\n")
        endif()
    endforeach()
    file(WRITE "${NSH}" "${nsh}")
endif()

if(NOT WXS)
    return()
endif()
if(NOT TEMPLATE OR NOT EXISTS "${TEMPLATE}")
    message(FATAL_ERROR "make-msi-source: no template '${TEMPLATE}'")
endif()

if(BITS EQUAL 64)
    set(UPGRADE_CODE ${upgrade_code_64})
    set(OTHER_UPGRADE_CODE ${upgrade_code_32})
    set(WIN64 yes)
    set(OTHER_WIN64 no)
    set(WIN64_ATTR " Win64=\"yes\"")
else()
    set(UPGRADE_CODE ${upgrade_code_32})
    set(OTHER_UPGRADE_CODE ${upgrade_code_64})
    set(WIN64 no)
    set(OTHER_WIN64 yes)
    set(WIN64_ATTR "")
endif()
guid_of(PRODUCT_CODE "product/${BITS}/${VERSION}")
guid_of(FOLDER_GUID "folder")
guid_of(MENU_GUID "menu")

set(FILE_COMPONENTS "")
set(SUBFOLDERS "")
set(COMPONENT_REFS "")
set(nystra_id "")
set(used_ids "")
set(folders "")  # subfolders defined so far, by path, and their Directory ids
set(folder_ids "")

# unique_id(out prefix path): an identifier (letters, digits and '_', which
# conditions can name) for a path, or from its hash when long or taken.
macro(unique_id out prefix path)
    string(REGEX REPLACE "[^A-Za-z0-9_]" "_" _id "${path}")
    set(_id "${prefix}${_id}")
    string(LENGTH "${_id}" _length)
    if(_length GREATER 60 OR _id IN_LIST used_ids)
        string(TOLOWER "${path}" _key)
        string(SHA1 _hash "${prefix}${_key}")
        string(SUBSTRING "${_hash}" 0 20 _hash)
        set(_id "${prefix}${_hash}")
    endif()
    list(APPEND used_ids "${_id}")
    set(${out} "${_id}")
endmacro()

# folder_id(out path): the Directory of a subfolder, defined with its parents.
function(folder_id out path)
    if(path STREQUAL "")
        set(${out} ProgramFolder PARENT_SCOPE)
        return()
    endif()
    list(FIND folders "${path}" found)
    if(found GREATER_EQUAL 0)
        list(GET folder_ids ${found} id)
        set(${out} ${id} PARENT_SCOPE)
        return()
    endif()
    get_filename_component(parent "${path}" DIRECTORY)
    get_filename_component(leaf "${path}" NAME)
    folder_id(parent_id "${parent}")
    unique_id(id "d_" "${path}")
    xml_escape(xml_leaf "${leaf}")
    string(APPEND SUBFOLDERS "    <DirectoryRef Id=\"${parent_id}\">\n      <Directory Id=\"${id}\" Name=\"${xml_leaf}\"/>\n    </DirectoryRef>\n")
    list(APPEND folders "${path}")
    list(APPEND folder_ids "${id}")
    set(SUBFOLDERS "${SUBFOLDERS}" PARENT_SCOPE)
    set(folders "${folders}" PARENT_SCOPE)
    set(folder_ids "${folder_ids}" PARENT_SCOPE)
    set(used_ids "${used_ids}" PARENT_SCOPE)
    set(${out} ${id} PARENT_SCOPE)
endfunction()

foreach(rel IN LISTS ordered)
    string(TOLOWER "${rel}" key)
    guid_of(guid "file/${key}")
    unique_id(id "f_" "${rel}")
    get_filename_component(name "${rel}" NAME)
    get_filename_component(subfolder "${rel}" DIRECTORY)
    xml_escape(xml_name "${name}")
    xml_escape(xml_source "${rel}")
    # Text with escapes holds ';': built with string(APPEND), never as a list.
    set(component "")
    string(APPEND component
        "          <Component Id=\"c${id}\" Guid=\"${guid}\"${WIN64_ATTR}>\n"
        "            <File Id=\"${id}\" Name=\"${xml_name}\" Source=\"${xml_source}\" KeyPath=\"yes\">\n")
    string(REGEX REPLACE "\\.exe$" "" stem "${rel}")
    if(rel IN_LIST shortcut_files)
        set(stem "${rel}")
    endif()
    if((rel MATCHES "\\.exe$" AND stem IN_LIST shortcut_programs) OR rel IN_LIST shortcut_files)
        xml_escape(label "${label_of_${stem}}")
        string(APPEND component
            "              <Shortcut Id=\"s${id}\" Directory=\"MenuFolder\" Name=\"${label}\" WorkingDirectory=\"ProgramFolder\"/>\n")
    endif()
    string(APPEND component "            </File>\n          </Component>\n")
    if(subfolder STREQUAL "")
        string(APPEND FILE_COMPONENTS "${component}")
    else()
        folder_id(folder "${subfolder}")
        string(APPEND SUBFOLDERS "    <DirectoryRef Id=\"${folder}\">\n${component}    </DirectoryRef>\n")
    endif()
    string(APPEND COMPONENT_REFS "      <ComponentRef Id=\"c${id}\"/>\n")
    if(key STREQUAL "nystra.exe")
        set(nystra_id ${id})
    endif()
endforeach()

# The copies of COPIES' files in the program folder: components of their
# own ("ck_" ids), made never to replace a file and never to be removed by
# build-msi.sh.
if(COPIES)
    foreach(rel IN LISTS ordered)
        if(NOT rel MATCHES "^${COPIES}/([^/]+)$")
            continue()
        endif()
        set(name "${CMAKE_MATCH_1}")
        string(TOLOWER "${name}" key)
        if(key IN_LIST keys)
            message(FATAL_ERROR "make-msi-source: ${rel} would be copied over the shipped ${name}")
        endif()
        guid_of(guid "copy/${key}")
        unique_id(id "k_" "${name}")
        xml_escape(xml_name "${name}")
        xml_escape(xml_source "${rel}")
        string(APPEND FILE_COMPONENTS
            "          <Component Id=\"c${id}\" Guid=\"${guid}\"${WIN64_ATTR}>\n"
            "            <File Id=\"${id}\" Name=\"${xml_name}\" Source=\"${xml_source}\" KeyPath=\"yes\"/>\n"
            "          </Component>\n")
        string(APPEND COMPONENT_REFS "      <ComponentRef Id=\"c${id}\"/>\n")
    endforeach()
endif()

# The install folder's two names, from the header Cordane and tavloctl use.
file(STRINGS "${CMAKE_CURRENT_LIST_DIR}/../include/suite_install_folder.h" folder_lines
     REGEX "^#define SUITE_(VENDOR|PROGRAM)_FOLDER_NAME \"[^\"\\]+\"$")
foreach(line IN LISTS folder_lines)
    if(line MATCHES "^#define SUITE_(VENDOR|PROGRAM)_FOLDER_NAME \"(.*)\"$")
        set(${CMAKE_MATCH_1}_FOLDER_NAME "${CMAKE_MATCH_2}")
    endif()
endforeach()
if(NOT VENDOR_FOLDER_NAME OR NOT PROGRAM_FOLDER_NAME)
    message(FATAL_ERROR "no folder names in installer/include/suite_install_folder.h")
endif()

set(ARP_ICON "")
# The guide is the help link of the Installed-apps entry, as the setup
# program's.
if("guide/index.html" IN_LIST names)
    set(ARP_ICON "    <Property Id=\"ARPHELPLINK\" Value=\"C:\\${VENDOR_FOLDER_NAME}\\${PROGRAM_FOLDER_NAME}\\guide\\index.html\"/>\n")
endif()
set(LOGON_COMPONENT "")
set(STOP_NYSTRA_ACTION "")
set(STOP_NYSTRA_SEQUENCE "")
if(nystra_id)
    string(APPEND ARP_ICON "    <Icon Id=\"suite.exe\" SourceFile=\"Nystra.exe\"/>\n    <Property Id=\"ARPPRODUCTICON\" Value=\"suite.exe\"/>")
    guid_of(logon_guid "logon/${BITS}")
    guid_of(no_logon_guid "no-logon/${BITS}")
    # Its condition (LOGON = "1") and the transitive attribute, which has the
    # condition weighed again on a reinstall, are set in the built package
    # (build-msi.sh): wixl writes neither. So is the removal of the value by
    # NoLogonComponent (LOGON = "0"): the value of an earlier install goes
    # even where the earlier package's removal runs last (Wine's msiexec)
    # and leaves the value, whose component both packages share, in place.
    string(CONCAT LOGON_COMPONENT
        "    <DirectoryRef Id=\"ProgramFolder\">\n"
        "      <Component Id=\"LogonComponent\" Guid=\"${logon_guid}\"${WIN64_ATTR}>\n"
        "        <RegistryValue Root=\"HKLM\" Key=\"Software\\Microsoft\\Windows\\CurrentVersion\\Run\" Name=\"Nystra\"\n"
        "                       Type=\"string\" Value=\"&quot;[#${nystra_id}]&quot;\" KeyPath=\"yes\"/>\n"
        "      </Component>\n"
        "      <Component Id=\"NoLogonComponent\" Guid=\"${no_logon_guid}\"${WIN64_ATTR} KeyPath=\"yes\"/>\n"
        "    </DirectoryRef>")
    string(APPEND COMPONENT_REFS "      <ComponentRef Id=\"LogonComponent\"/>\n      <ComponentRef Id=\"NoLogonComponent\"/>\n")
    if(STOP_NYSTRA)
        # The installed Nystra ends the controller of the user's session as
        # at its normal end and waits for it, before its files are replaced
        # (repair, reinstall) or removed (uninstall, and the old package's
        # uninstall in an upgrade). It runs as the user, in the user's
        # session. A Nystra it cannot end holds its file: Windows Installer's
        # own handling of files in use takes over (see docs/deploying-msi.md).
        string(CONCAT STOP_NYSTRA_ACTION
            "    <CustomAction Id=\"StopNystra\" FileKey=\"${nystra_id}\" ExeCommand=\"/stop\" Execute=\"deferred\"\n"
            "                  Impersonate=\"yes\" Return=\"ignore\"/>")
        set(STOP_NYSTRA_SEQUENCE
            "      <Custom Action=\"StopNystra\" Sequence=\"1510\">?c${nystra_id} = 3</Custom>")
    endif()
endif()

file(READ "${TEMPLATE}" template)
string(CONFIGURE "${template}" wxs @ONLY)
file(WRITE "${WXS}" "${wxs}")
