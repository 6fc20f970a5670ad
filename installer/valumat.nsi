; Valumat's installer: the program, its four database engines and LIESMICH.txt
; in one folder under the program files, a Start-menu folder with the program
; and its LIESMICH, a desktop shortcut only when asked for (the component, or
; /DESKTOP on a silent install), and an entry in the installed programs with
; its uninstaller.
; tools/package defines VERSION (2.01), FILEVERSION (2.1.0.0), FILES (the
; staged program files), ICON and OUTFILE. /S and /D= work as usual.
Unicode true
SetCompressor /SOLID lzma
ManifestDPIAware true

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Valumat"
!define UNINSTALLER "Deinstallieren.exe"
!define PUBLISHER "Valumat-Projekt"
!define STARTMENU "$SMPROGRAMS\Valumat"

Name "Valumat ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Valumat"
; An earlier install's folder is offered again, so an update lands in place.
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
RequestExecutionLevel admin
BrandingText "Valumat ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
; The details stay on screen until the user goes on.
!define MUI_FINISHPAGE_NOAUTOCLOSE
!define MUI_UNFINISHPAGE_NOAUTOCLOSE
!define MUI_FINISHPAGE_RUN "$INSTDIR\Valumat.exe"
!define MUI_FINISHPAGE_RUN_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
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

; An earlier install is removed by its own uninstaller first: it knows the
; files it put there, so none of them is left behind, wherever it lay.
Function RemoveEarlierInstall
    ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
    StrCmp $0 "" done
    IfFileExists "$0\${UNINSTALLER}" 0 done
    DetailPrint "Entferne die frühere Installation in $0"
    ; _?= runs it in place and makes ExecWait wait for its end.
    ExecWait '"$0\${UNINSTALLER}" /S _?=$0'
    Delete "$0\${UNINSTALLER}"
    RMDir "$0"
done:
FunctionEnd

Section "Valumat (Programm und Datenbank-Engines)" SecProgram
    SectionIn RO
    Call RemoveEarlierInstall
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File "${FILES}/Valumat.exe"
    File "${FILES}/DBFDBE.DLL"
    File "${FILES}/DELDBE.DLL"
    File "${FILES}/NTXDBE.DLL"
    File "${FILES}/SDFDBE.DLL"
    File "${FILES}/LIESMICH.txt"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    ; The working folder is the program's: an error log lands beside it.
    CreateDirectory "${STARTMENU}"
    CreateShortcut "${STARTMENU}\Valumat.lnk" "$INSTDIR\Valumat.exe" "" "$INSTDIR\Valumat.exe" 0 \
        SW_SHOWNORMAL "" "Umrechnungen von DM-Euro/Euro-DM"
    CreateShortcut "${STARTMENU}\LIESMICH.lnk" "$INSTDIR\LIESMICH.txt" "" "" 0 \
        SW_SHOWNORMAL "" "Valumat: Bedienung, Tasten, Entfernen"

    WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "Valumat"
    WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Valumat.exe"
    WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

; Off unless asked for: a desktop belongs to the user.
Section /o "Verknüpfung auf dem Desktop" SecDesktop
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    CreateShortcut "$DESKTOP\Valumat.lnk" "$INSTDIR\Valumat.exe" "" "$INSTDIR\Valumat.exe" 0 \
        SW_SHOWNORMAL "" "Umrechnungen von DM-Euro/Euro-DM"
SectionEnd

; /DESKTOP asks for the desktop shortcut on a silent install, and ticks it on
; the components page of an interactive one.
Function .onInit
    ClearErrors
    ${GetOptions} $CMDLINE "/DESKTOP" $0
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecDesktop}
    ${EndIf}
FunctionEnd

; Only what the installer put there, and the program's error logs: a folder
; chosen with /D= may hold other files, which stay.
Section "Uninstall"
    SetShellVarContext all
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
    DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
