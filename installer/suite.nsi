; The suite's installer, built by makensis on Linux from a release build's
; install tree. Defines given on the command line:
;   BITS          32 or 64 (the Windows the programs are built for)
;   VERSION       the project's version (1.0.0), VERSION_DOTS (1.0.0.0)
;   STAGE         the release build's install tree (the shipped files)
;   SHIPPED       the generated list of what ships (shipped.nsh)
;   OUTFILE       the installer to write
;
; It copies what ships into the fixed folder C:\Orlinde\Dravik (Cordane
; starts the tools from there, so the folder cannot be chosen), makes a
; Start-menu shortcut for each program it copies, optionally starts Nystra
; at logon, and registers an uninstaller in the system's program list. The
; uninstaller removes the files, shortcuts and its own registry entries; the
; panel records under HKLM\SOFTWARE\ZR_EX_CONTROL are the user's settings
; and stay, as do files the user put into the folder.
;
; Command line (besides NSIS's own /S for a silent install):
;   /LOGON        start Nystra at logon (the component's default is off)

Unicode true
!if ${BITS} == 64
    Target amd64-unicode
!else
    Target x86-unicode
!endif

!include LogicLib.nsh
!include Sections.nsh
!include FileFunc.nsh

!define PRODUCT "Touch panel suite"
!define PUBLISHER "Orlinde"
!define PROGRAM_FOLDER "C:\Orlinde\Dravik"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TouchPanelSuite"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALLER "Uninstall.exe"

Name "${PRODUCT} ${VERSION} (${BITS}-bit)"
OutFile "${OUTFILE}"
InstallDir "${PROGRAM_FOLDER}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
; A file that cannot be written (a program of the suite still running) ends
; the install with an error rather than leaving the old file in place.
AllowSkipFiles off
ShowUninstDetails show

VIProductVersion "${VERSION_DOTS}"
VIFileVersion "${VERSION_DOTS}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION_DOTS}"
VIAddVersionKey "FileVersion" "${VERSION_DOTS}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${BITS}-bit setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

Page components
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; What ships, by file name. A program not in this build's install tree (not
; built yet) is left out, with its shortcut.
!macro ShipFile FILE
    !if /FileExists "${STAGE}/${FILE}"
        File "${STAGE}/${FILE}"
    !endif
!macroend
!macro ShipProgram NAME
    !if /FileExists "${STAGE}/${NAME}.exe"
        File "${STAGE}/${NAME}.exe"
        CreateShortCut "${MENU_FOLDER}\${NAME}.lnk" "$INSTDIR\${NAME}.exe"
    !endif
!macroend
!macro RemoveFile FILE
    Delete "$INSTDIR\${FILE}"
!macroend
!macro RemoveProgram NAME
    Delete "$INSTDIR\${NAME}.exe"
    Delete "${MENU_FOLDER}\${NAME}.lnk"
!macroend

Section "!${PRODUCT}" SecSuite
    SectionIn RO
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    CreateDirectory "${MENU_FOLDER}"
    ; Shortcuts start the programs in the program folder (SetOutPath above).
    !define SHIP_FILE "!insertmacro ShipFile"
    !define SHIP_PROGRAM "!insertmacro ShipProgram"
    !include "${SHIPPED}"
    !undef SHIP_FILE
    !undef SHIP_PROGRAM

    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Start Nystra at logon" SecLogon
    WriteRegStr HKLM "${RUN_KEY}" "Nystra" '"$INSTDIR\Nystra.exe"'
SectionEnd

; The 64-bit installer is a 64-bit program itself (it does not start on a
; 32-bit Windows) and writes the 64-bit registry view; the 32-bit one writes
; the 32-bit view, where a 32-bit Windows program's entries belong.
Function .onInit
!if ${BITS} == 64
    SetRegView 64
!endif
    ; The tools are started from this folder by path: /D= cannot move it.
    StrCpy $INSTDIR "${PROGRAM_FOLDER}"
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/LOGON" $1
    ${IfNot} ${Errors}
        SectionGetFlags ${SecLogon} $1
        IntOp $1 $1 | ${SF_SELECTED}
        SectionSetFlags ${SecLogon} $1
    ${EndIf}
FunctionEnd

Function un.onInit
!if ${BITS} == 64
    SetRegView 64
!endif
FunctionEnd

Section "Uninstall"
    SetShellVarContext all
    !define SHIP_FILE "!insertmacro RemoveFile"
    !define SHIP_PROGRAM "!insertmacro RemoveProgram"
    !include "${SHIPPED}"
    !undef SHIP_FILE
    !undef SHIP_PROGRAM
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "${MENU_FOLDER}"
    ; Only when empty: files the user keeps there stay, and so does the folder.
    RMDir "$INSTDIR"
    RMDir "C:\Orlinde"
    DeleteRegValue HKLM "${RUN_KEY}" "Nystra"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ; HKLM\SOFTWARE\ZR_EX_CONTROL (the panel records) is left as it is.
SectionEnd
