; The suite's installer, built by makensis on Linux from a release build's
; install tree. Defines given on the command line:
;   BITS          32 or 64 (the Windows the programs are built for)
;   VERSION       the project's version (1.0.0), VERSION_DOTS (1.0.0.0)
;   STAGE         the release build's install tree: the shipped files, with
;                 the user's guide (guide\index.html ...), the sample pictures
;                 (samples\left.ico ...) and, 64-bit, the 32-bit libraries
;                 (x86\TAVLO.DLL, x86\BRIMOL.DLL)
;   SHIPPED       the generated list of what ships (shipped.nsh), with the
;                 Start-menu names and the package's UpgradeCodes
;   HELPER        SetupHelper.exe of the same build (not installed)
;   OUTFILE       the installer to write
; and an optional one:
;   SIGN          a command that signs the file named by %1 (the uninstaller)
;
; It copies what ships into the fixed folder C:\Orlinde\Dravik (Cordane
; starts the tools from there, so the folder cannot be chosen), protects
; that folder, makes a Start-menu entry for each program, optionally starts
; Nystra at logon, and registers an uninstaller in the list of installed
; programs. Running programs of the suite are ended cleanly first, and the
; files are swapped all at once or not at all; Nystra is started again when
; it ran. The uninstaller removes the files, shortcuts and its own registry
; entries; the panel records under HKLM\SOFTWARE\ZR_EX_CONTROL are the
; user's settings and stay, as do files the user put into the folder.
;
; Command line (besides NSIS's own /S for a silent install):
;   /LOGON        start Nystra at logon
;   /NOLOGON      do not (and remove the logon entry of an earlier install)
; Without either, the choice of the earlier install stays.
;
; Exit codes (also docs/installing.md):
;   0 installed          1 cancelled by the user     2 failed (NSIS's own)
;   3 a file of the suite is in use (nothing changed)
;   4 a file could not be written (nothing changed)
;   5 Nystra did not end, or runs in another session (nothing changed)
;   6 not an administrator                7 the 64-bit setup on 32-bit Windows
;   8 the program folder's access rules could not be set (files unchanged)
;   9 the suite is installed by its Windows Installer package (nothing changed)

Unicode true
; Both setups are 32-bit programs: the 64-bit one must still start on a
; 32-bit Windows to say that it does not belong there.
Target x86-unicode

!include LogicLib.nsh
!include Sections.nsh
!include FileFunc.nsh
!include x64.nsh

!define PRODUCT "Touch panel suite"
!define PUBLISHER "Orlinde"
; VENDOR_NAME and PROGRAM_NAME come from include/suite_install_folder.h
; (make-installer.sh).
!define PROGRAM_FOLDER "C:\${VENDOR_NAME}\${PROGRAM_NAME}"
!define VENDOR_FOLDER "C:\${VENDOR_NAME}"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TouchPanelSuite"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALLER "Uninstall.exe"
!define GUIDE_LINK "${MENU_FOLDER}\User's guide.lnk"
!define STOP_SECONDS 10

!define EXIT_IN_USE 3
!define EXIT_WRITE 4
!define EXIT_NYSTRA 5
!define EXIT_NOT_ADMIN 6
!define EXIT_WRONG_WINDOWS 7
!define EXIT_RULES 8
!define EXIT_MSI 9

Name "${PRODUCT} ${VERSION} (${BITS}-bit)"
OutFile "${OUTFILE}"
InstallDir "${PROGRAM_FOLDER}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
AllowSkipFiles off
ShowUninstDetails show
!ifdef SIGN
    !uninstfinalize '${SIGN} "%1"'
!endif

VIProductVersion "${VERSION_DOTS}"
VIFileVersion "${VERSION_DOTS}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION_DOTS}"
VIAddVersionKey "FileVersion" "${VERSION_DOTS}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${BITS}-bit setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "Copyright (C) ${PUBLISHER}"

Page components
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Var NystraRan      ; 1: Nystra ran in this session before the install, 2: in another
Var NystraSession  ; that other session
Var Helper         ; SetupHelper.exe in the plug-ins folder

; What ships, by file name. A program not in this build's install tree (not
; built yet) is left out, with its shortcut.
!macro StageFile FILE
    !if /FileExists "${STAGE}/${FILE}"
        File "${STAGE}/${FILE}"
    !endif
!macroend
!macro StageFileIn SUBFOLDER FILE
    !if /FileExists "${STAGE}/${SUBFOLDER}/${FILE}"
        SetOutPath "$PLUGINSDIR\stage\${SUBFOLDER}"
        File "${STAGE}/${SUBFOLDER}/${FILE}"
        SetOutPath "$PLUGINSDIR\stage"
    !endif
!macroend
!macro StageProgram NAME
    !insertmacro StageFile "${NAME}.exe"
!macroend
!macro NoFile FILE
!macroend
!macro NoFileIn SUBFOLDER FILE
!macroend
!macro LinkProgram NAME
    !if /FileExists "${STAGE}/${NAME}.exe"
        Delete "${MENU_FOLDER}\${NAME}.lnk"  ; the plain name of earlier versions
        CreateShortCut "${MENU_FOLDER}\${LINK_${NAME}}.lnk" "$INSTDIR\${NAME}.exe" "" "" 0 SW_SHOWNORMAL "" \
            "${LINK_${NAME}}"
    !endif
!macroend
!macro RemoveFile FILE
    Delete "$INSTDIR\${FILE}"
!macroend
!macro RemoveFileIn SUBFOLDER FILE
    Delete "$INSTDIR\${SUBFOLDER}\${FILE}"
    RMDir "$INSTDIR\${SUBFOLDER}"
!macroend
!macro RemoveProgram NAME
    Delete "$INSTDIR\${NAME}.exe"
    Delete "${MENU_FOLDER}\${NAME}.lnk"
    Delete "${MENU_FOLDER}\${LINK_${NAME}}.lnk"
!macroend
!macro FileList LIST
    StrCpy ${LIST} ""
    !define SHIP_FILE "!insertmacro ListFile ${LIST}"
    !define SHIP_FILE_IN "!insertmacro ListFileIn ${LIST}"
    !define SHIP_PROGRAM "!insertmacro ListProgram ${LIST}"
    !include "${SHIPPED}"
    !undef SHIP_FILE
    !undef SHIP_FILE_IN
    !undef SHIP_PROGRAM
!macroend
!macro ListFile LIST FILE
    StrCpy ${LIST} '${LIST} "${FILE}"'
!macroend
; (Of the subfolders' files, the 32-bit libraries: the others are the
; guide's pages and the sample pictures, which no program holds open, and
; the list must stay within NSIS's string length.)
!macro ListFileIn LIST SUBFOLDER FILE
    !if "${SUBFOLDER}" == "x86"
        StrCpy ${LIST} '${LIST} "${SUBFOLDER}\${FILE}"'
    !endif
!macroend
!macro ListProgram LIST NAME
    StrCpy ${LIST} '${LIST} "${NAME}.exe"'
!macroend

; The Start-menu entry of each program (LINK_<program>, saying what it is
; for) and the package's UpgradeCodes come with the list of what ships.
!define SHIP_FILE "!insertmacro NoFile"
!define SHIP_FILE_IN "!insertmacro NoFileIn"
!define SHIP_PROGRAM "!insertmacro NoFile"
!include "${SHIPPED}"
!undef SHIP_FILE
!undef SHIP_FILE_IN
!undef SHIP_PROGRAM
!if /FileExists "${STAGE}/guide/index.html"
    !define GUIDE
!endif

; Ends the suite's programs of this session cleanly, or says why not and
; leaves with the exit code. Nystra is asked to end as at its normal end
; (every panel enabled, start-up mode 1) by the Nystra.exe given, which
; waits for it; one that does not understand that request (earlier
; versions) gets the end of the session, which it answers the same way.
; The others get their close box. $NystraRan tells whether Nystra ran.
!macro StopSuite NYSTRA
    StrCpy $NystraRan 0
    nsExec::ExecToStack '"$Helper" running "$INSTDIR\Nystra.exe"'
    Pop $0
    Pop $1
    ${If} $0 == 3
        ; Nystra of a user logged on while this runs as SYSTEM (a deployment
        ; tool): asked to stop in that session, as that user.
        IntOp $NystraSession $1 + 0
        DetailPrint "Ending Nystra in session $NystraSession"
        nsExec::ExecToStack '"$Helper" session-stop "$INSTDIR\Nystra.exe" $NystraSession'
        Pop $0
        Pop $1
        nsExec::ExecToStack '"$Helper" running "$INSTDIR\Nystra.exe"'
        Pop $0
        Pop $2
        ${If} $0 != 1
            !insertmacro Fail ${EXIT_NYSTRA} \
                "Nystra runs in another user's session and did not end. End it there (or log that user off) and run this again."
        ${EndIf}
        StrCpy $NystraRan 2
    ${ElseIf} $0 == 0
        StrCpy $NystraRan 1
        DetailPrint "Ending Nystra"
        nsExec::ExecToStack '"${NYSTRA}" /stop:${STOP_SECONDS}'
        Pop $0
        Pop $1
        ; Finds nothing left when that worked.
        nsExec::ExecToStack '"$Helper" close "$INSTDIR" ${STOP_SECONDS} --end-session Nystra.exe'
        Pop $0
        Pop $1
        ${If} $0 != 0
            !insertmacro Fail ${EXIT_NYSTRA} \
                "Nystra did not end within ${STOP_SECONDS} seconds. Close it (right double-click on its icon) and run this again."
        ${EndIf}
    ${EndIf}
    nsExec::ExecToStack '"$Helper" close "$INSTDIR" ${STOP_SECONDS} Velmic.exe Gorvat.exe Palvine.exe Cordane.exe tavloctl.exe'
    Pop $0
    Pop $1
    ${If} $0 != 0
        !insertmacro Fail ${EXIT_IN_USE} "These programs of the suite did not close:$\r$\n$1$\r$\nClose them and run this again."
    ${EndIf}
!macroend

; Says why the install cannot go on (a box unless silent) and ends with the
; exit code; nothing has been changed when this is called, and a Nystra
; that was ended for it runs again.
!macro Fail CODE TEXT
    DetailPrint "${TEXT}"
    ; (Its results go to $9: TEXT may show $1.)
    ${If} $NystraRan == 1
        nsExec::ExecToStack '"$Helper" start-as-user "$INSTDIR\Nystra.exe"'
        Pop $9
        Pop $9
    ${ElseIf} $NystraRan == 2
        nsExec::ExecToStack '"$Helper" session-start "$INSTDIR\Nystra.exe" $NystraSession'
        Pop $9
        Pop $9
    ${EndIf}
    MessageBox MB_OK|MB_ICONSTOP "${TEXT}" /SD IDOK
    SetErrorLevel ${CODE}
    Quit
!macroend

Section "!${PRODUCT}" SecSuite
    SectionIn RO
    SetShellVarContext all
    InitPluginsDir
    StrCpy $Helper "$PLUGINSDIR\SetupHelper.exe"
    File "/oname=$Helper" "${HELPER}"

    ; 1. The new files into a stage of the plug-ins folder: a disk that
    ; refuses them stops the install here, with the folder untouched.
    SetOutPath "$PLUGINSDIR\stage"
    !define SHIP_FILE "!insertmacro StageFile"
    !define SHIP_FILE_IN "!insertmacro StageFileIn"
    !define SHIP_PROGRAM "!insertmacro StageProgram"
    !include "${SHIPPED}"
    !undef SHIP_FILE
    !undef SHIP_FILE_IN
    !undef SHIP_PROGRAM
    WriteUninstaller "$PLUGINSDIR\stage\${UNINSTALLER}"
    SetOutPath "$PLUGINSDIR"

    ; 2. The suite's running programs end; Nystra by the new Nystra.exe.
    !insertmacro StopSuite "$PLUGINSDIR\stage\Nystra.exe"

    ; 3. The folder, protected before anything is put into it.
    CreateDirectory "$INSTDIR"
    nsExec::ExecToStack '"$Helper" protect "${VENDOR_FOLDER}"'
    Pop $0
    Pop $1
    nsExec::ExecToStack '"$Helper" protect "$INSTDIR" --tree'
    Pop $0
    Pop $1
    ${If} $0 != 0
        !insertmacro Fail ${EXIT_RULES} "The access rules of $INSTDIR could not be set:$\r$\n$1$\r$\nNothing was changed."
    ${EndIf}

    ; 4. All files at once, or none.
    DetailPrint "Replacing the files in $INSTDIR"
    nsExec::ExecToStack '"$Helper" replace "$PLUGINSDIR\stage" "$INSTDIR"'
    Pop $0
    Pop $1
    ${If} $0 == 3
        !insertmacro Fail ${EXIT_IN_USE} "A file of the suite is in use by another program:$\r$\n$1$\r$\nNothing was changed. Close that program and run this again."
    ${ElseIf} $0 != 0
        !insertmacro Fail ${EXIT_WRITE} "The files could not be written:$\r$\n$1$\r$\nNothing was changed."
    ${EndIf}
    ; Files that were there before (the user's, or an earlier install's
    ; with rules of their own) keep only the folder's rules.
    nsExec::ExecToStack '"$Helper" protect "$INSTDIR" --tree'
    Pop $0
    Pop $1

    ; The sample pictures are used from the folder (the programs load them
    ; by bare name from there), but pictures of the user's own are kept.
    ${Locate} "$INSTDIR\samples" "/L=F /G=0" CopySampleIfMissing
!if ${BITS} == 32
    ; The 64-bit install's 32-bit libraries, when that is replaced.
    Delete "$INSTDIR\x86\TAVLO.DLL"
    Delete "$INSTDIR\x86\BRIMOL.DLL"
    RMDir "$INSTDIR\x86"
!endif

    ; 5. Start menu (started in the program folder) and the program list.
    SetOutPath "$INSTDIR"
    CreateDirectory "${MENU_FOLDER}"
    !define SHIP_FILE "!insertmacro NoFile"
    !define SHIP_FILE_IN "!insertmacro NoFileIn"
    !define SHIP_PROGRAM "!insertmacro LinkProgram"
    !include "${SHIPPED}"
    !undef SHIP_FILE
    !undef SHIP_FILE_IN
    !undef SHIP_PROGRAM
!ifdef GUIDE
    CreateShortCut "${GUIDE_LINK}" "$INSTDIR\guide\index.html" "" "" 0 SW_SHOWNORMAL "" \
        "How to set up and use the touch panels"
!endif

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_MAJOR}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_MINOR}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Cordane.exe,0"
!ifdef GUIDE
    WriteRegStr HKLM "${UNINSTALL_KEY}" "HelpLink" "$INSTDIR\guide\index.html"
!endif
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Comments" "${BITS}-bit"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    ; Runs in place and returns when done, so that deployment tools can wait.
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S _?=$INSTDIR'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Start Nystra at logon" SecLogon
    WriteRegStr HKLM "${RUN_KEY}" "Nystra" '"$INSTDIR\Nystra.exe"'
SectionEnd

Section "-Finish"
    ${IfNot} ${SectionIsSelected} ${SecLogon}
        DeleteRegValue HKLM "${RUN_KEY}" "Nystra"
    ${EndIf}
    ; The other edition (32-bit over 64-bit or back) had the same files in
    ; the same folder, now replaced: its entries go, so one shows in the list.
    Call SwitchToOtherView
    ${If} $0 == 1
        DeleteRegKey HKLM "${UNINSTALL_KEY}"
        DeleteRegValue HKLM "${RUN_KEY}" "Nystra"
    ${EndIf}
    Call SwitchToOwnView

    ${If} $NystraRan != 0
        ; Started as the user, not with this setup's administrator rights.
        ${If} $NystraRan == 1
            nsExec::ExecToStack '"$Helper" start-as-user "$INSTDIR\Nystra.exe"'
        ${Else}
            nsExec::ExecToStack '"$Helper" session-start "$INSTDIR\Nystra.exe" $NystraSession'
        ${EndIf}
        Pop $0
        Pop $1
        ${If} $0 != 0
            ${If} ${SectionIsSelected} ${SecLogon}
                StrCpy $2 "Nystra starts at the next logon."
            ${Else}
                StrCpy $2 "Start Nystra from the Start menu."
            ${EndIf}
            DetailPrint "Nystra could not be started again as the user ($1). $2"
            MessageBox MB_OK|MB_ICONINFORMATION "Nystra could not be started again with your own rights. $2" /SD IDOK
        ${EndIf}
    ${EndIf}
SectionEnd

Function CopySampleIfMissing
    IfFileExists "$INSTDIR\$R7" +2
    CopyFiles /SILENT "$R9" "$INSTDIR\$R7"
    Push $0
FunctionEnd

!macro Views UN
Function ${UN}SwitchToOwnView
!if ${BITS} == 64
    SetRegView 64
!else
    SetRegView 32
!endif
FunctionEnd

; Administrator rights, checked before anything else (the request for
; them may have been refused or be off).
Function ${UN}CheckAdmin
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
        MessageBox MB_OK|MB_ICONSTOP "The touch panel suite is installed for every user of this computer: \
            run this with an administrator's account." /SD IDOK
        SetErrorLevel ${EXIT_NOT_ADMIN}
        Quit
    ${EndIf}
FunctionEnd
!macroend
!insertmacro Views ""
!insertmacro Views "un."

; $0 is 1 when there is another view (the other edition's), else 0.
Function SwitchToOtherView
    StrCpy $0 0
!if ${BITS} == 64
    SetRegView 32
    StrCpy $0 1
!else
    ${If} ${RunningX64}
        SetRegView 64
        StrCpy $0 1
    ${EndIf}
!endif
FunctionEnd

!macro RefuseMsiSuite UPGRADE_CODE
    System::Call 'msi::MsiEnumRelatedProductsW(w "${UPGRADE_CODE}", i 0, i 0, w .r1) i .r0'
    ${If} $0 == 0
        MessageBox MB_OK|MB_ICONSTOP "The touch panel suite is installed by its Windows Installer package ($1). \
            Uninstall it first (Installed apps, or msiexec /x $1 /qn), then run this setup." /SD IDOK
        SetErrorLevel ${EXIT_MSI}
        Quit
    ${EndIf}
!macroend

Function .onInit
!if ${BITS} == 64
    ${IfNot} ${RunningX64}
        MessageBox MB_OK|MB_ICONSTOP "This is the setup for 64-bit Windows, and this Windows is 32-bit. \
            Use TouchPanelSuite-${VERSION}-win32-setup.exe." /SD IDOK
        SetErrorLevel ${EXIT_WRONG_WINDOWS}
        Quit
    ${EndIf}
!endif
    Call CheckAdmin
    ; The suite installed by its Windows Installer package (either bitness),
    ; found by the package's UpgradeCode: refused, as the package refuses
    ; the suite of this setup. Two installers over the same files would
    ; each remove them under the other.
    !insertmacro RefuseMsiSuite "${MSI_UPGRADE_CODE_64}"
    !insertmacro RefuseMsiSuite "${MSI_UPGRADE_CODE_32}"
    Call SwitchToOwnView
    ; The tools are started from this folder by path: /D= cannot move it.
    StrCpy $INSTDIR "${PROGRAM_FOLDER}"

    ; "Start Nystra at logon" as the earlier install (of either edition) had it.
    StrCpy $1 ""
    Call SwitchToOtherView
    ${If} $0 == 1
        ReadRegStr $1 HKLM "${RUN_KEY}" "Nystra"
    ${EndIf}
    Call SwitchToOwnView
    ReadRegStr $0 HKLM "${RUN_KEY}" "Nystra"
    ${If} "$0$1" != ""
        !insertmacro SelectSection ${SecLogon}
    ${EndIf}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/LOGON" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecLogon}
    ${EndIf}
    ClearErrors
    ${GetOptions} $0 "/NOLOGON" $1
    ${IfNot} ${Errors}
        !insertmacro UnselectSection ${SecLogon}
    ${EndIf}
FunctionEnd

Function un.onInit
    Call un.CheckAdmin
    Call un.SwitchToOwnView
FunctionEnd

Section "Uninstall"
    SetShellVarContext all
    InitPluginsDir
    StrCpy $Helper "$PLUGINSDIR\SetupHelper.exe"
    File "/oname=$Helper" "${HELPER}"
    !insertmacro StopSuite "$INSTDIR\Nystra.exe"

    ; Nothing is removed while a file is in use.
    !insertmacro FileList $2
    nsExec::ExecToStack '"$Helper" free "$INSTDIR" $2'
    Pop $0
    Pop $1
    ${If} $0 != 0
        !insertmacro Fail ${EXIT_IN_USE} "A file of the suite is in use by another program:$\r$\n$1$\r$\nNothing was removed. Close that program and run this again."
    ${EndIf}

    ; A sample picture in the folder goes with the samples unless the user
    ; replaced it with one of their own (before the samples themselves go).
    nsExec::ExecToStack '"$Helper" remove-same "$INSTDIR\samples" "$INSTDIR"'
    Pop $0
    Pop $1

    !define SHIP_FILE "!insertmacro RemoveFile"
    !define SHIP_FILE_IN "!insertmacro RemoveFileIn"
    !define SHIP_PROGRAM "!insertmacro RemoveProgram"
    !include "${SHIPPED}"
    !undef SHIP_FILE
    !undef SHIP_FILE_IN
    !undef SHIP_PROGRAM
    Delete "$INSTDIR\x86\TAVLO.DLL"
    Delete "$INSTDIR\x86\BRIMOL.DLL"
    RMDir "$INSTDIR\x86"
    RMDir /r "$INSTDIR\guide"
    RMDir /r "$INSTDIR\samples"
    Delete "${GUIDE_LINK}"
    RMDir "${MENU_FOLDER}"
    DeleteRegValue HKLM "${RUN_KEY}" "Nystra"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ; HKLM\SOFTWARE\ZR_EX_CONTROL (the panel records) is left as it is.

    ${If} $EXEDIR == $INSTDIR
        ; Run in place (_?=, to be waited for): a running program cannot
        ; delete itself, but it can move itself out of the folder; the copy
        ; goes at the next start of Windows.
        GetTempFileName $0
        Delete $0
        ClearErrors
        Rename "$INSTDIR\${UNINSTALLER}" "$0"
        ${If} ${Errors}
            ; A system that refuses that (Wine) removes it at the next start.
            Delete /REBOOTOK "$INSTDIR\${UNINSTALLER}"
            RMDir /REBOOTOK "$INSTDIR"
        ${Else}
            Delete /REBOOTOK "$0"
        ${EndIf}
    ${Else}
        Delete "$INSTDIR\${UNINSTALLER}"
    ${EndIf}
    ; Only when empty: files the user keeps there stay, and so does the folder.
    RMDir "$INSTDIR"
    RMDir "${VENDOR_FOLDER}"
SectionEnd
