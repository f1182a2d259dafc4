; Lockleaf's setup program: per user, without an administrator, into %LOCALAPPDATA%\Programs\Lockleaf.
; Running it over an installed copy upgrades that copy in place; uninstall.exe removes what is ours and no more.
;   makensis -DBUILD=<build folder> -DFILES=<the folder the zip holds> -DOUTFILE=<setup.exe> lockleaf.nsi
; Switches: /S silent (both); /DESKTOP a desktop shortcut (setup); /FORGETPOSITION the window position too
; (uninstall.exe; interactively a check box, off unless ticked).
!include "${BUILD}/setup.nsh"
Target ${TARGET}
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lockleaf"
!define SETTINGS_KEY "SOFTWARE\tarvik"
!define FILE_TYPE "Lockleaf File"
; The predefined keys as the shell's API takes them (sign-extended on 64-bit Windows).
!define HKCU_HANDLE -2147483647
!define HKLM_HANDLE -2147483646

Name "Lockleaf"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Lockleaf"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
ManifestDPIAware true
BrandingText "Lockleaf ${VERSION}"
Icon "../win32/res/lockleaf.ico"
UninstallIcon "../win32/res/lockleaf.ico"

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "Lockleaf text editor setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "(C) ${PUBLISHER}"
VIAddVersionKey /LANG=1033 "InternalName" "lockleaf-setup"
VIAddVersionKey /LANG=1033 "OriginalFilename" "lockleaf-${VERSION}-setup.exe"
VIAddVersionKey /LANG=1033 "ProductName" "Lockleaf"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"

!define MUI_ICON "../win32/res/lockleaf.ico"
!define MUI_UNICON "../win32/res/lockleaf.ico"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\lockleaf.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_TEXT_TOP "Lockleaf remembers where its window was. Tick the box to forget that too."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; A running copy cannot be replaced or removed, and closing it for the user would lose a document they have
; not saved: they close it themselves, or the run fails (a silent one at once, with exit code 2).
!macro CLOSE_PROGRAM_FIRST UN
Function ${UN}CloseProgramFirst
    ${DoWhile} ${FileExists} "$INSTDIR\lockleaf.exe"
        ClearErrors
        FileOpen $0 "$INSTDIR\lockleaf.exe" a
        ${IfNot} ${Errors}
            FileClose $0
            ${Break}
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Lockleaf is running. Close it, then choose Retry." \
            /SD IDCANCEL IDRETRY retry
        DetailPrint "Lockleaf is running: nothing was changed."
        Abort
      retry:
    ${Loop}
FunctionEnd
!macroend
!insertmacro CLOSE_PROGRAM_FIRST ""
!insertmacro CLOSE_PROGRAM_FIRST "un."

Section "Lockleaf" Program
    SectionIn RO
    Call CloseProgramFirst
    SetOutPath "$INSTDIR"
    File /r "${FILES}/*"
    ; The stored list goes, so the next start rebuilds the banner page from the template just installed.
    Delete "$INSTDIR\banner\banner.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Lockleaf.lnk" "$INSTDIR\lockleaf.exe" "" "$INSTDIR\lockleaf.exe" 0

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Lockleaf"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${WEBSITE}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\lockleaf.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section /o "Desktop shortcut" DesktopShortcut
    SetOutPath "$INSTDIR"
    CreateShortcut "$DESKTOP\Lockleaf.lnk" "$INSTDIR\lockleaf.exe" "" "$INSTDIR\lockleaf.exe" 0
SectionEnd

; The .txs entries the program writes at every start, per user or machine-wide, when they open this copy.
!macro FORGET_FILE_TYPE ROOT HANDLE
    ReadRegStr $0 ${ROOT} "Software\Classes\${FILE_TYPE}\Shell\Open\Command" ""
    ; Quoted since the program quotes its path; copies before that wrote it bare.
    ${If} $0 == '"$INSTDIR\lockleaf.exe" %1'
    ${OrIf} $0 == "$INSTDIR\lockleaf.exe %1"
        DeleteRegKey ${ROOT} "Software\Classes\${FILE_TYPE}"
        ReadRegStr $0 ${ROOT} "Software\Classes\.txs" ""
        ${If} $0 == "${FILE_TYPE}"
            DeleteRegValue ${ROOT} "Software\Classes\.txs" ""
            System::Call 'shlwapi::SHDeleteEmptyKeyW(p ${HANDLE}, w "Software\Classes\.txs")'
        ${EndIf}
    ${EndIf}
!macroend

Section "un.Lockleaf"
    SectionIn RO
    Call un.CloseProgramFirst
    Delete "$INSTDIR\lockleaf.exe"
    RMDir /r "$INSTDIR\banner"
    RMDir /r "$INSTDIR\php"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"  ; stays when it holds anything of the user's
    Delete "$SMPROGRAMS\Lockleaf.lnk"
    Delete "$DESKTOP\Lockleaf.lnk"
    !insertmacro FORGET_FILE_TYPE HKCU ${HKCU_HANDLE}
    !insertmacro FORGET_FILE_TYPE HKLM ${HKLM_HANDLE}
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'  ; SHCNE_ASSOCCHANGED
SectionEnd

Section /o "un.The remembered window position" ForgetPosition
    DeleteRegValue HKCU "${SETTINGS_KEY}" "position"
    DeleteRegValue HKLM "${SETTINGS_KEY}" "position"
    System::Call 'shlwapi::SHDeleteEmptyKeyW(p ${HKCU_HANDLE}, w "${SETTINGS_KEY}")'
    System::Call 'shlwapi::SHDeleteEmptyKeyW(p ${HKLM_HANDLE}, w "${SETTINGS_KEY}")'
SectionEnd

; Last, so that the entry lists the program until everything else is gone.
Section "-un.Entry"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

; The switches, after the sections they select.
Function .onInit
    ClearErrors
    ${GetOptions} $CMDLINE "/DESKTOP" $0
    ${IfNot} ${Errors}
        SectionSetFlags ${DesktopShortcut} ${SF_SELECTED}
    ${EndIf}
FunctionEnd

Function un.onInit
    ClearErrors
    ${GetOptions} $CMDLINE "/FORGETPOSITION" $0
    ${IfNot} ${Errors}
        SectionSetFlags ${ForgetPosition} ${SF_SELECTED}
    ${EndIf}
FunctionEnd
