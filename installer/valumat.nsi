; Valumat's installer: the program, its four database engines and LIESMICH.txt
; in one folder, a Start-menu folder with the program and its LIESMICH, a
; desktop shortcut only when asked for (the component, or /DESKTOP on a silent
; install), and an entry in the installed programs with its uninstaller.
; For all users (program files, HKLM; needs administrator rights) or for the
; current user only (%LOCALAPPDATA%\Programs, HKCU; needs none): the page
; "Benutzer auswählen", or /AllUsers and /CurrentUser on the command line.
; tools/package defines VERSION (2.01), FILEVERSION (2.1.0.0), FILES (the
; staged program files), ICON and OUTFILE. /S and /D= work as usual.
Unicode true
SetCompressor /SOLID lzma
ManifestDPIAware true

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Valumat"
!define UNINSTALLER "Deinstallieren.exe"
!define PUBLISHER "Valumat-Projekt"
!define STARTMENU "$SMPROGRAMS\Valumat"
; Held by every running Valumat (startup/main.cpp).
!define MUTEX "Global\Valumat"
; Exit code of the silent forms when a running Valumat kept them from
; changing anything.
!define EXIT_RUNNING 2
; The program's error log goes to its current folder. The shortcuts start it
; in the user's own folder, writable also under a protected program folder;
; the shell expands the variable for whoever starts it.
!define WORKDIR "%USERPROFILE%"

; Administrators choose, others get the per-user install without a prompt. An
; earlier install's mode and folder are offered again, so an update lands in
; place.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "Valumat"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINST_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINST_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_FUNCTION ModeChosen
!define MULTIUSER_INIT_TEXT_ALLUSERSNOTPOSSIBLE \
    "Ihr Benutzerkonto hat nicht die Rechte, Valumat für alle Benutzer dieses Computers zu installieren."
; /AllUsers without the rights ends with "access denied", not 0.
!define MULTIUSER_INIT_FUNCTIONQUIT QuitWithoutRights
!define MULTIUSER_NOUNINSTALL
!include "MultiUser.nsh"
!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"

Name "Valumat ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "Valumat ${VERSION}"
ShowInstDetails show
ShowUninstDetails show
; A file that cannot be written stops the install instead of being skipped,
; silently included.
AllowSkipFiles off

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
; The details stay on screen until the user goes on.
!define MUI_FINISHPAGE_NOAUTOCLOSE
!define MUI_UNFINISHPAGE_NOAUTOCLOSE
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartValumat
!define MUI_FINISHPAGE_RUN_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

VIProductVersion "${FILEVERSION}"
VIFileVersion "${FILEVERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductName" "Valumat"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileDescription" "Valumat ${VERSION} – Installation"
VIAddVersionKey /LANG=${LANG_GERMAN} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_GERMAN} "LegalCopyright" "Freeware, ${PUBLISHER}"

Var CmdLineDir

; Installer and uninstaller change nothing while a Valumat runs: Windows keeps
; a running program's files, so they would stay behind while the entry and
; the shortcuts went. Asks to close it (Wiederholen, Abbrechen); cancelled,
; or silent, the install or removal stops with exit code EXIT_RUNNING.
!macro ENSURE_NOT_RUNNING UN
Function ${UN}EnsureNotRunning
retry:
    ; Any copy, portable ones included; another user's answers "access denied".
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${MUTEX}") p .r0 ?e'
    Pop $1
    ${If} $0 P<> 0
        System::Call 'kernel32::CloseHandle(p r0)'
        Goto running
    ${EndIf}
    IntCmp $1 5 running
    ; Earlier versions hold no mutex, but their files stay locked while they
    ; run: the folder being replaced and the one installed into.
    ReadRegStr $2 SHCTX "${UNINST_KEY}" "InstallLocation"
    ${ForEach} $3 1 2 + 1
        ${If} $3 = 2
            StrCpy $2 $INSTDIR
        ${EndIf}
        ${If} $2 != ""
            !insertmacro LOCKED_IN $2 "Valumat.exe"
            !insertmacro LOCKED_IN $2 "DBFDBE.DLL"
            !insertmacro LOCKED_IN $2 "DELDBE.DLL"
            !insertmacro LOCKED_IN $2 "NTXDBE.DLL"
            !insertmacro LOCKED_IN $2 "SDFDBE.DLL"
        ${EndIf}
    ${Next}
    Return
running:
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "Valumat läuft noch.$\r$\n$\r$\nBitte beenden Sie Valumat (auch in anderen Fenstern oder bei anderen Benutzern dieses Computers) und wählen Sie dann „Wiederholen“." \
        /SD IDCANCEL IDRETRY retry
    DetailPrint "Abgebrochen: Valumat läuft noch."
    SetErrorLevel ${EXIT_RUNNING}
    Abort
FunctionEnd
!macroend

; Opening a running program's file for writing fails; nothing is written.
!macro LOCKED_IN DIR FILE
    ${If} ${FileExists} "${DIR}\${FILE}"
        ClearErrors
        FileOpen $4 "${DIR}\${FILE}" a
        IfErrors running
        FileClose $4
    ${EndIf}
!macroend

!insertmacro ENSURE_NOT_RUNNING ""
!insertmacro ENSURE_NOT_RUNNING "un."

; An earlier install is removed by its own uninstaller first: it knows the
; files it put there, so none of them is left behind, wherever it lay.
Function RemoveEarlierInstall
    ReadRegStr $0 SHCTX "${UNINST_KEY}" "InstallLocation"
    StrCmp $0 "" done
    IfFileExists "$0\${UNINSTALLER}" 0 done
    DetailPrint "Entferne die frühere Installation in $0"
    ; _?= runs it in place and makes ExecWait wait for its end.
    ClearErrors
    ExecWait '"$0\${UNINSTALLER}" /S _?=$0' $1
    ${If} ${Errors}
    ${OrIf} $1 <> 0
        MessageBox MB_OK|MB_ICONSTOP "Die frühere Installation in $0 ließ sich nicht entfernen." /SD IDOK
        SetErrorLevel 3
        Abort
    ${EndIf}
    Delete "$0\${UNINSTALLER}"
    RMDir "$0"
done:
FunctionEnd

Section "Valumat (Programm und Datenbank-Engines)" SecProgram
    SectionIn RO
    Call EnsureNotRunning
    Call RemoveEarlierInstall
    SetOutPath "$INSTDIR"
    File "${FILES}/Valumat.exe"
    File "${FILES}/DBFDBE.DLL"
    File "${FILES}/DELDBE.DLL"
    File "${FILES}/NTXDBE.DLL"
    File "${FILES}/SDFDBE.DLL"
    File "${FILES}/LIESMICH.txt"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    ; The working folder of a shortcut is the output folder; set, not made.
    CreateDirectory "${STARTMENU}"
    StrCpy $OUTDIR "${WORKDIR}"
    CreateShortcut "${STARTMENU}\Valumat.lnk" "$INSTDIR\Valumat.exe" "" "$INSTDIR\Valumat.exe" 0 \
        SW_SHOWNORMAL "" "Umrechnungen von DM-Euro/Euro-DM"
    CreateShortcut "${STARTMENU}\LIESMICH.lnk" "$INSTDIR\LIESMICH.txt" "" "" 0 \
        SW_SHOWNORMAL "" "Valumat: Bedienung, Tasten, Entfernen"

    WriteRegStr SHCTX "${UNINST_KEY}" "DisplayName" "Valumat"
    WriteRegStr SHCTX "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Valumat.exe"
    WriteRegStr SHCTX "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINST_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr SHCTX "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD SHCTX "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINST_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD SHCTX "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

; Off unless asked for: a desktop belongs to the user.
Section /o "Verknüpfung auf dem Desktop" SecDesktop
    StrCpy $OUTDIR "${WORKDIR}"
    CreateShortcut "$DESKTOP\Valumat.lnk" "$INSTDIR\Valumat.exe" "" "$INSTDIR\Valumat.exe" 0 \
        SW_SHOWNORMAL "" "Umrechnungen von DM-Euro/Euro-DM"
SectionEnd

; /D= wins over the folder the install mode suggests.
Function .onInit
    StrCpy $CmdLineDir $INSTDIR
    !insertmacro MULTIUSER_INIT
FunctionEnd

Function QuitWithoutRights
    SetErrorLevel 5
    Quit
FunctionEnd

; Called whenever the install mode is set. An update keeps the desktop
; shortcut of the install it replaces; /DESKTOP asks for it on a silent
; install and ticks it on the components page of an interactive one.
Function ModeChosen
    ${If} $CmdLineDir != ""
        StrCpy $INSTDIR $CmdLineDir
    ${EndIf}
    !insertmacro UnselectSection ${SecDesktop}
    ReadRegStr $0 SHCTX "${UNINST_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$DESKTOP\Valumat.lnk"
        !insertmacro SelectSection ${SecDesktop}
    ${EndIf}
    ClearErrors
    ${GetOptions} $CMDLINE "/DESKTOP" $0
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecDesktop}
    ${EndIf}
FunctionEnd

; In the folder the shortcuts give it.
Function StartValumat
    ExpandEnvStrings $0 "${WORKDIR}"
    SetOutPath $0
    Exec '"$INSTDIR\Valumat.exe"'
FunctionEnd

; The entry of the current user that names this folder makes it a per-user
; install; an install for all users is removed only with the rights it took.
Function un.onInit
    ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
    ${If} $0 == $INSTDIR
        SetShellVarContext current
    ${Else}
        SetShellVarContext all
        UserInfo::GetAccountType
        Pop $0
        ${If} $0 != "Admin"
            MessageBox MB_OK|MB_ICONSTOP \
                "Valumat ist für alle Benutzer installiert; entfernen kann es nur ein Administrator." /SD IDOK
            SetErrorLevel 5
            Quit
        ${EndIf}
    ${EndIf}
FunctionEnd

; Only what the installer put there, and the program's error logs: a folder
; chosen with /D= may hold other files, which stay.
Section "Uninstall"
    Call un.EnsureNotRunning
    Delete "${STARTMENU}\Valumat.lnk"
    Delete "${STARTMENU}\LIESMICH.lnk"
    RMDir "${STARTMENU}"
    Delete "$DESKTOP\Valumat.lnk"
    Delete "$INSTDIR\Valumat.exe"
    Delete "$INSTDIR\DBFDBE.DLL"
    Delete "$INSTDIR\DELDBE.DLL"
    Delete "$INSTDIR\NTXDBE.DLL"
    Delete "$INSTDIR\SDFDBE.DLL"
    Delete "$INSTDIR\LIESMICH.txt"
    Delete "$INSTDIR\APPERROR.*"
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"
    DeleteRegKey SHCTX "${UNINST_KEY}"
SectionEnd
